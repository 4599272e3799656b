// Playback through input plug-ins: the route playback takes for a path an
// input plug-in claims, and the engine stream that pulls its samples.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>

#include "playback/input_route.h"
#include "plugins/plugin_registry.h"

namespace qmb {

class PluginInputRoute : public InputRoute {
 public:
  explicit PluginInputRoute(PluginRegistry& registry) : registry_(registry) {}

  int Find(const std::string& path) override;
  bool UsesEngineOutput(int plugin) override;
  int Open(int plugin, const std::string& path) override;
  SoundStream* CreateStream(int plugin) override;
  void Play(int plugin) override;
  void Stop(int plugin) override;
  void Pause(int plugin, bool paused) override;
  void SetVolume(int plugin, int volume) override;
  void SetPan(int plugin, int pan) override;
  void SetMute(int plugin, bool mute) override;
  void Seek(int plugin, int milliseconds) override;
  void SetEq(int plugin, int band, int value) override;
  int GetLength(int plugin) override;
  int GetPosition(int plugin) override;
  std::optional<StreamInfo> GetStreamInfo(int plugin) override;

  // The type icon an input plug-in gives `ext`, or -1.
  int TypeIcon(int plugin, const std::string& ext);

  // The engine's stream callback: GetSample for each stereo frame, up to the
  // plug-in's length, where the stream ends; a null buffer says the engine
  // has carried out a seek.
  static int StreamCallback(SoundStream* stream, void* buffer, int length, void* userData);

 private:
  const QmbInputModule* Module(int plugin) const;
  // Frames of `count` filled; fewer at the end of the track.
  int Fill(std::int16_t* frames, int count);
  // Frames from the start to `ms` at the plug-in's rate.
  std::int64_t FramesAt(const QmbInputModule& m, std::int64_t ms) const;
  // The frames the plug-in still delivers from `ms` on; -1 for no known end.
  std::int64_t FramesLeftFrom(const QmbInputModule& m, std::int64_t ms) const;

  PluginRegistry& registry_;
  // Held by the stream thread around its GetSample calls and by every other
  // call into the plug-in, so the plug-in never sees the two at once and a
  // stop waits for a fill under way.
  std::mutex pullMutex_;
  // The plug-in the stream pulls from; -1 while none may be pulled.
  std::atomic<int> pulling_{-1};
  // The engine stream pulling the plug-in (user-interface thread only).
  SoundStream* stream_ = nullptr;
  // Under pullMutex_: the frames still to deliver before the track's end
  // (-1: no known end), and whether a seek waits for the engine to drop what
  // it read ahead (the plug-in is not pulled meanwhile, so nothing of the new
  // place is lost with it).
  std::int64_t framesLeft_ = -1;
  bool seekPending_ = false;
};

}  // namespace qmb

// Playback through input plug-ins: the route playback takes for a path an
// input plug-in claims, and the engine stream that pulls its samples.
#pragma once

#include <atomic>
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

  // The engine's stream callback: GetSample for each stereo frame.
  static bool StreamCallback(SoundStream* stream, void* buffer, int length, void* userData);

 private:
  const QmbInputModule* Module(int plugin) const;
  void Fill(std::int16_t* frames, int count);

  PluginRegistry& registry_;
  // Held by the stream thread around its GetSample calls and by every other
  // call into the plug-in, so the plug-in never sees the two at once and a
  // stop waits for a fill under way.
  std::mutex pullMutex_;
  // The plug-in the stream pulls from; -1 while none may be pulled.
  std::atomic<int> pulling_{-1};
};

}  // namespace qmb

// What playback asks of the input plug-ins: finding the one that plays a
// path and driving it. The plug-in layer implements it; until plug-ins are
// loaded there is none and no path takes this route.
#pragma once

#include <optional>
#include <string>

#include "playback/playback_state.h"

namespace qmb {

struct SoundStream;

class InputRoute {
 public:
  virtual ~InputRoute() = default;
  // FindInputPlugin: the index of the ticked plug-in that plays `path`, or -1.
  virtual int Find(const std::string& path) = 0;
  // Whether the plug-in feeds an engine stream instead of its own output.
  virtual bool UsesEngineOutput(int plugin) = 0;
  // Opens `path` in the plug-in: kOk, or kInputPluginOpenFailed. (The
  // plug-ins' own 0-for-success answer stays behind this edge.)
  [[nodiscard]] virtual int Open(int plugin, const std::string& path) = 0;
  // For plug-ins that feed the engine: the stream that pulls their samples.
  virtual SoundStream* CreateStream(int plugin) = 0;
  virtual void Play(int plugin) = 0;
  virtual void Stop(int plugin) = 0;
  virtual void Pause(int plugin, bool paused) = 0;
  virtual void SetVolume(int plugin, int volume) = 0;
  virtual void SetPan(int plugin, int pan) = 0;
  virtual void SetMute(int plugin, bool mute) = 0;
  virtual void Seek(int plugin, int milliseconds) = 0;
  virtual void SetEq(int plugin, int band, int value) = 0;
  virtual int GetLength(int plugin) = 0;    // ms
  virtual int GetPosition(int plugin) = 0;  // ms
  // Nothing when the plug-in has no GetStreamInfo entry.
  virtual std::optional<StreamInfo> GetStreamInfo(int plugin) = 0;
};

}  // namespace qmb

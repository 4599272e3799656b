// Playback through input plug-ins and the engine stream that pulls their
// samples.
#include "plugins/input_plugin_route.h"

#include <algorithm>
#include <cstdint>

#include "core/status_codes.h"
#include "playback/sound_engine.h"

namespace qmb {

const QmbInputModule* PluginInputRoute::Module(int plugin) const {
  if (plugin < 0 || plugin >= static_cast<int>(registry_.input.size())) return nullptr;
  return &registry_.input[static_cast<std::size_t>(plugin)].module;
}

int PluginInputRoute::Find(const std::string& path) {
  return FindInputPlugin(registry_, path);
}

bool PluginInputRoute::UsesEngineOutput(int plugin) {
  const QmbInputModule* m = Module(plugin);
  return m && m->usesEngineOutput == 1;
}

int PluginInputRoute::Open(int plugin, const std::string& path) {
  const QmbInputModule* m = Module(plugin);
  if (!m || !m->Open) return kInputPluginOpenFailed;
  std::lock_guard lock(pullMutex_);
  pulling_ = -1;
  stream_ = nullptr;
  // The plug-in answers 0 when it opened; 1 is its failure.
  return m->Open(path.c_str()) == 1 ? kInputPluginOpenFailed : kOk;
}

std::int64_t PluginInputRoute::FramesAt(const QmbInputModule& m, std::int64_t ms) const {
  return ms * static_cast<std::int64_t>(m.sampleRate) / 1000;
}

std::int64_t PluginInputRoute::FramesLeftFrom(const QmbInputModule& m, std::int64_t ms) const {
  std::int64_t length = m.GetLength ? m.GetLength() : 0;
  if (length <= 0) return -1;
  return FramesAt(m, length) - FramesAt(m, std::clamp<std::int64_t>(ms, 0, length));
}

SoundStream* PluginInputRoute::CreateStream(int plugin) {
  const QmbInputModule* m = Module(plugin);
  if (!m || !m->GetSample) return nullptr;
  {
    std::lock_guard lock(pullMutex_);
    framesLeft_ = FramesLeftFrom(*m, 0);
    seekPending_ = false;
  }
  pulling_ = plugin;
  stream_ =
      FSOUND_Stream_Create(&PluginInputRoute::StreamCallback, static_cast<int>(m->bufferBytes),
                           kStreamCallback16Stereo, static_cast<int>(m->sampleRate), this);
  if (!stream_) pulling_ = -1;
  return stream_;
}

int PluginInputRoute::StreamCallback(SoundStream*, void* buffer, int length, void* userData) {
  auto* route = static_cast<PluginInputRoute*>(userData);
  if (!buffer || length <= 0) {
    // The engine has dropped its read-ahead: what is pulled now is heard
    // from the time of the seek.
    std::lock_guard lock(route->pullMutex_);
    route->seekPending_ = false;
    return 0;
  }
  return route->Fill(static_cast<std::int16_t*>(buffer), length / 4) * 4;
}

int PluginInputRoute::Fill(std::int16_t* frames, int count) {
  std::lock_guard lock(pullMutex_);
  const QmbInputModule* m = Module(pulling_.load());
  // Stopped, or waiting for the engine to carry out a seek: silence that is
  // never heard (a stop closes the stream, a seek drops it).
  if (!m || seekPending_) {
    std::fill(frames, frames + 2 * count, std::int16_t{0});
    return count;
  }
  int take = framesLeft_ < 0 ? count : static_cast<int>(std::min<std::int64_t>(count, framesLeft_));
  for (int i = 0; i < take; ++i) {
    std::int32_t left = 0;
    std::int32_t right = 0;
    m->GetSample(&left, &right);
    // Only the low 16 bits count, as a signed sample.
    frames[2 * i] = static_cast<std::int16_t>(static_cast<std::uint16_t>(left & 0xffff));
    frames[2 * i + 1] = static_cast<std::int16_t>(static_cast<std::uint16_t>(right & 0xffff));
  }
  if (framesLeft_ >= 0) framesLeft_ -= take;
  return take;
}

// Every call below holds the pull lock: the plug-in is never entered from
// the user-interface thread while its GetSample runs.
#define QMB_ROUTE_CALL(entry, ...)          \
  const QmbInputModule* m = Module(plugin); \
  if (!m || !m->entry) return;              \
  std::lock_guard lock(pullMutex_);         \
  m->entry(__VA_ARGS__)

void PluginInputRoute::Play(int plugin) {
  QMB_ROUTE_CALL(Play);
}

void PluginInputRoute::Stop(int plugin) {
  pulling_ = -1;
  stream_ = nullptr;
  QMB_ROUTE_CALL(Stop);
}

void PluginInputRoute::Pause(int plugin, bool paused) {
  QMB_ROUTE_CALL(Pause, paused ? 1 : 0);
}
void PluginInputRoute::SetVolume(int plugin, int volume) {
  QMB_ROUTE_CALL(SetVolume, volume);
}
void PluginInputRoute::SetPan(int plugin, int pan) {
  QMB_ROUTE_CALL(SetPan, pan);
}
void PluginInputRoute::SetMute(int plugin, bool mute) {
  QMB_ROUTE_CALL(SetMute, mute ? 1 : 0);
}
void PluginInputRoute::Seek(int plugin, int milliseconds) {
  QMB_ROUTE_CALL(Seek, milliseconds);
  if (!stream_ || plugin != pulling_.load()) return;
  // The plug-in is at the new place; the engine drops what it read ahead
  // from the old one and counts the heard time from here. Until it has, the
  // stream is fed silence it drops, not the plug-in's sound.
  std::int64_t length = m->GetLength ? m->GetLength() : 0;
  std::int64_t at = std::max(milliseconds, 0);
  if (length > 0) at = std::min(at, length);
  framesLeft_ = FramesLeftFrom(*m, at);
  seekPending_ = FSOUND_Stream_SetTime(stream_, static_cast<int>(at));
}
void PluginInputRoute::SetEq(int plugin, int band, int value) {
  QMB_ROUTE_CALL(SetEq, band, value);
}

#undef QMB_ROUTE_CALL

int PluginInputRoute::GetLength(int plugin) {
  const QmbInputModule* m = Module(plugin);
  if (!m || !m->GetLength) return 0;
  std::lock_guard lock(pullMutex_);
  return m->GetLength();
}

int PluginInputRoute::GetPosition(int plugin) {
  const QmbInputModule* m = Module(plugin);
  if (!m || !m->GetPosition) return 0;
  std::lock_guard lock(pullMutex_);
  return m->GetPosition();
}

std::optional<StreamInfo> PluginInputRoute::GetStreamInfo(int plugin) {
  const QmbInputModule* m = Module(plugin);
  if (!m || !m->GetStreamInfo) return std::nullopt;
  std::lock_guard lock(pullMutex_);
  const QmbStreamInfo* info = m->GetStreamInfo();
  if (!info) return std::nullopt;
  return StreamInfo{info->valid, info->frequency, info->bitRate, info->lengthMs};
}

int PluginInputRoute::TypeIcon(int plugin, const std::string& ext) {
  const QmbInputModule* m = Module(plugin);
  if (!m || !m->GetTypeIcon) return -1;
  return m->GetTypeIcon(ext.c_str());
}

}  // namespace qmb

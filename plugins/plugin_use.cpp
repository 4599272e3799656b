// Starting, stopping and configuring plug-ins, their file properties and
// tags, and the calls made on the mixing thread and the visual tick.
#include "plugins/plugin_use.h"

#include <cstring>

#include "core/desktop.h"
#include "core/status_codes.h"
#include "playlist/entry_list.h"

namespace qmb {

PluginManager::PluginManager() {
  TheVisualCapture().SetProcessor(this);
}

PluginManager::~PluginManager() {
  TheVisualCapture().SetProcessor(nullptr);
  std::lock_guard wait(processMutex_);
}

void PluginManager::Load(const std::string& programFolder) {
  LoadPlugins(registry, programFolder, host);
}

void PluginManager::Unload() {
  // Neither the mixing thread nor the visual tick may call a plug-in whose
  // exit entry has run.
  registry.dspRunning = false;
  { std::lock_guard wait(processMutex_); }
  UnloadPlugins(registry);
}

int PluginManager::StartVisualPlugin() {
  if (registry.visual.empty()) return kNoPlugins;
  if (registry.visualRunning) return kVisPluginRunning;
  int row = registry.List(kVisualPlugins).SelectedOrFirst();
  if (row >= static_cast<int>(registry.visual.size())) return kNoPlugins;
  registry.visualIndex = row;
  const QmbVisualModule& module = registry.visual[static_cast<std::size_t>(row)].module;
  void* library = registry.visual[static_cast<std::size_t>(row)].library;
  if (!module.Start || module.Start(host, library) != 0) {
    if (module.Stop) module.Stop();
    return kPluginInitFailed;
  }
  registry.visualRunning = true;
  if (redrawVisual) redrawVisual();
  registry.List(kVisualPlugins).changed.Emit();
  return kOk;
}

int PluginManager::StopVisualPlugin() {
  if (registry.visual.empty()) return kNoPlugins;
  if (!registry.visualRunning) return kVisPluginNotRunning;
  registry.visualRunning = false;
  const QmbVisualModule& module =
      registry.visual[static_cast<std::size_t>(registry.visualIndex)].module;
  if (module.Stop) module.Stop();
  registry.List(kVisualPlugins).changed.Emit();
  return kOk;
}

int PluginManager::StartDspPlugin() {
  if (registry.dsp.empty()) return kNoPlugins;
  if (registry.dspRunning) return kDspPluginRunning;
  int row = registry.List(kDspPlugins).SelectedOrFirst();
  if (row >= static_cast<int>(registry.dsp.size())) return kNoPlugins;
  registry.dspIndex = row;
  registry.dspRunning = true;
  registry.List(kDspPlugins).changed.Emit();
  return kOk;
}

int PluginManager::StopDspPlugin() {
  if (registry.dsp.empty()) return kNoPlugins;
  if (!registry.dspRunning) return kDspPluginNotRunning;
  registry.dspRunning = false;
  // A Process call under way finishes before Stop runs.
  { std::lock_guard wait(processMutex_); }
  const QmbDspModule& module = registry.dsp[static_cast<std::size_t>(registry.dspIndex)].module;
  if (module.Stop) module.Stop();
  registry.List(kDspPlugins).changed.Emit();
  return kOk;
}

namespace {

template <typename Module>
int ConfigureSelected(const std::vector<PluginSlot<Module>>& slots, const PluginListModel& list) {
  if (slots.empty()) return kNoPlugins;
  int row = list.SelectedOrFirst();
  if (row >= static_cast<int>(slots.size())) return kNoPlugins;
  auto configure = slots[static_cast<std::size_t>(row)].module.Configure;
  if (!configure) return kEntryPointMissing;
  configure();
  return kOk;
}

}  // namespace

int PluginManager::ConfigurePlugin(PluginKind kind) {
  const PluginListModel& list = registry.List(kind);
  switch (kind) {
    case kInputPlugins:
      return ConfigureSelected(registry.input, list);
    case kDspPlugins:
      return ConfigureSelected(registry.dsp, list);
    case kVisualPlugins:
      return ConfigureSelected(registry.visual, list);
    case kGeneralPlugins:
      return ConfigureSelected(registry.general, list);
    case kFilePlugins:
      return ConfigureSelected(registry.file, list);
  }
  return kNoPlugins;
}

int PluginManager::ShowFileProperties(int index, const std::string& path) {
  if (registry.file.empty()) return kNoPlugins;
  if (index < 0 || index >= static_cast<int>(registry.file.size())) return kNoPlugins;
  auto properties = registry.file[static_cast<std::size_t>(index)].module.Properties;
  if (!properties) return kEntryPointMissing;
  properties(path.c_str());
  return kOk;
}

// The Start buttons report no status: a plug-in that fails says so itself.
void PluginManager::StartVisualCommand() {
  if (StartVisualPlugin() == kVisPluginRunning) {
    static_cast<void>(StopVisualPlugin());
    static_cast<void>(StartVisualPlugin());
  }
}

void PluginManager::StartDspCommand() {
  if (StartDspPlugin() == kDspPluginRunning) {
    static_cast<void>(StopDspPlugin());
    static_cast<void>(StartDspPlugin());
  }
}

void PluginManager::PropertiesOfSelected(const EntryList& list, int pathField) {
  std::vector<std::string> paths;
  for (int row = 0; row < list.Count(); ++row) {
    if (list.IsSelected(row)) paths.emplace_back(list.WholeFieldView(row, pathField));
  }
  for (const std::string& path : paths) {
    int index = FindFilePlugin(registry, path);
    if (index < 0) {
      TheDesktop().ShowMessage("No plug-in found for selected file " + path, "Error",
                               MessageIcon::Error, MessageButtons::Ok);
      continue;
    }
    ShowErrorCode(ShowFileProperties(index, path));
  }
}

int PluginManager::Request(int request, int row) {
  auto select = [&](PluginKind kind) {
    if (row >= 0 && row < registry.Count(kind)) registry.List(kind).Select(row);
  };
  switch (request) {
    case QMB_REQ_START_VISUAL:
      select(kVisualPlugins);
      return StartVisualPlugin();
    case QMB_REQ_START_DSP:
      select(kDspPlugins);
      return StartDspPlugin();
    case QMB_REQ_STOP_VISUAL:
      return StopVisualPlugin();
    case QMB_REQ_STOP_DSP:
      return StopDspPlugin();
    case QMB_REQ_CONFIGURE_INPUT:
      select(kInputPlugins);
      return ConfigurePlugin(kInputPlugins);
    case QMB_REQ_CONFIGURE_DSP:
      select(kDspPlugins);
      return ConfigurePlugin(kDspPlugins);
    case QMB_REQ_CONFIGURE_VISUAL:
      select(kVisualPlugins);
      return ConfigurePlugin(kVisualPlugins);
    case QMB_REQ_CONFIGURE_GENERAL:
      select(kGeneralPlugins);
      return ConfigurePlugin(kGeneralPlugins);
    case QMB_REQ_CONFIGURE_FILE:
      select(kFilePlugins);
      return ConfigurePlugin(kFilePlugins);
  }
  return 0;
}

bool PluginManager::RenderVisualPlugin(int width, int height, const float* spectrum,
                                       std::vector<std::int16_t>& block) {
  if (!registry.visualRunning || width <= 0 || height <= 0) return false;
  const QmbVisualModule& module =
      registry.visual[static_cast<std::size_t>(registry.visualIndex)].module;
  if (!module.Render) return false;
  surfaceWidth_ = width;
  surfaceHeight_ = height;
  surface_.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0xff000000u);
  QmbSurface target{};
  target.width = width;
  target.height = height;
  target.stride = width * 4;
  target.pixels = surface_.data();
  // The plug-in may write into what it is handed; it gets copies.
  float spectrumCopy[256] = {};
  if (spectrum) std::memcpy(spectrumCopy, spectrum, sizeof(spectrumCopy));
  int frames = static_cast<int>(block.size() / 2);
  int answer =
      module.Render(&target, spectrumCopy, block.empty() ? nullptr : block.data(), frames, 256);
  if (answer == 1) {
    registry.visualRunning = false;
    if (module.Stop) module.Stop();
    registry.List(kVisualPlugins).changed.Emit();
  }
  return true;
}

void PluginManager::ProcessBlock(std::int16_t* input, std::int16_t* mix, int frames) {
  if (!registry.dspRunning.load()) return;
  std::lock_guard inCall(processMutex_);
  // Checked again under the lock: a stop that cleared it is waiting for us.
  if (!registry.dspRunning.load()) return;
  int index = registry.dspIndex.load();
  auto process = registry.dsp[static_cast<std::size_t>(index)].module.Process;
  if (process) process(input, mix, frames);
}

std::optional<TagRecord> PluginManager::ReadTags(const std::string& path) {
  int index = FindFilePlugin(registry, path);
  if (index < 0) return std::nullopt;
  auto readTag = registry.file[static_cast<std::size_t>(index)].module.ReadTag;
  if (!readTag) return std::nullopt;
  const QmbTagRecord* record = readTag(path.c_str());
  if (!record) return std::nullopt;
  static_assert(sizeof(QmbTagRecord) == sizeof(TagRecord));
  TagRecord tags;
  std::memcpy(&tags, record, sizeof(tags));
  // A plug-in that left a field unterminated still gives a terminated text.
  for (char* field : {tags.genre, tags.artist, tags.album, tags.songName, tags.year, tags.copyright,
                      tags.comment, tags.track, tags.mood, tags.rating, tags.length}) {
    field[kTagFieldSize - 1] = '\0';
  }
  return tags;
}

}  // namespace qmb

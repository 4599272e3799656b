// Loading plug-in libraries from Plugins/, their lists, and the exit calls.
#include "plugins/plugin_registry.h"

#include <dirent.h>
#include <dlfcn.h>

#include <cstring>

#include "core/desktop.h"
#include "core/text_util.h"

namespace qmb {

void PluginListModel::Append(Row row) {
  rows_.push_back(std::move(row));
  changed.Emit();
}

void PluginListModel::Clear() {
  rows_.clear();
  selected_ = -1;
  changed.Emit();
}

bool PluginListModel::Checked(int row) const {
  return row >= 0 && row < Count() && rows_[static_cast<std::size_t>(row)].checked;
}

void PluginListModel::SetChecked(int row, bool checked) {
  if (row < 0 || row >= Count()) return;
  rows_[static_cast<std::size_t>(row)].checked = checked;
  changed.Emit();
}

void PluginListModel::Select(int row) {
  selected_ = row >= 0 && row < Count() ? row : -1;
  changed.Emit();
}

int PluginRegistry::Count(PluginKind kind) const {
  switch (kind) {
    case kInputPlugins:
      return static_cast<int>(input.size());
    case kDspPlugins:
      return static_cast<int>(dsp.size());
    case kVisualPlugins:
      return static_cast<int>(visual.size());
    case kGeneralPlugins:
      return static_cast<int>(general.size());
    case kFilePlugins:
      return static_cast<int>(file.size());
  }
  return 0;
}

std::string PluginRegistry::Description(PluginKind kind, int row) const {
  if (row < 0 || row >= Count(kind)) return {};
  return lists[static_cast<int>(kind)].At(row).description;
}

namespace {

void ShowLoadError(const std::string& text) {
  TheDesktop().ShowMessage(text, "Error", MessageIcon::Error, MessageButtons::Ok);
}

// The loader's reason, as short as the system texts the messages carry.
std::string LoaderErrorText() {
  const char* text = dlerror();
  return CutUtf8Copy(text ? text : "The specified procedure could not be found.", 199);
}

std::string SafeText(const char* text) {
  return text ? text : "";
}

// Copies the table an entry point returns; false when it returns none.
template <typename Module>
bool CopyTable(void* entry, Module& into) {
  auto get = reinterpret_cast<Module* (*)()>(entry);
  const Module* table = get();
  if (!table) return false;
  std::memcpy(&into, table, sizeof(Module));
  return true;
}

struct KindInfo {
  PluginKind kind;
  const char* extension;
  const char* entry;
  const char* invalidPhrase;
};

constexpr KindInfo kKinds[] = {
    {kInputPlugins, "qip", QMB_INPUT_ENTRY, " is not a valid input plug-in."},
    // The DSP kind's text says "input": the player's own words, kept as they are.
    {kDspPlugins, "qdp", QMB_DSP_ENTRY, " is not a valid input plug-in."},
    {kVisualPlugins, "qvp", QMB_VISUAL_ENTRY, " is not a valid visualization plug-in."},
    {kGeneralPlugins, "qgp", QMB_GENERAL_ENTRY, " is not a valid general plug-in."},
    {kFilePlugins, "qfp", QMB_FILE_ENTRY, " is not a valid file plug-in."},
};

const KindInfo* KindOf(const std::string& name) {
  std::size_t dot = name.rfind('.');
  std::string ext = dot == std::string::npos ? "" : ToLowerAscii(name.substr(dot + 1));
  for (const KindInfo& info : kKinds) {
    if (ext == info.extension) return &info;
  }
  return nullptr;
}

// A plug-in without the version entry was built before it existed: 1.00.
bool ApiVersionAccepted(void* library) {
  auto version = reinterpret_cast<QmbApiVersionFunc>(dlsym(library, QMB_API_VERSION_ENTRY));
  int32_t declared = version ? version() : 100;
  return declared / 100 <= QMB_PLUGIN_API_VERSION / 100;
}

// Init of the kinds that have one at load; true when the plug-in may stay.
template <typename Module>
bool InitAtLoad(Module& module, QmbHost* host, void* library) {
  if (!module.Init) return false;
  return module.Init(host, library) == 0;
}

template <typename Module>
void Register(std::vector<PluginSlot<Module>>& slots, PluginListModel& list, void* library,
              const Module& module, const std::string& name, bool ticked) {
  slots.push_back({library, module});
  list.Append({SafeText(module.description), name, ticked});
}

void LoadOne(PluginRegistry& registry, const KindInfo& info, const std::string& folder,
             const std::string& name, QmbHost* host) {
  std::string path = folder + name;
  dlerror();
  void* library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!library) ShowLoadError(name + " is not a valid Windows Dynamic Link Library.");
  void* entry = library ? dlsym(library, info.entry) : nullptr;
  if (!entry) {
    ShowLoadError(name + info.invalidPhrase + "\r\n" + LoaderErrorText());
    if (library) dlclose(library);
    return;
  }
  // A plug-in built for a newer contract than ours may rely on what we lack.
  if (!ApiVersionAccepted(library)) {
    ShowLoadError(name + info.invalidPhrase);
    dlclose(library);
    return;
  }
  PluginListModel& list = registry.List(info.kind);
  auto failed = [&](const std::string& text) {
    ShowLoadError(text);
    dlclose(library);
  };
  // A table the entry point does not hand over counts as a missing entry.
  auto noTable = [&] { failed(name + info.invalidPhrase); };
  switch (info.kind) {
    case kInputPlugins: {
      QmbInputModule module{};
      if (!CopyTable(entry, module)) return noTable();
      if (!InitAtLoad(module, host, library)) {
        return failed("There was an error initializing " + name + ".");
      }
      Register(registry.input, list, library, module, name, true);
      return;
    }
    case kDspPlugins: {
      QmbDspModule module{};
      if (!CopyTable(entry, module)) return noTable();
      if (!InitAtLoad(module, host, library)) {
        return failed("There was an error initializing " + name);
      }
      Register(registry.dsp, list, library, module, name, false);
      return;
    }
    case kVisualPlugins: {
      QmbVisualModule module{};
      if (!CopyTable(entry, module)) return noTable();
      Register(registry.visual, list, library, module, name, false);
      return;
    }
    case kGeneralPlugins: {
      QmbGeneralModule module{};
      if (!CopyTable(entry, module)) return noTable();
      if (module.Init) module.Init(host, library);
      Register(registry.general, list, library, module, name, false);
      return;
    }
    case kFilePlugins: {
      QmbFileModule module{};
      if (!CopyTable(entry, module)) return noTable();
      if (!InitAtLoad(module, host, library)) {
        return failed("There was an error initializing " + name);
      }
      Register(registry.file, list, library, module, name, true);
      return;
    }
  }
}

template <typename Module, typename Exit>
void ReleaseAll(std::vector<PluginSlot<Module>>& slots, Exit exitEntry) {
  for (auto& slot : slots) {
    if (auto call = exitEntry(slot.module)) call();
  }
}

bool ContainsText(const char* haystack, const std::string& needle) {
  if (!haystack || needle.empty()) return false;
  return ToLowerAscii(haystack).find(needle) != std::string::npos;
}

std::string LowerExtension(const std::string& path) {
  std::size_t slash = path.rfind('/');
  std::size_t dot = path.rfind('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return {};
  return ToLowerAscii(path.substr(dot + 1));
}

}  // namespace

void LoadPlugins(PluginRegistry& registry, const std::string& programFolder, QmbHost* host) {
  UnloadPlugins(registry);
  std::string folder = programFolder + "Plugins/";
  DIR* dir = opendir(folder.c_str());
  if (!dir) return;
  std::vector<std::string> names;
  while (dirent* item = readdir(dir)) names.emplace_back(item->d_name);
  closedir(dir);
  for (const std::string& name : names) {
    if (const KindInfo* info = KindOf(name)) LoadOne(registry, *info, folder, name, host);
  }
}

void UnloadPlugins(PluginRegistry& registry) {
  registry.dspRunning = false;
  registry.visualRunning = false;
  ReleaseAll(registry.input, [](const QmbInputModule& m) { return m.Quit; });
  ReleaseAll(registry.dsp, [](const QmbDspModule& m) { return m.Stop; });
  ReleaseAll(registry.visual, [](const QmbVisualModule& m) { return m.Stop; });
  ReleaseAll(registry.general, [](const QmbGeneralModule& m) { return m.Quit; });
  ReleaseAll(registry.file, [](const QmbFileModule& m) { return m.Quit; });
  auto close = [](auto& slots) {
    for (auto& slot : slots) dlclose(slot.library);
    slots.clear();
  };
  close(registry.input);
  close(registry.dsp);
  close(registry.visual);
  close(registry.general);
  close(registry.file);
  for (PluginListModel& list : registry.lists) {
    if (list.Count() > 0) list.Clear();
  }
}

template <typename Module>
int FindClaimingPlugin(const std::vector<PluginSlot<Module>>& slots, const PluginListModel& list,
                       const std::string& path) {
  std::string ext = LowerExtension(path);
  int count = static_cast<int>(slots.size());
  for (int i = count - 1; i >= 0; --i) {
    if (list.Checked(i) &&
        ContainsText(slots[static_cast<std::size_t>(i)].module.extensions, ext)) {
      return i;
    }
  }
  // Lowered only when a plug-in has a pattern: loading a long playlist asks
  // this for every entry.
  std::string lowerPath;
  for (int i = 0; i < count; ++i) {
    const char* pattern = slots[static_cast<std::size_t>(i)].module.pattern;
    if (!list.Checked(i) || !pattern || !*pattern) continue;
    if (lowerPath.empty()) lowerPath = ToLowerAscii(path);
    if (lowerPath.find(ToLowerAscii(pattern)) != std::string::npos) return i;
  }
  return -1;
}

int FindInputPlugin(const PluginRegistry& registry, const std::string& path) {
  return FindClaimingPlugin(registry.input, registry.lists[kInputPlugins], path);
}

int FindFilePlugin(const PluginRegistry& registry, const std::string& path) {
  return FindClaimingPlugin(registry.file, registry.lists[kFilePlugins], path);
}

}  // namespace qmb

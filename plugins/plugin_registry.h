// The loaded plug-ins: one registry per kind in load order, the lists the
// control panel shows of them, loading from Plugins/ and the calls at exit.
#pragma once

#include <atomic>
#include <string>
#include <vector>

#include "core/control_models.h"
#include "plugins/qmb_plugin.h"

namespace qmb {

// The plug-in kinds in the order of their lists and request numbers.
enum PluginKind : int { kInputPlugins, kDspPlugins, kVisualPlugins, kGeneralPlugins, kFilePlugins };
constexpr int kPluginKindCount = 5;

// One plug-in list of the control panel: a row per registered plug-in, in
// slot order, so a row number is a slot index.
class PluginListModel {
 public:
  struct Row {
    std::string description;
    std::string fileName;
    bool checked = false;
  };

  int Count() const { return static_cast<int>(rows_.size()); }
  const Row& At(int row) const { return rows_[static_cast<std::size_t>(row)]; }
  void Append(Row row);
  void Clear();
  // Input and file rows are ticked when loaded; the user may clear them.
  bool Checked(int row) const;
  void SetChecked(int row, bool checked);
  // The selection mark; -1 when none.
  int Selected() const { return selected_; }
  void Select(int row);
  // The row an operation acts on: the selection, with -1 counting as row 0.
  int SelectedOrFirst() const { return selected_ < 0 ? 0 : selected_; }

  // Rows, ticks or the selection changed; also asked for after a start or
  // stop so the running row is shown.
  ChangeSignal changed;

 private:
  std::vector<Row> rows_;
  int selected_ = -1;
};

template <typename Module>
struct PluginSlot {
  void* library = nullptr;
  Module module{};
};

struct PluginRegistry {
  std::vector<PluginSlot<QmbInputModule>> input;
  std::vector<PluginSlot<QmbDspModule>> dsp;
  std::vector<PluginSlot<QmbVisualModule>> visual;
  std::vector<PluginSlot<QmbGeneralModule>> general;
  std::vector<PluginSlot<QmbFileModule>> file;
  // The control panel's five lists, by kind.
  PluginListModel lists[kPluginKindCount];

  // Running DSP and visualization plug-ins. The flags are read by the
  // mixing thread; the user-interface thread writes them.
  std::atomic<bool> dspRunning{false};
  std::atomic<int> dspIndex{0};
  bool visualRunning = false;
  int visualIndex = 0;

  PluginListModel& List(PluginKind kind) { return lists[static_cast<int>(kind)]; }
  int Count(PluginKind kind) const;
  std::string Description(PluginKind kind, int row) const;
};

// Loads every plug-in in `programFolder` + "Plugins/" in the order the
// folder lists them, reporting each failure and going on. `host` is what
// the tables' Init and Start receive.
void LoadPlugins(PluginRegistry& registry, const std::string& programFolder, QmbHost* host);

// At exit: Quit or Stop of every plug-in, kind by kind (input, DSP,
// visualization, general, file) in load order, then the libraries are
// released and the registries emptied.
void UnloadPlugins(PluginRegistry& registry);

// The plug-in that claims `path`, counting only ticked rows: the last whose
// extension list contains the path's lower-case extension, else the first
// whose non-empty pattern occurs in the lower-cased path; -1 when none.
int FindInputPlugin(const PluginRegistry& registry, const std::string& path);
int FindFilePlugin(const PluginRegistry& registry, const std::string& path);

}  // namespace qmb

// When the player calls its plug-ins: starting, running and stopping DSP and
// visualization plug-ins, configuration of every kind, file properties and
// tags, and the exit calls.
#pragma once

#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "plugins/plugin_registry.h"
#include "tags/tag_record.h"
#include "vis/visual_capture.h"

namespace qmb {

class EntryList;

class PluginManager : public BlockProcessor, public TagSource {
 public:
  PluginManager();
  ~PluginManager() override;
  PluginManager(const PluginManager&) = delete;
  PluginManager& operator=(const PluginManager&) = delete;

  PluginRegistry registry;
  // What Init and Start receive as the main window; set before loading.
  QmbHost* host = nullptr;
  // Asks the visual window to repaint (its background, or the plug-in's
  // picture); may be unset.
  std::function<void()> redrawVisual;

  // Loading at start-up and the calls at exit.
  void Load(const std::string& programFolder);
  void Unload();

  // Each returns its status without showing it.
  [[nodiscard]] int StartVisualPlugin();
  [[nodiscard]] int StopVisualPlugin();
  [[nodiscard]] int StartDspPlugin();
  [[nodiscard]] int StopDspPlugin();
  [[nodiscard]] int ConfigurePlugin(PluginKind kind);
  [[nodiscard]] int ShowFileProperties(int index, const std::string& path);
  // The page buttons and the visual menu: a start while one runs restarts
  // with the selected row; a failed start is not reported.
  void StartVisualCommand();
  void StartDspCommand();
  // "Properties..." over the selected rows of `list` (paths in `pathField`).
  void PropertiesOfSelected(const EntryList& list, int pathField);

  // The control interface's requests 18-26 on `row` (-1 for 20 and 21).
  int Request(int request, int row);

  // The visual tick's plug-in part: Render into a `width` x `height`
  // surface with the spectrum and the newest mix block; a plug-in that
  // answers 1 is stopped. False when nothing was rendered.
  bool RenderVisualPlugin(int width, int height, const float* spectrum,
                          std::vector<std::int16_t>& block);
  // The picture the last Render left, 0xAARRGGBB rows of `SurfaceWidth()`.
  const std::vector<std::uint32_t>& SurfacePixels() const { return surface_; }
  int SurfaceWidth() const { return surfaceWidth_; }
  int SurfaceHeight() const { return surfaceHeight_; }

  // Mixing thread: Process of the running DSP plug-in while a track plays.
  void ProcessBlock(std::int16_t* input, std::int16_t* mix, int frames) override;

  // The tags of the file plug-in that claims `path`.
  std::optional<TagRecord> ReadTags(const std::string& path) override;

 private:
  // Held by the mixing thread around Process, so a stop can wait for a
  // call under way.
  std::mutex processMutex_;
  std::vector<std::uint32_t> surface_;
  int surfaceWidth_ = 0;
  int surfaceHeight_ = 0;
};

}  // namespace qmb

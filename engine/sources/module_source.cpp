#include <algorithm>
#include <atomic>
#include <cctype>
#include <cmath>
#include <fstream>
#include <libopenmpt/libopenmpt.hpp>
#include <sstream>
#include <vector>

#include "engine/source.h"

namespace qmb::engine {

namespace {

constexpr int kRate = 44100;

std::string LowerExtension(const std::string& path) {
  std::size_t slash = path.find_last_of('/');
  std::size_t dot = path.find_last_of('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return {};
  std::string extension = path.substr(dot + 1);
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return extension;
}

// A module ends before a stretch longer than this whose patterns hold no
// note and no command: a garbled order list or a file cut short reads as
// minutes of empty patterns, which no song plays on purpose.
constexpr double kMaxSilentSeconds = 60.0;

bool EmptyPattern(const openmpt::module& module, int pattern) {
  if (pattern < 0 || pattern >= module.get_num_patterns()) return true;
  const int channels = module.get_num_channels();
  const int rows = module.get_pattern_num_rows(pattern);
  for (int row = 0; row < rows; ++row) {
    for (int channel = 0; channel < channels; ++channel) {
      for (int command = openmpt::module::command_note;
           command <= openmpt::module::command_parameter; ++command) {
        if (module.get_pattern_row_channel_command(pattern, row, channel, command) != 0) {
          return false;
        }
      }
    }
  }
  return true;
}

// Where the song ends: its own end, or the start of the first silent stretch
// of orders longer than kMaxSilentSeconds. Leaves the position at the start.
double SongEndSeconds(openmpt::module& module) {
  double end = module.get_duration_seconds();
  const int orders = module.get_num_orders();
  std::vector<bool> empty(static_cast<std::size_t>(orders));
  for (int order = 0; order < orders; ++order) {
    empty[static_cast<std::size_t>(order)] = EmptyPattern(module, module.get_order_pattern(order));
  }
  for (int order = 0; order < orders;) {
    if (!empty[static_cast<std::size_t>(order)]) {
      ++order;
      continue;
    }
    int after = order;
    while (after < orders && empty[static_cast<std::size_t>(after)]) ++after;
    double from = module.set_position_order_row(order, 0);
    double to = after < orders ? module.set_position_order_row(after, 0) : end;
    if (to - from > kMaxSilentSeconds) {
      end = std::min(end, from);
      break;
    }
    order = after;
  }
  module.set_position_seconds(0);
  return end;
}

// Reads happen on the decoding thread; the order queries and jumps come from
// the user interface, so they meet only through atomics and the jump waits
// for the next read.
class OpenmptSource final : public ModuleSource {
 public:
  explicit OpenmptSource(std::unique_ptr<openmpt::module> module)
      : module_(std::move(module)),
        orders_(module_->get_num_orders()),
        endSeconds_(SongEndSeconds(*module_)),
        lengthFrames_(std::llround(endSeconds_ * kRate)) {
    module_->set_repeat_count(0);
    // The default fades out into the song's first order again, which would
    // run past the length and show order 0 at the end.
    module_->ctl_set_text("play.at_end", "stop");
  }

  int SampleRate() const override { return kRate; }
  int Channels() const override { return 2; }
  std::int64_t LengthFrames() const override { return lengthFrames_; }

  std::size_t Read(float* out, std::size_t frames) override {
    int jump = pendingJump_.exchange(-1);
    if (jump >= 0) {
      module_->set_position_order_row(jump, 0);
      finished_ = false;
    }
    std::size_t done = 0;
    while (done < frames && !finished_) {
      double left = endSeconds_ - module_->get_position_seconds();
      auto most = static_cast<std::size_t>(std::max(0.0, std::ceil(left * kRate)));
      std::size_t n =
          module_->read_interleaved_stereo(kRate, std::min(frames - done, most), out + done * 2);
      if (n == 0) finished_ = true;
      done += n;
    }
    order_ = module_->get_current_order();
    return done;
  }

  bool Seek(std::int64_t frame) override {
    if (frame < 0) return false;
    pendingJump_ = -1;
    module_->set_position_seconds(static_cast<double>(frame) / kRate);
    order_ = module_->get_current_order();
    finished_ = frame >= lengthFrames_;
    return true;
  }

  int NumOrders() const override { return orders_; }
  int CurrentOrder() const override {
    int jump = pendingJump_;
    return jump >= 0 ? jump : order_.load();
  }
  bool JumpToOrder(int order) override {
    if (order < 0 || order >= orders_) return false;
    pendingJump_ = order;
    finished_ = false;
    return true;
  }
  bool Finished() const override { return finished_ && pendingJump_ < 0; }

 private:
  std::unique_ptr<openmpt::module> module_;
  const int orders_;
  const double endSeconds_;
  const std::int64_t lengthFrames_;
  std::atomic<int> order_{0};
  std::atomic<int> pendingJump_{-1};
  std::atomic<bool> finished_{false};
};

}  // namespace

std::unique_ptr<ModuleSource> OpenModuleSource(const std::string& path, std::string* error) {
  std::string ignored;
  if (error == nullptr) error = &ignored;
  std::string extension = LowerExtension(path);
  if (extension == "sgt" || extension == "fsb") {
    *error = "." + extension + " files cannot be played";
    return nullptr;
  }
  std::ifstream file(path, std::ios::binary);
  if (!file) {
    *error = "cannot open " + path;
    return nullptr;
  }
  std::ostringstream log;  // libopenmpt's chatter goes nowhere
  std::unique_ptr<openmpt::module> module;
  try {
    module = std::make_unique<openmpt::module>(file, log);
  } catch (const std::exception& e) {
    *error = std::string("not a module: ") + e.what();
    return nullptr;
  }
  std::string type = module->get_metadata("type");
  if (type != "xm" && type != "it" && type != "s3m" && type != "mod") {
    *error = "not an xm, it, s3m or mod module";
    return nullptr;
  }
  if (module->get_num_orders() <= 0) {
    *error = "a module without orders";
    return nullptr;
  }
  return std::make_unique<OpenmptSource>(std::move(module));
}

}  // namespace qmb::engine

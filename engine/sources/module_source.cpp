#include <algorithm>
#include <atomic>
#include <cctype>
#include <cmath>
#include <fstream>
#include <libopenmpt/libopenmpt.hpp>
#include <sstream>

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

// Reads happen on the decoding thread; the order queries and jumps come from
// the user interface, so they meet only through atomics and the jump waits
// for the next read.
class OpenmptSource final : public ModuleSource {
 public:
  explicit OpenmptSource(std::unique_ptr<openmpt::module> module)
      : module_(std::move(module)),
        orders_(module_->get_num_orders()),
        lengthFrames_(std::llround(module_->get_duration_seconds() * kRate)) {
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
      std::size_t n = module_->read_interleaved_stereo(kRate, frames - done, out + done * 2);
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

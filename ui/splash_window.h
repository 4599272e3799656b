// The splash screen: a picture from Splash/ in a borderless window of
// exactly its size in the middle of the work area, faded in while the
// player starts and out once the main window shows.
#pragma once

#include <memory>
#include <string>

#include "core/image_library.h"

class QWidget;

namespace qmb {

class SplashWindow {
 public:
  // Shows `picture` and fades it in.
  explicit SplashWindow(Picture picture);
  ~SplashWindow();
  SplashWindow(const SplashWindow&) = delete;
  SplashWindow& operator=(const SplashWindow&) = delete;

  QWidget* Window() const { return window_; }
  // Fades out; the window and the picture go with this object.
  void FadeOut();

 private:
  Picture picture_;
  QWidget* window_ = nullptr;
};

// With `enabled`, a random picture of program folder + "Splash/" shown;
// null when disabled, or after the error message when there is no picture.
std::unique_ptr<SplashWindow> ShowSplash(bool enabled, const std::string& programFolder);

}  // namespace qmb

#include "ui/splash_window.h"

#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <QWidget>

#include "core/desktop.h"
#include "services/splash_choice.h"
#include "ui/control_factory.h"

namespace qmb {
namespace {

void SetOpacity(QWidget* window, int alpha) {
  window->setWindowOpacity(alpha / 255.0);
}

}  // namespace

SplashWindow::SplashWindow(Picture picture) : picture_(std::move(picture)) {
  const int w = picture_->width;
  const int h = picture_->height;
  window_ = CreateTopWindow("", 0, 0, w, h, kStylePopup, 0);
  window_->setObjectName("splash");
  window_->setFixedSize(w, h);
  CenterWindow(window_, nullptr, nullptr);
  QImage image(reinterpret_cast<const uchar*>(picture_->pixels), w, h, picture_->stride,
               QImage::Format_ARGB32);
  auto* face = new QLabel(window_);
  face->setGeometry(0, 0, w, h);
  face->setPixmap(QPixmap::fromImage(image));
  SetOpacity(window_, 0);
  window_->show();
  Desktop& desktop = TheDesktop();
  for (int alpha : FadeInSteps()) {
    SetOpacity(window_, alpha);
    desktop.ProcessPendingEvents();
    desktop.SleepMs(kFadeInWaitMs);
  }
}

SplashWindow::~SplashWindow() {
  delete window_;
}

void SplashWindow::FadeOut() {
  Desktop& desktop = TheDesktop();
  for (int alpha : FadeOutSteps()) {
    SetOpacity(window_, alpha);
    desktop.ProcessPendingEvents();
    desktop.SleepMs(kFadeOutWaitMs);
  }
  window_->hide();
}

std::unique_ptr<SplashWindow> ShowSplash(bool enabled, const std::string& programFolder) {
  if (!enabled) return nullptr;
  Picture picture = ChooseSplashPicture(programFolder);
  if (!picture) return nullptr;
  return std::make_unique<SplashWindow>(std::move(picture));
}

}  // namespace qmb

#include "app/plugin_host.h"

#include <QCoreApplication>
#include <QThread>
#include <type_traits>

#include "app/control_interface.h"

namespace qmb {

PluginHost::PluginHost(ControlInterface& control) : control_(control) {
  static_assert(std::is_standard_layout_v<Bridge>);
  bridge_.host.send = &PluginHost::Send;
  bridge_.owner = this;
}

intptr_t PluginHost::Send(QmbHost* host, uint32_t message, uintptr_t wParam, intptr_t lParam) {
  if (!host || message != QMB_WM_USER) return 0;
  auto* bridge = reinterpret_cast<Bridge*>(host);
  return bridge->owner->Run(static_cast<int>(wParam & 0xFFFF), lParam);
}

intptr_t PluginHost::Run(int request, intptr_t lParam) {
  if (QThread::currentThread() == context_.thread()) return control_.Request(request, lParam);
  // Once the application is closing nothing would run a queued request, and
  // the sender would wait forever.
  if (QCoreApplication::closingDown()) return 0;
  intptr_t result = 0;
  QMetaObject::invokeMethod(
      &context_, [this, request, lParam] { return control_.Request(request, lParam); },
      Qt::BlockingQueuedConnection, &result);
  return result;
}

}  // namespace qmb

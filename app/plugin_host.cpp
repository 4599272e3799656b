#include "app/plugin_host.h"

#include <QCoreApplication>
#include <QThread>
#include <type_traits>

#include "app/control_interface.h"

namespace qmb {

PluginHost::PluginHost(ControlInterface& control, std::function<bool(int id)> command)
    : control_(control), command_(std::move(command)) {
  static_assert(std::is_standard_layout_v<Bridge>);
  bridge_.host.send = &PluginHost::Send;
  bridge_.owner = this;
}

intptr_t PluginHost::Send(QmbHost* host, uint32_t message, uintptr_t wParam, intptr_t lParam) {
  if (!host) return 0;
  PluginHost* owner = reinterpret_cast<Bridge*>(host)->owner;
  int number = static_cast<int>(wParam & 0xFFFF);
  switch (message) {
    case QMB_WM_USER:
      return owner->OnInterfaceThread(
          [owner, number, lParam] { return owner->control_.Request(number, lParam); });
    case QMB_WM_COMMAND:
      return owner->OnInterfaceThread([owner, number]() -> intptr_t {
        return owner->command_ && owner->command_(number) ? 1 : 0;
      });
    default:
      return 0;
  }
}

intptr_t PluginHost::OnInterfaceThread(const std::function<intptr_t()>& work) {
  if (QThread::currentThread() == context_.thread()) return work();
  // Once the application is closing nothing would run a queued call, and the
  // sender would wait forever.
  if (QCoreApplication::closingDown()) return 0;
  intptr_t result = 0;
  QMetaObject::invokeMethod(
      &context_, [&work] { return work(); }, Qt::BlockingQueuedConnection, &result);
  return result;
}

}  // namespace qmb

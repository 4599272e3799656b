// The host plug-ins drive the player through: a QmbHost whose requests run the
// control interface on the user-interface thread, whatever thread sends them.
#pragma once

#include <QObject>
#include <functional>

#include "plugins/qmb_plugin.h"

namespace qmb {

class ControlInterface;

class PluginHost {
 public:
  // Create it on the user-interface (Qt main) thread; requests and commands
  // run there. `command` runs a menu command and answers whether the id has
  // an operation.
  PluginHost(ControlInterface& control, std::function<bool(int id)> command);
  PluginHost(const PluginHost&) = delete;
  PluginHost& operator=(const PluginHost&) = delete;

  // What plug-ins receive as the main window.
  QmbHost* Host() { return &bridge_.host; }

  // send(host, QMB_WM_USER, request, lParam): the request's result;
  // send(host, QMB_WM_COMMAND, id, 0): 1 when the command ran, 0 when the id
  // has no operation. A sender on another thread waits until the
  // user-interface thread has run it. Other messages answer 0.
  static intptr_t Send(QmbHost* host, uint32_t message, uintptr_t wParam, intptr_t lParam);

 private:
  // The host first, so a QmbHost* leads back to its PluginHost.
  struct Bridge {
    QmbHost host;
    PluginHost* owner;
  };

  // Runs `work` on the user-interface thread and answers its result.
  intptr_t OnInterfaceThread(const std::function<intptr_t()>& work);

  Bridge bridge_;
  ControlInterface& control_;
  std::function<bool(int)> command_;
  // Lives on the user-interface thread; queued requests run in its context.
  QObject context_;
};

}  // namespace qmb

// Process entry: the whole command line and the program folder go to start-up.
#include <QApplication>

#include "app/exit_signals.h"
#include "app/startup.h"
#include "core/command_line.h"
#include "ui/qt_desktop.h"

int main(int argc, char** argv) {
  qmb::InstallExitSignals();
  // The visualization repaints a small area every 30 ms. On X, a shared-memory
  // image's completion event wakes two threads more per frame than a plain
  // image request, which for so small an area is the cheaper path. A value
  // the user set wins.
  if (!qEnvironmentVariableIsSet("QT_XCB_NO_MITSHM")) qputenv("QT_XCB_NO_MITSHM", "1");
  QApplication application(argc, argv);
  QApplication::setApplicationName("Qumble Player");
  QApplication::setQuitOnLastWindowClosed(false);
  qmb::QtDesktop desktop;
  qmb::SetDesktop(&desktop);
  // Start-up reads the command line again as one text, the way it was typed.
  std::string commandLine = qmb::JoinCommandLine(argc, argv);
  return qmb::RunPlayer(commandLine, qmb::ProgramFolder());
}

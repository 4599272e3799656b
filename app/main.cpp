// Process entry: the whole command line and the program folder go to start-up.
#include <QApplication>

#include "app/exit_signals.h"
#include "app/startup.h"
#include "core/command_line.h"
#include "ui/qt_desktop.h"

int main(int argc, char** argv) {
  qmb::InstallExitSignals();
  QApplication application(argc, argv);
  QApplication::setApplicationName("Qumble Player");
  QApplication::setQuitOnLastWindowClosed(false);
  qmb::QtDesktop desktop;
  qmb::SetDesktop(&desktop);
  // Start-up reads the command line again as one text, the way it was typed.
  std::string commandLine = qmb::JoinCommandLine(argc, argv);
  return qmb::RunPlayer(commandLine, qmb::ProgramFolder());
}

#include "ui/start_up.h"

#include <QApplication>
#include <iostream>

#include "app/cli_face.h"
#include "app/cli_host.h"
#include "app/command_line.h"
#include "platform/terminal.h"
#include "ui/display.h"
#include "ui/main_dialog.h"
#include "ui/progress_window_host.h"
#include "ui/resources.h"

namespace korvelo {
namespace {

QtMessageHandler g_qt_default_handler = nullptr;

// A successful command-line run prints nothing: Qt's notes about the
// platform ("does not support raise()") are dropped, its errors kept.
void KeepQtErrorsOnly(QtMsgType type, const QMessageLogContext& context,
                      const QString& message) {
  if (type == QtCriticalMsg || type == QtFatalMsg) {
    g_qt_default_handler(type, context, message);
  }
}

}  // namespace

int StartWindow(int& argc, char** argv, ConversionSettings& settings,
                QSettings& store) {
  if (!DisplayAvailable()) {
    std::cerr << "korvelo: no display available for the main window; "
                 "convert from the command line:\n"
              << UsageText() << '\n';
    return kNoWindowStatus;
  }
  QApplication application(argc, argv);
  QApplication::setWindowIcon(ProgramIcon());
  MainDialog window(settings, store);
  window.exec();
  return 0;
}

int StartCommandLine(int& argc, char** argv, const ParsedArguments& command,
                     ConversionSettings& settings) {
  const bool out_is_terminal = IsTerminal(stdout);
  if (command.request == CommandRequest::kConvert &&
      VisibleDisplayAvailable()) {
    g_qt_default_handler = qInstallMessageHandler(KeepQtErrorsOnly);
    QApplication application(argc, argv);
    QApplication::setWindowIcon(ProgramIcon());
    ProgressWindowHost host;
    return RunCommandLine(command, settings, host, std::cout, std::cerr,
                          out_is_terminal);
  }
  CliHost host(IsTerminal(stderr) ? stderr : nullptr);
  return RunCommandLine(command, settings, host, std::cout, std::cerr,
                        out_is_terminal);
}

}  // namespace korvelo

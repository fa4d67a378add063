// Start-up: settings loaded first, then the window, the usage text or one
// command-line conversion, settings saved last in every case.
#include <unistd.h>

#include <QSettings>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "app/cli_face.h"
#include "app/cli_host.h"
#include "app/command_line.h"
#include "platform/signal_cleanup.h"
#include "ui/settings_store.h"

namespace {

bool IsSet(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr && *value != '\0';
}

// An X or Wayland display, or Qt's offscreen platform.
bool DisplayAvailable() {
  const char* platform = std::getenv("QT_QPA_PLATFORM");
  return IsSet("DISPLAY") || IsSet("WAYLAND_DISPLAY") ||
         (platform != nullptr &&
          std::string_view(platform).starts_with("offscreen"));
}

// Without arguments the program shows its main window.
int ShowMainWindow() {
  if (DisplayAvailable()) {
    std::cerr << "korvelo: this build has no main window yet; "
                 "convert from the command line:\n";
  } else {
    std::cerr << "korvelo: no display available for the main window; "
                 "convert from the command line:\n";
  }
  std::cerr << korvelo::UsageText() << '\n';
  return korvelo::kNoWindowStatus;
}

}  // namespace

int main(int argc, char** argv) {
  korvelo::InstallSignalCleanup();
  korvelo::ConversionSettings settings;
  const std::unique_ptr<QSettings> store = korvelo::OpenUserSettings();
  korvelo::LoadSettings(settings, *store);

  const std::vector<std::string> args(argv + 1, argv + argc);
  int status = 0;
  if (args.empty()) {
    status = ShowMainWindow();
  } else {
    korvelo::CliHost host(isatty(STDERR_FILENO) ? stderr : nullptr);
    status = korvelo::RunCommandLine(args, settings, host, std::cout, std::cerr,
                                     isatty(STDOUT_FILENO) != 0);
  }
  std::cout.flush();
  korvelo::SaveSettings(settings, *store);
  return status;
}

// Start-up: settings loaded first, then the window or the command line,
// settings saved last in every case.
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "platform/signal_cleanup.h"
#include "ui/settings_store.h"
#include "ui/start_up.h"

int main(int argc, char** argv) {
  korvelo::InstallSignalCleanup();
  korvelo::ConversionSettings settings;
  const std::unique_ptr<QSettings> store = korvelo::OpenUserSettings();
  korvelo::LoadSettings(settings, *store);

  const korvelo::ParsedArguments command =
      korvelo::ParseArguments(std::vector<std::string>(argv + 1, argv + argc));
  const int status =
      command.request == korvelo::CommandRequest::kWindow
          ? korvelo::StartWindow(argc, argv, settings, *store)
          : korvelo::StartCommandLine(argc, argv, command, settings);
  std::cout.flush();
  korvelo::SaveSettings(settings, *store);
  return status;
}

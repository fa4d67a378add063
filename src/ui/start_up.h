// Start-up of the two faces: the main window, or a command-line conversion
// (with a progress window when a display is there).
#ifndef KORVELO_UI_START_UP_H_
#define KORVELO_UI_START_UP_H_

#include <QSettings>

#include "app/command_line.h"
#include "output/conversion_settings.h"

namespace korvelo {

// Shows the main window modally until it is closed; status 0. Without a
// display: the reason and the usage text on standard error, status 2.
// `argc` and `argv` go to QApplication.
int StartWindow(int& argc, char** argv, ConversionSettings& settings,
                QSettings& store);

// A parsed command line that asks for no window (RunCommandLine says what
// each request does). A conversion shows its progress window when a display
// someone can see is there; everything else is the terminal face alone,
// without any QApplication.
int StartCommandLine(int& argc, char** argv, const ParsedArguments& command,
                     ConversionSettings& settings);

}  // namespace korvelo

#endif  // KORVELO_UI_START_UP_H_

// The command-line face: one conversion, the version, or the usage text,
// reported on the terminal with an exit status.
#ifndef KORVELO_APP_CLI_FACE_H_
#define KORVELO_APP_CLI_FACE_H_

#include <ostream>
#include <string>

#include "app/command_line.h"
#include "app/run_host.h"
#include "output/conversion_settings.h"

namespace korvelo {

// Exit statuses of the command line.
inline constexpr int kStatusOk = 0;        // converted, or asked for help
inline constexpr int kStatusFailed = 1;    // file error, memory, no input
inline constexpr int kStatusUsage = 2;     // no option; no window possible
inline constexpr int kStatusNoCaches = 3;  // inputs held no cache
// The exit status when the window is asked for but cannot be shown.
inline constexpr int kNoWindowStatus = kStatusUsage;

// What "--version" prints, line end included.
std::string VersionLine();

// For a parsed command line (ParseArguments):
// - kVersion: VersionLine() on `out`, 0. kHelp: the usage text on `out`
//   (with a line end only when `out_is_terminal`), 0.
// - kUsage (and kWindow, which no command line asks of this face): the
//   usage text and a line end on `err`, 2.
// - kConvert: one run of the inputs (CommandLineInputs) with the option's
//   FileFunction through `host`: 0 and nothing printed when it wrote its
//   KML; 3 and "korvelo: no caches found in PATH; nothing written." on
//   `err` when nothing was loaded; 1 after a file error (its German text on
//   `err`, then "korvelo: PATH: " and the system's reason when the error
//   has an OS error code) or memory exhaustion ("Nicht genügend Speicher.").
// "--kmz" beside the option writes that run's map as .kmz. Never changes
// `settings`' stored values itself.
int RunCommandLine(const ParsedArguments& command, ConversionSettings& settings,
                   RunHost& host, std::ostream& out, std::ostream& err,
                   bool out_is_terminal = false);

}  // namespace korvelo

#endif  // KORVELO_APP_CLI_FACE_H_

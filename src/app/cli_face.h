// The command-line face: one conversion, or the usage text, reported on the
// terminal with an exit status.
#ifndef KORVELO_APP_CLI_FACE_H_
#define KORVELO_APP_CLI_FACE_H_

#include <ostream>
#include <string>
#include <vector>

#include "app/run_host.h"
#include "output/conversion_settings.h"

namespace korvelo {

// For a non-empty argument list (program name excluded). Without an option:
// the usage text on `out` (with a line end only when `out_is_terminal`),
// status 0. With one: a run of the
// full path with that FileFunction through `host`; status 0 when it ended
// normally (also without any cache), 1 after a file error (its German text,
// naming the file, on `err`) or memory exhaustion ("Nicht genügend
// Speicher." on `err`). Never changes `settings`' stored values itself.
int RunCommandLine(const std::vector<std::string>& args,
                   ConversionSettings& settings, RunHost& host,
                   std::ostream& out, std::ostream& err,
                   bool out_is_terminal = false);

// The exit status when the window is asked for but cannot be shown.
inline constexpr int kNoWindowStatus = 2;

}  // namespace korvelo

#endif  // KORVELO_APP_CLI_FACE_H_

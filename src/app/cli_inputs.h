// Which inputs a command-line conversion reads: the joined file name, or the
// separate names when the shell expanded a pattern into several files.
#ifndef KORVELO_APP_CLI_INPUTS_H_
#define KORVELO_APP_CLI_INPUTS_H_

#include <string>
#include <vector>

#include "app/command_line.h"

namespace korvelo {

// The paths of one run. The joined file name when it exists (full path),
// the empty name as it is (the run then loads nothing); otherwise, when
// every separate name exists, their full paths sorted by bytes (stable), as
// the window sorts a drop, so `korvelo /all *.gpx` is one run named after
// the first. Throws FileError (file not found, ENOENT) naming the first
// separate name that does not exist, or the joined name when none exists.
std::vector<std::string> CommandLineInputs(const ParsedArguments& parsed);

}  // namespace korvelo

#endif  // KORVELO_APP_CLI_INPUTS_H_

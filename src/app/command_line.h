// The command line: options, the file name and the usage text.
#ifndef KORVELO_APP_COMMAND_LINE_H_
#define KORVELO_APP_COMMAND_LINE_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace korvelo {

// What a command line asks for.
enum class CommandRequest {
  kWindow,   // no arguments: the main window
  kVersion,  // "--version" alone
  kHelp,     // "--help" or "-h" alone
  kUsage,    // arguments, but none of the five options
  kConvert,  // one of the five options: a conversion
};

// A command line taken apart once, at start-up; every later step reads it.
struct ParsedArguments {
  CommandRequest request = CommandRequest::kWindow;
  int32_t function = 0;   // FileFunction of the option that counts, 1-5
  bool gpx = false;       // "--gpx": this run also writes the GPX
  std::string file_name;  // the other arguments, cleaned; case kept
  std::vector<std::string> names;  // the other arguments, each as given
  bool kmz = false;                // "--kmz": this run writes the map as .kmz
};

// Arguments as the shell split them, program name excluded, and what they
// ask for (`request`). An argument that
// equals "/all", "/found", "/mine", "/disabled" or "/marked" (or "--all" ...
// "--marked"), in any letter case, is an option; of several, the later one
// in that order counts. "--gpx" (any letter case) asks for the GPX for
// devices in this run. The other arguments, joined by one blank, are the
// file name, with blanks and one double quote removed at each end.
// "--kmz" (any letter case) is no option and no part of the name: it sets
// `kmz`.
ParsedArguments ParseArguments(const std::vector<std::string>& args);

// The file name as the run gets it: one trailing "/" removed, then
// the absolute, lexically normalised path when such a file or folder exists,
// else the name as written.
std::string FullPathOf(std::string file_name);

// The usage text: lines separated by LF, no LF after the last.
std::string_view UsageText();

}  // namespace korvelo

#endif  // KORVELO_APP_COMMAND_LINE_H_

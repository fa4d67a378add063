#include "app/cli_face.h"

#include <new>

#include "app/command_line.h"
#include "app/conversion_run.h"
#include "platform/file_error.h"

namespace korvelo {

int RunCommandLine(const std::vector<std::string>& args,
                   ConversionSettings& settings, RunHost& host,
                   std::ostream& out, std::ostream& err, bool out_is_terminal) {
  const ParsedArguments parsed = ParseArguments(args);
  if (!parsed.has_option) {
    // The text itself ends without a line end; on a terminal one is added so
    // that the prompt does not land on the example line.
    out << UsageText();
    if (out_is_terminal) out << '\n';
    return 0;
  }
  // The one place where a command-line run's failures are caught.
  try {
    ConversionRun({FullPathOf(parsed.file_name)}, parsed.function, settings,
                  host);
  } catch (const FileError& error) {
    err << FileErrorText(error) << '\n';
    return 1;
  } catch (const std::bad_alloc&) {
    err << "Nicht genügend Speicher.\n";
    return 1;
  }
  return 0;
}

}  // namespace korvelo

#include "app/cli_face.h"

#include <cstring>
#include <new>

#include "app/cli_inputs.h"
#include "app/command_line.h"
#include "app/conversion_run.h"
#include "app/terminal_text.h"
#include "platform/file_error.h"

#ifndef KORVELO_VERSION
#error "the version comes from the build (KORVELO_VERSION)"
#endif

namespace korvelo {
namespace {

// The German text stays the message users know; the second line gives the
// system's own reason, which tells "permission denied" from "read-only file
// system" where the German text cannot. Names keep no control bytes.
void ReportFileError(const FileError& error, std::ostream& err) {
  err << TerminalSafe(FileErrorText(error)) << '\n';
  if (error.os_error() == 0) return;
  err << "korvelo: ";
  if (!error.path().empty()) err << TerminalSafe(error.path()) << ": ";
  err << std::strerror(error.os_error()) << '\n';
}

// The inputs as one text: an empty name shown as "", several joined by ", ".
std::string InputsText(const std::vector<std::string>& paths) {
  std::string text;
  for (const std::string& path : paths) {
    if (!text.empty()) text += ", ";
    text += path;
  }
  return text.empty() ? "\"\"" : text;
}

// Sets the output flags the command line asks for (--kmz, --gpx) for one
// run and puts the stored values back afterwards, also when the run ends
// with an error.
class OneRunOutputs {
 public:
  OneRunOutputs(ConversionSettings& settings, const ParsedArguments& parsed)
      : settings_(settings),
        stored_kmz_(settings.bOutputKmz),
        stored_gpx_(settings.bOutputGpx) {
    if (parsed.kmz) settings.bOutputKmz = true;
    if (parsed.gpx) settings.bOutputGpx = true;
  }
  ~OneRunOutputs() {
    settings_.bOutputKmz = stored_kmz_;
    settings_.bOutputGpx = stored_gpx_;
  }
  OneRunOutputs(const OneRunOutputs&) = delete;
  OneRunOutputs& operator=(const OneRunOutputs&) = delete;

 private:
  ConversionSettings& settings_;
  bool stored_kmz_;
  bool stored_gpx_;
};

int Convert(const ParsedArguments& parsed, ConversionSettings& settings,
            RunHost& host, std::ostream& err) {
  const std::vector<std::string> paths = CommandLineInputs(parsed);
  bool converted = false;
  {
    const OneRunOutputs outputs(settings, parsed);
    converted = ConversionRun(paths, parsed.function, settings, host);
  }
  if (converted) return kStatusOk;
  err << "korvelo: no caches found in " << TerminalSafe(InputsText(paths))
      << "; nothing written.\n";
  return kStatusNoCaches;
}

}  // namespace

std::string VersionLine() { return "Korvelo " KORVELO_VERSION "\n"; }

int RunCommandLine(const ParsedArguments& command, ConversionSettings& settings,
                   RunHost& host, std::ostream& out, std::ostream& err,
                   bool out_is_terminal) {
  if (command.request == CommandRequest::kVersion) {
    out << VersionLine();
    return kStatusOk;
  }
  if (command.request == CommandRequest::kHelp) {
    // The text itself ends without a line end; on a terminal one is added so
    // that the prompt does not land on the example line.
    out << UsageText();
    if (out_is_terminal) out << '\n';
    return kStatusOk;
  }
  if (command.request != CommandRequest::kConvert) {
    err << UsageText() << '\n';
    return kStatusUsage;
  }
  // The one place where a command-line run's failures are caught.
  try {
    return Convert(command, settings, host, err);
  } catch (const FileError& error) {
    ReportFileError(error, err);
  } catch (const std::bad_alloc&) {
    err << "Nicht genügend Speicher.\n";
  }
  return kStatusFailed;
}

}  // namespace korvelo

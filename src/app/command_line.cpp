#include "app/command_line.h"

#include <algorithm>
#include <string_view>

#include "input/text.h"
#include "platform/absolute_path.h"
#include "platform/file_error.h"

namespace korvelo {
namespace {

struct Option {
  std::string_view word;  // without its leading "/" or "--"
  int32_t function;
};

// In this order: a later option overrides an earlier one.
constexpr Option kOptions[] = {
    {"all", 1}, {"found", 2}, {"mine", 3}, {"disabled", 4}, {"marked", 5}};

// The FileFunction of an option argument, 0 for any other argument.
int32_t OptionFunction(std::string_view arg) {
  std::string_view word;
  if (arg.starts_with("--")) {
    word = arg.substr(2);
  } else if (arg.starts_with("/")) {
    word = arg.substr(1);
  } else {
    return 0;
  }
  for (const Option& option : kOptions) {
    if (EqualsIgnoringAsciiCase(word, option.word)) return option.function;
  }
  return 0;
}

// White space off both ends, then one double quote off each end, then white
// space again.
std::string CleanFileName(std::string_view name) {
  name = Trim(name);
  if (name.starts_with('"')) name.remove_prefix(1);
  if (name.ends_with('"')) name.remove_suffix(1);
  return std::string(Trim(name));
}

// What arguments without any of the five options ask for.
CommandRequest RequestWithoutOption(const std::vector<std::string>& args) {
  if (args.size() == 1 && args.front() == "--version") {
    return CommandRequest::kVersion;
  }
  if (args.size() == 1 && (args.front() == "--help" || args.front() == "-h")) {
    return CommandRequest::kHelp;
  }
  return CommandRequest::kUsage;
}

}  // namespace

ParsedArguments ParseArguments(const std::vector<std::string>& args) {
  ParsedArguments parsed;
  std::string joined;
  bool first_word = true;
  for (const std::string& arg : args) {
    if (EqualsIgnoringAsciiCase(arg, "--kmz")) {
      parsed.kmz = true;
      continue;
    }
    const int32_t function = OptionFunction(arg);
    if (function != 0) {
      parsed.request = CommandRequest::kConvert;
      parsed.function = std::max(parsed.function, function);
      continue;
    }
    if (EqualsIgnoringAsciiCase(arg, "--gpx")) {
      parsed.gpx = true;
      continue;
    }
    if (!first_word) joined += ' ';
    joined += arg;
    parsed.names.push_back(arg);
    first_word = false;
  }
  parsed.file_name = CleanFileName(joined);
  if (parsed.request != CommandRequest::kConvert && !args.empty()) {
    parsed.request = RequestWithoutOption(args);
  }
  return parsed;
}

std::string FullPathOf(std::string file_name) {
  if (file_name.size() > 1 && file_name.ends_with('/')) file_name.pop_back();
  if (file_name.empty() || !PathExists(file_name)) return file_name;
  return AbsolutePath(file_name);
}

std::string_view UsageText() {
  return "To use command-line options, supply one of the following parameters "
         "and a filename\n"
         "/all\tParse as complete file\n"
         "/found\tParse as my finds\n"
         "/mine\tParse as my own\n"
         "/disabled\tParse as tempoarily disabled\n"
         "/marked\tParse as marked file\n"
         "\n"
         "Example:\n"
         "Korvelo.exe /found \"c:\\gpx files\\123456.gpx\"";
}

}  // namespace korvelo

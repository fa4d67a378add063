// The command line in-process: options and file name, the inputs they name,
// a command-line run that runs out of memory, and names made safe for the
// terminal's progress lines (the program tests run one through a terminal).
#include "app/command_line.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <new>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "app/cli_face.h"
#include "app/cli_inputs.h"
#include "app/run_fixtures.h"
#include "app/terminal_text.h"
#include "platform/absolute_path.h"
#include "platform/file_error.h"

namespace korvelo::testing {
namespace {

// Options after "/" or "--" in any letter case, anywhere; the highest
// function given wins. Function 0 means no conversion. "--gpx" and "--kmz"
// are taken in any case, only in that form, and are neither an option nor
// part of the name.
TEST(ParseArguments, FindsOptionsFlagsAndTheFileName) {
  const struct {
    std::vector<std::string> args;
    int32_t function;
    std::string file_name;
    bool gpx, kmz;
  } rows[] = {{{"--Mine", "My.GPX"}, 3, "My.GPX", false, false},
              {{"x.gpx", "/marked", "/found"}, 5, "x.gpx", false, false},
              {{"/allx", "-all", "all", "//all"},
               0,
               "/allx -all all //all",
               false,
               false},
              {{"/found", "  \" a\"b.gpx \"  "}, 2, "a\"b.gpx", false, false},
              {{"/found", "\t", ""}, 2, "", false, false},
              {{"--GPX", "/all", "a.gpx"}, 1, "a.gpx", true, false},
              {{"/gpx", "-gpx", "--gpx"}, 0, "/gpx -gpx", true, false},
              {{"/all", "a", "--KMZ", "b.gpx"}, 1, "a b.gpx", false, true},
              {{"--kmz", "a.gpx"}, 0, "a.gpx", false, true},
              {{"/all", "/kmz", "-kmz"}, 1, "/kmz -kmz", false, false}};
  for (const auto& row : rows) {
    SCOPED_TRACE(::testing::PrintToString(row.args));
    const ParsedArguments parsed = ParseArguments(row.args);
    EXPECT_EQ(parsed.request == CommandRequest::kConvert ? parsed.function : 0,
              row.function);
    EXPECT_EQ(parsed.file_name, row.file_name);
    EXPECT_EQ(parsed.gpx, row.gpx);
    EXPECT_EQ(parsed.kmz, row.kmz);
  }
}

// The version and the help only as the one argument, as written; an option
// anywhere makes a conversion.
TEST(ParseArguments, TellsWhatTheCommandLineAsksFor) {
  using enum CommandRequest;
  const std::pair<std::vector<std::string>, CommandRequest> rows[] = {
      {{}, kWindow},
      {{"--version"}, kVersion},
      {{"--Version"}, kUsage},
      {{"--help"}, kHelp},
      {{"-h"}, kHelp},
      {{"--help", "-h"}, kUsage},
      {{"-h", "/all"}, kConvert},
      {{"--version", "--mine"}, kConvert},
      {{"a.gpx", "--kmz"}, kUsage},
      {{""}, kUsage},
      {{"a.gpx", "/DISABLED"}, kConvert}};
  for (const auto& [args, request] : rows) {
    EXPECT_EQ(ParseArguments(args).request, request)
        << ::testing::PrintToString(args);
  }
}

// Arguments after the options, and the inputs of the run (full paths,
// normalised lexically, a link kept) or the name the file-not-found error
// gives ("!" in front).
TEST(CommandLineInputs, TakeTheJoinedNameOrEverySeparateOne) {
  TempDir dir;
  for (const char* name : {"a b.gpx", "b.gpx", "a", "B.gpx", "pq/1.gpx"})
    WriteFileOrFail(dir / name, "");
  std::filesystem::create_symlink(dir / "pq", dir / "link");
  const std::string root = AbsolutePath(dir.path()) + "/";
  const std::pair<std::vector<std::string>, std::vector<std::string>> rows[] = {
      {{"a", "b.gpx"}, {"a b.gpx"}},
      {{"b.gpx", "a", "B.gpx", "b.gpx"}, {"B.gpx", "a", "b.gpx", "b.gpx"}},
      {{}, {""}},
      {{"b.gpx", "c.gpx", "d.gpx"}, {"!c.gpx"}},
      {{"c.gpx", "d.gpx"}, {"!c.gpx d.gpx"}},
      {{"link/1.gpx"}, {"link/1.gpx"}},
      {{"/.." + root + "/pq/./1.gpx"}, {"pq/1.gpx"}},
      {{"pq/"}, {"pq"}},
      {{"/"}, {"/"}}};
  const std::filesystem::path previous = std::filesystem::current_path();
  std::filesystem::current_path(dir.path());
  for (const auto& [names, expected] : rows) {
    std::vector<std::string> args = {"/all"};
    args.insert(args.end(), names.begin(), names.end());
    std::vector<std::string> got;
    try {
      for (const std::string& path : CommandLineInputs(ParseArguments(args)))
        got.push_back(path.starts_with(root) ? path.substr(root.size()) : path);
    } catch (const FileError& error) {
      EXPECT_EQ(error.cause(), FileCause::kFileNotFound);
      got = {"!" + error.path()};
    }
    EXPECT_EQ(got, expected) << ::testing::PrintToString(names);
  }
  std::filesystem::current_path(previous);
}

TEST(RunCommandLine, MemoryExhaustionGivesItsTextAndStatusOne) {
  ConversionSettings settings;
  RecordingHost host;
  host.controls = [](ConversionSettings&) { throw std::bad_alloc(); };
  TempDir dir;
  WriteFileOrFail(dir / "x.gpx", PocketQuery(1, 1));
  std::ostringstream out, err;
  EXPECT_EQ(RunCommandLine(ParseArguments({"/all", dir / "x.gpx"}), settings,
                           host, out, err),
            1);
  EXPECT_EQ(out.str() + "|" + err.str(), "|Nicht gen\xC3\xBCgend Speicher.\n");
  EXPECT_EQ(host.events.back(), "[close]");
}

TEST(TerminalSafe, EscapesControlBytesAndBrokenUtf8Only) {
  const std::pair<std::string, std::string> rows[] = {
      {"a\x1b[2Jb\r\n\t\x7f", "a\\x1B[2Jb\\x0D\\x0A\\x09\\x7F"},
      {"\xC3\xBC \xE2\x82\xAC \xF0\x9F\x98\x80",
       "\xC3\xBC \xE2\x82\xAC \xF0\x9F\x98\x80"},
      {"\xC2\x9B"
       "2J \x9B \xFC \xC3",
       "\\xC2\\x9B2J \\x9B \\xFC \\xC3"},
      // Overlong, a surrogate, above U+10FFFF.
      {"\xE0\x80\xAF \xED\xA0\x80 \xF4\x90\x80\x80",
       "\\xE0\\x80\\xAF \\xED\\xA0\\x80 \\xF4\\x90\\x80\\x80"}};
  for (const auto& [text, safe] : rows) EXPECT_EQ(TerminalSafe(text), safe);
}

}  // namespace
}  // namespace korvelo::testing

// The real korvelo program, started through the shell as a user starts it:
// exit statuses, what it prints, the files it writes, the settings it keeps.
#include <gtest/gtest.h>

#include <filesystem>
#include <iterator>
#include <map>
#include <sstream>
#include <string>
#include <tuple>

#include "app/program_run.h"
#include "app/run_fixtures.h"
#include "support/test_support.h"

namespace korvelo::testing {
namespace {

namespace fs = std::filesystem;

using Settings = std::map<std::string, std::string>;

// The values of "name=value" lines, quotes around a value removed.
Settings ParseIni(const std::string& text) {
  Settings values;
  std::istringstream lines(text);
  for (std::string line; std::getline(lines, line);) {
    const size_t equals = line.find('=');
    std::string value = line.substr(equals + 1);
    if (value.starts_with('"')) value = value.substr(1, value.size() - 2);
    if (equals != std::string::npos) values[line.substr(0, equals)] = value;
  }
  return values;
}

using KorveloProgram = ProgramRun;

// On a pipe exactly as written: no line end after the example line.
const std::string kUsage =
    "To use command-line options, supply one of the following parameters and "
    "a filename\n/all\tParse as complete file\n/found\tParse as my finds\n"
    "/mine\tParse as my own\n/disabled\tParse as tempoarily disabled\n"
    "/marked\tParse as marked file\n\nExample:\n"
    "Korvelo.exe /found \"c:\\gpx files\\123456.gpx\"";

// Each way the program ends, and the sixteen settings it writes at the end:
// those it loaded, the others as flags and numbers 0 and texts empty. With
// `every`, each stage runs and finds nothing to read or writes into ".".
// Status 0 is silent, 1 gives the German text and the system's reason, 2 the
// usage on stderr, 3 one line saying nothing was written. No run but the
// last two conversions writes or changes a file (the KML fails first here).
TEST_F(KorveloProgram, EndsWithItsStatusAndWritesTheSettingsItLoaded) {
  const std::string every =
      "Mode=4\nbSmallIcons=1\nbShowDisable=1\nbExclude=1\nExcludeDir=ex\n"
      "bExcludePeople=1\nExcludePeopleFile=p.txt\nbMoveCaches=1\n"
      "MoveCachesFile=m.txt\nbOutputKml=1\nOutputKmlDir=.\n"
      "OutputKmlDirFileMode=2\nbOutputAsc=1\nOutputAscDir=.\nbOutputTxt=1\n"
      "OutputTxtDir=.\n";
  Settings none = ParseIni(every);
  for (auto& [name, value] : none)
    value = name[0] == 'b' || name.ends_with("Mode") ? "0" : "";
  const std::string invalid = "Eine ung\xC3\xBCltige Dateikennung war mit ";
  const std::string none_in = "korvelo: no caches found in ";
  const std::tuple<std::string, std::string, int, std::string, std::string>
      rows[] = {
          {"--version", "", 0, "Korvelo 1.11\n", ""},
          {"--help", "", 0, kUsage, ""},
          {"-h", "", 0, kUsage, ""},
          {"x.gpx", "", 2, "", kUsage + "\n"},
          {"--version x.gpx", "", 2, "", kUsage + "\n"},
          {"/all", "", 3, "", none_in + "\"\"; nothing written.\n"},
          {"/all empty", "", 3, "", none_in + "@/empty; nothing written.\n"},
          {"/all nope.gpx", "", 1, "",
           "nope.gpx wurde nicht gefunden.\nkorvelo: nope.gpx: No such file "
           "or directory\n"},
          {"/found 12345.gpx",
           "bOutputKml=1\nOutputKmlDir=gone\nbOutputAsc=1\n", 1, "",
           invalid + "gone/12345.kml verbunden.\nkorvelo: gone/12345.kml: " +
               "No such file or directory\n"},
          {"", "", 2, "", "\n" + kUsage + "\n"},  // no display, no window
          {"/mine 12345.gpx", every, 0, "", ""},
          {"/all 12345.gpx", "bExclude=1\nExcludeDir=12345.gpx\n", 0, "", ""}};
  WriteFileOrFail(work_ / "12345.gpx", PocketQuery(1, 2));
  WriteFileOrFail(work_ / "empty/e.gpx", "<gpx></gpx>");
  const auto tree = [this] {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(work_.path()))
      files[entry.path()] =
          entry.is_regular_file() ? ReadFileOrFail(entry.path()) : "/";
    return files;
  };
  const auto inputs = tree();
  for (const auto& [args, stored, status, out, err] : rows) {
    Store(stored);
    EXPECT_EQ(Run(args), status) << args;
    EXPECT_EQ(out_, out) << args;
    EXPECT_TRUE(status == 2 && args.empty()
                    ? err_.ends_with(err) &&
                          err_.starts_with("korvelo: no display")
                    : err_ == ReplaceAll(err, "@", work_.path()))
        << args << ": " << err_;
    Settings expected = none;
    for (const auto& [name, value] : ParseIni(stored)) expected[name] = value;
    EXPECT_EQ(ParseIni(ReadFileOrFail(conf())), expected) << args;
    if (status != 0 || !args.ends_with(".gpx")) {
      EXPECT_TRUE(tree() == inputs) << args;
    }
  }
}

// The exclusion "folder" is a single pocket query; a UTF-8 moves line with a
// comment moves a cache of renamed_waypoints.gpx to 48.20575 / 011.76130.
// The few corpus files that hold no cache end with status 3 and their line.
TEST_F(KorveloProgram, ConvertsEveryCorpusPocketQueryWithEveryStage) {
  KORVELO_REQUIRE_CORPUS();
  WriteFileOrFail(work_ / "owners.txt", "Groundspeak\n");
  WriteFileOrFail(work_ / "moves.txt",
                  "GC3FGVH;N48\xC2\xB0 12.345;E011\xC2\xB0 45.678 // x\n");
  WriteFileOrFail(work_ / "txt/.keep", "");
  Store("bOutputKml=1\nOutputKmlDir=.\nbExclude=1\nExcludeDir=\"" +
        CorpusPath("cgeo/gc31j2h.gpx") +
        "\"\nbExcludePeople=1\nExcludePeopleFile=owners.txt\nbMoveCaches=1\n"
        "MoveCachesFile=moves.txt\nbOutputAsc=1\nOutputAscDir=.\n"
        "bOutputTxt=1\nOutputTxtDir=txt\n");
  int converted = 0, empty = 0;
  for (const auto& entry : fs::recursive_directory_iterator(CorpusPath())) {
    const std::string path = entry.path().string();
    if (!path.ends_with(".gpx") && !path.ends_with(".zip")) continue;
    const int status = Run("/all " + Quote(path));
    if (status == 3) {
      EXPECT_EQ(out_ + err_, "korvelo: no caches found in " +
                                 entry.path().lexically_normal().string() +
                                 "; nothing written.\n");
      ++empty;
      continue;
    }
    EXPECT_EQ(status, 0) << path << "\n" << err_;
    EXPECT_EQ(out_ + err_, "") << path;
    ++converted;
  }
  EXPECT_GT(converted, 30);
  EXPECT_LT(empty, 5);
  EXPECT_NE(ReadFileOrFail(work_ / "renamed_waypoints.kml")
                .find("011.76130,48.20575"),
            std::string::npos);
  EXPECT_TRUE(FileExists(work_ / "renamed_waypoints_all_Multi.asc"));
  EXPECT_GT(std::distance(fs::directory_iterator(work_ / "txt"), {}), 1);
}

// Progress texts go to standard error only when that is a terminal, which
// turns each line end into CR LF; control bytes of a file name arrive
// escaped, so that a name cannot retitle or clear the terminal.
TEST_F(KorveloProgram, ShowsProgressOnATerminalWithNamesMadeSafe) {
  WriteFileOrFail(work_ / "x\x1b]0;owned\x07.gpx", PocketQuery(1, 2));
  const int status = Run("/all " + Quote("x\x1b]0;owned\x07.gpx"), "", true);
  if (status == 127) GTEST_SKIP() << "no script(1) here";
  EXPECT_EQ(status, 0);
  EXPECT_EQ(out_,
            "Loading caches...\r\nLoading x\\x1B]0;owned\\x07.gpx...\r\n"
            "Creating KML...\r\n");
}

}  // namespace
}  // namespace korvelo::testing

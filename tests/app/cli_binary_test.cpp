// The real korvelo program, started through the shell as a user starts it:
// exit statuses, what it prints, the files it writes, the settings it keeps.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <set>
#include <sstream>
#include <string>
#include <tuple>

#include "app/run_fixtures.h"

namespace korvelo::testing {
namespace {

namespace fs = std::filesystem;

// On a pipe exactly as written: no line end after the example line.
const std::string kUsage =
    "To use command-line options, supply one of the following parameters and "
    "a filename\n/all\tParse as complete file\n/found\tParse as my finds\n"
    "/mine\tParse as my own\n/disabled\tParse as tempoarily disabled\n"
    "/marked\tParse as marked file\n\nExample:\n"
    "Korvelo.exe /found \"c:\\gpx files\\123456.gpx\"";

// Each way the program ends: status 0 is silent, 1 gives the German text and
// the system's reason, 2 the usage on stderr, 3 one line saying nothing was
// written, and no file is made. Every run saves all nineteen settings, the
// loaded ones unchanged. With `every` each stage runs: the owners and moves
// files are missing, and the list the exclusions empty is still written.
TEST_F(ProgramRun, EndsWithItsStatusAndWritesTheSettingsItLoaded) {
  const std::string every =
      "Mode=4\nbSmallIcons=1\nbShowDisable=1\nbExclude=1\nExcludeDir=12345."
      "gpx\nbExcludePeople=1\nExcludePeopleFile=p.txt\nbMoveCaches=1\n"
      "MoveCachesFile=m.txt\nbOutputKml=1\nOutputKmlDir=.\n"
      "OutputKmlDirFileMode=2\nbOutputAsc=1\nOutputAscDir=.\nbOutputTxt=1\n"
      "OutputTxtDir=.\n";
  const std::tuple<std::string, std::string, int, std::string, std::string>
      rows[] = {
          {"--help", "", 0, kUsage, ""},
          {"x.gpx", "", 2, "", kUsage + "\n"},
          {"/all empty", "", 3, "",
           "korvelo: no caches found in @/empty; nothing written.\n"},
          {"/all nope.gpx", "", 1, "",
           "nope.gpx wurde nicht gefunden.\nkorvelo: nope.gpx: No such file "
           "or directory\n"},
          {"/found 12345.gpx",
           "bOutputKml=1\nOutputKmlDir=gone\nbOutputAsc=1\n", 1, "",
           "Eine ung\xC3\xBCltige Dateikennung war mit gone/12345.kml "
           "verbunden.\nkorvelo: gone/12345.kml: No such file or directory\n"},
          {"", "", 2, "", "\n" + kUsage + "\n"},  // no display, no window
          {"/mine 12345.gpx", every, 0, "", ""}};
  WriteFileOrFail(work_ / "12345.gpx", PocketQuery(1, 2));
  WriteFileOrFail(work_ / "empty/e.gpx", "<gpx></gpx>");
  const auto tree = [this] {  // every path below work_
    return std::set<fs::directory_entry>(
        fs::recursive_directory_iterator(work_.path()), {});
  };
  const auto inputs = tree();
  for (const auto& [args, stored, status, out, err] : rows) {
    Store(stored);
    EXPECT_EQ(Run(args), status) << args;
    EXPECT_EQ(out_, out) << args;
    EXPECT_TRUE(args.empty() ? err_.ends_with(err) &&
                                   err_.starts_with("korvelo: no display")
                             : err_ == ReplaceAll(err, "@", work_.path()))
        << args << ": " << err_;
    const std::string saved = ReadFileOrFail(conf());
    EXPECT_EQ(std::count(saved.begin(), saved.end(), '='), 19) << args;
    std::istringstream lines(stored);
    for (std::string line; std::getline(lines, line);)
      EXPECT_NE(saved.find(line + "\n"), std::string::npos) << args << line;
    if (status != 0 || !args.ends_with(".gpx")) {
      EXPECT_TRUE(tree() == inputs) << args;
    }
  }
  EXPECT_TRUE(FileExists(work_ / "12345.kml"));
}

// "--kmz" makes one run write the map as .kmz (and no .kml) and leaves the
// stored flag as it was; the stored flag does the same for every run.
TEST_F(ProgramRun, KmzOptionPacksOneRunAndTheSettingEveryRun) {
  WriteFileOrFail(work_ / "12345.gpx", PocketQuery(1, 2));
  const std::tuple<std::string, std::string, bool> rows[] = {
      {"/all --kmz 12345.gpx", "bOutputKmz=0\n", true},
      {"--KMZ /found 12345.gpx", "", true},
      {"/all 12345.gpx", "bOutputKmz=1\n", true},
      {"/all 12345.gpx", "bOutputKmz=0\n", false},
  };
  for (const auto& [args, stored, kmz] : rows) {
    fs::remove(work_ / "12345.kml");
    fs::remove(work_ / "12345.kmz");
    Store(stored);
    EXPECT_EQ(Run(args), 0) << args << err_;
    EXPECT_EQ(FileExists(work_ / "12345.kmz"), kmz) << args;
    EXPECT_EQ(FileExists(work_ / "12345.kml"), !kmz) << args;
    const std::string saved = ReadFileOrFail(conf());
    const std::string flag = stored.empty() ? "bOutputKmz=0\n" : stored;
    EXPECT_NE(saved.find(flag), std::string::npos) << args << saved;
  }
}

// "--gpx" writes the GPX for this run only: the stored flag stays clear. A
// folder run whose GPX would replace one of the folder's files fails with
// status 1 and the access-denied text, and the file stays.
TEST_F(ProgramRun, WritesTheGpxForOneRunAndNeverOverAnInput) {
  WriteFileOrFail(work_ / "12345.gpx", PocketQuery(1, 2));
  Store("bOutputGpx=0\n");
  EXPECT_EQ(Run("/found --GPX 12345.gpx"), 0) << err_;
  const std::string gpx = ReadFileOrFail(work_ / "12345_gps.gpx");
  EXPECT_NE(gpx.find("<name>GC2</name>"), std::string::npos);
  EXPECT_NE(ReadFileOrFail(conf()).find("bOutputGpx=0\n"), std::string::npos);
  EXPECT_EQ(Run("--gpx 12345.gpx"), 2);
  WriteFileOrFail(work_ / "pq/12345.gpx", PocketQuery(3, 1));
  WriteFileOrFail(work_ / "pq/12345_gps.gpx", gpx);
  EXPECT_EQ(Run("/all --gpx pq"), 1);
  EXPECT_EQ(err_,
            "Zugriff auf " + work_ / "pq/12345_gps.gpx" + " wurde verwehrt.\n");
  EXPECT_EQ(ReadFileOrFail(work_ / "pq/12345_gps.gpx"), gpx);
}

// Every stage on real data (the exclusion "folder" is a single pocket
// query); the few files that hold no cache end with status 3 and their line.
TEST_F(ProgramRun, ConvertsEveryCorpusPocketQueryWithEveryStage) {
  KORVELO_REQUIRE_CORPUS();
  WriteFileOrFail(work_ / "owners.txt", "Groundspeak\n");
  WriteFileOrFail(work_ / "moves.txt",
                  "GC3FGVH;N48\xC2\xB0 12.345;E011\xC2\xB0 45.678 // x\n");
  Store("bOutputKml=1\nOutputKmlDir=.\nbExclude=1\nExcludeDir=\"" +
        CorpusPath("cgeo/gc31j2h.gpx") +
        "\"\nbExcludePeople=1\nExcludePeopleFile=owners.txt\nbMoveCaches=1\n"
        "MoveCachesFile=moves.txt\nbOutputAsc=1\nOutputAscDir=.\n"
        "bOutputTxt=1\nOutputTxtDir=.\n");
  int files = 0, converted = 0;
  for (const fs::path& input : CorpusInputs()) {
    const std::string path = input.string();
    const int status = Run("/all " + ShellWord(path));
    const std::string none = "korvelo: no caches found in " +
                             input.lexically_normal().string() +
                             "; nothing written.\n";
    EXPECT_TRUE(status == 0 ? out_ + err_ == ""
                            : status == 3 && out_ + err_ == none)
        << path << ": " << status << " " << err_;
    ++files;
    converted += status == 0 ? 1 : 0;
  }
  EXPECT_GT(converted, std::max(30, files - 5));
}

// Progress texts go to standard error only when that is a terminal, which
// turns each line end into CR LF; control bytes of a file name arrive
// escaped, so that a name cannot retitle or clear the terminal. Qt's
// offscreen and minimal platforms show nothing, so a conversion there
// reports on the terminal like one without a display, and no QApplication
// leaves its runtime folder in TMPDIR.
TEST_F(ProgramRun, ShowsProgressOnATerminalWithoutADisplayAndNamesMadeSafe) {
  const struct {
    std::string name, platform, shown;
  } rows[] = {{"x\x1b]0;owned\x07.gpx", "", "x\\x1B]0;owned\\x07.gpx"},
              {"pq.gpx", "offscreen", "pq.gpx"},
              {"pq.gpx", "minimal", "pq.gpx"}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.platform);
    WriteFileOrFail(work_ / row.name, PocketQuery(1, 2));
    if (!row.platform.empty())
      env_ = "-u XDG_RUNTIME_DIR QT_QPA_PLATFORM=" + row.platform;
    const int status = Run("/all " + ShellWord(row.name), "", true);
    if (status == 127) GTEST_SKIP() << "no script(1) here";
    EXPECT_EQ(status, 0);
    EXPECT_EQ(out_, "Loading caches...\r\nLoading " + row.shown +
                        "...\r\nCreating KML...\r\n");
    EXPECT_EQ(Names(tmp_.path()), std::vector<std::string>());
  }
}

}  // namespace
}  // namespace korvelo::testing

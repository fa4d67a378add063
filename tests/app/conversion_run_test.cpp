// ConversionRun in-process with a recording host: the steps it shows, what
// it counts and where its outputs go; the GPX for devices among the output
// stages, what it holds after the list stages, and the refusal to replace an
// input.
#include "app/conversion_run.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "app/output_paths.h"
#include "app/run_fixtures.h"
#include "app/run_inputs.h"
#include "output/file_function.h"

namespace korvelo::testing {
namespace {

using Texts = std::vector<std::string>;

// The window's controls, read before any setting is used, switch on all but
// the exclusion stage. Of GC1 ... GC7, GC1 and GC2 belong to a listed owner,
// GC7 is excluded (as is GC8, never loaded) and GC3 moves: 4 left + 2 make 6.
TEST(ConversionRun, RunWithEveryStageShowsEveryStepAndCountsRight) {
  TempDir dir;
  WriteFileOrFail(dir / "in/12345.gpx", PocketQuery(3, 5));
  WriteFileOrFail(dir / "in/spam.gpx", PocketQuery(1, 2, "Spam"));
  WriteFileOrFail(dir / "owners.txt", "nobody\r\nSPAM\r\n");
  WriteFileOrFail(dir / "moves.txt", "GC3;N50\xB0 12.345;E008\xB0 45.678\r\n");
  WriteFileOrFail(dir / "out/.keep", "");
  WriteFileOrFail(dir / "exclude/x.gpx", PocketQuery(7, 2));
  ConversionSettings settings;
  settings.bExclude = true;
  settings.ExcludeDir = dir / "exclude";
  RecordingHost host;
  host.controls = [&dir](ConversionSettings& s) {
    s.bExcludePeople = s.bMoveCaches = s.bOutputAsc = s.bOutputTxt = true;
    s.ExcludePeopleFile = dir / "owners.txt";
    s.MoveCachesFile = dir / "moves.txt";
    s.OutputAscDir = s.OutputTxtDir = dir / "out";
  };
  EXPECT_TRUE(ConversionRun({dir / "in/12345.gpx", dir / "in/spam.gpx"}, 1,
                            settings, host));
  EXPECT_EQ(host.events,
            (Texts{"[open]", "[controls]", "Loading caches...",
                   "Loading 12345.gpx...", "Loading spam.gpx...",
                   "Loading excluded caches...", "Loading x.gpx...",
                   "Excluding caches...", "Loading excluded cachers...",
                   "Excluding caches...", "Loading moved caches...",
                   "Moving caches...", "Creating KML...", "Creating ASC...",
                   "Creating ASC (Highway)...", "Creating TXT...",
                   "[message] 6 caches processed", "[close]"}));
  EXPECT_NE(ReadFileOrFail(dir / "in/12345.kml").find("008.76130,50.20575"),
            std::string::npos);  // GC3 moved
  EXPECT_TRUE(FileExists(dir / "out/12345_all_Tradi.asc"));
  EXPECT_GT(Names(dir / "out").size(), 2u);  // and the text sheets
}

// Where the KML of <folder>/1.gpx goes: into OutputKmlDir only when
// bOutputKml is set, else into the source folder or its "To Google Earth"
// when that exists. ASC and text files ignore all that; a backslash is no
// folder separator. The GPX goes to its own folder or beside the input.
TEST(OutputPaths, FollowTheFolderRules) {
  TempDir dir;
  WriteFileOrFail(dir / "ge/To Google Earth/.keep", "");
  const std::tuple<const char*, bool, const char*, std::string> rows[] = {
      {"ge", false, "", dir / "ge/To Google Earth/1.kml"},
      {"in", false, "out", dir / "in/1.kml"},
      {"ge", true, "out", "out/1.kml"},
      {"in", true, "out/", "out/1.kml"}};
  for (const auto& [folder, output_kml, kml_dir, kml] : rows) {
    ConversionSettings settings;
    settings.bOutputKml = output_kml;
    settings.OutputKmlDir = kml_dir;
    const std::string first = dir / folder + "/1.gpx";
    EXPECT_EQ(KmlFilePath(first, "1", settings), kml) << folder << kml_dir;
    EXPECT_EQ(AscPatternPrefix(first, "1", settings), dir / folder + "/1");
  }
  EXPECT_EQ(TextFolder("/pq\\12345.gpx", ConversionSettings()), "/");
  ConversionSettings settings;
  EXPECT_EQ(GpxFilePath("/pq/1.gpx", "/pq/12345.gpx", settings),
            "/pq/12345_gps.gpx");
  settings.OutputGpxDir = "/media/GARMIN/Garmin/GPX/";
  settings.bOutputKml = true;
  settings.OutputKmlDir = "/kml";
  EXPECT_EQ(GpxFilePath("/pq/1.gpx", "12345", settings),
            "/media/GARMIN/Garmin/GPX/12345_gps.gpx");
}

// A pocket query of GC1 ... GC<count> with an additional-waypoints file
// beside it holding the parking spots PK1 ... PK<parkings>.
void WritePocketQuery(const std::string& folder, int count, int parkings) {
  WriteFileOrFail(folder + "/12345.gpx", PocketQuery(1, count));
  std::string wpts = "<gpx>\r\n";
  for (int i = 1; i <= parkings; ++i) {
    wpts += "<wpt lat=\"50.6\" lon=\"8.6\"><name>PK" + std::to_string(i) +
            "</name><sym>Parking Area</sym></wpt>\r\n";
  }
  WriteFileOrFail(folder + "/12345-wpts.gpx", wpts + "</gpx>\r\n");
}

// GC1 is excluded by folder, GC5 of the second input by its owner, GC3
// moves; their parking spots go with them. The GPX goes to its own folder
// between the ASC files and the text sheets.
TEST(GpxRun, WritesWhatTheListStagesLeftBetweenAscAndText) {
  TempDir dir;
  WritePocketQuery(dir / "in", 4, 5);
  WriteFileOrFail(dir / "exclude/x.gpx", PocketQuery(1, 1));
  WriteFileOrFail(dir / "spam/2.gpx", PocketQuery(5, 1, "Spam"));
  WriteFileOrFail(dir / "owners.txt", "spam\r\n");
  WriteFileOrFail(dir / "moves.txt", "GC3;N50\xB0 12.345;E008\xB0 45.678\r\n");
  WriteFileOrFail(dir / "gps/.keep", "");
  ConversionSettings settings;
  settings.bExclude = settings.bExcludePeople = settings.bMoveCaches = true;
  settings.bOutputAsc = settings.bOutputTxt = settings.bOutputGpx = true;
  settings.ExcludeDir = dir / "exclude";
  settings.ExcludePeopleFile = dir / "owners.txt";
  settings.MoveCachesFile = dir / "moves.txt";
  settings.OutputAscDir = settings.OutputTxtDir = dir / "out";
  settings.OutputGpxDir = dir / "gps";
  WriteFileOrFail(dir / "out/.keep", "");
  RecordingHost host;
  ASSERT_TRUE(ConversionRun({dir / "in/12345.gpx", dir / "spam/2.gpx"},
                            kFunctionComplete, settings, host));
  const Texts tail(host.events.end() - 5, host.events.end());
  EXPECT_EQ(tail, (Texts{"Creating ASC (Highway)...", "Creating GPX...",
                         "Creating TXT...", "[message] 4 caches processed",
                         "[close]"}));
  const std::string gpx = ReadFileOrFail(dir / "gps/12345_gps.gpx");
  EXPECT_EQ(WaypointNames(gpx),
            (Texts{"GC2", "PK2", "GC3", "PK3", "GC4", "PK4"}));
  EXPECT_NE(gpx.find("<wpt lat=\"50.20575\" lon=\"008.76130\">"),
            std::string::npos);
  EXPECT_NE(gpx.find("<gsak:LatBeforeCorrect>50.5</gsak:LatBeforeCorrect>"),
            std::string::npos);
}

// Without its setting no GPX is written, and neither is a text kept.
TEST(GpxRun, IsNotWrittenWithTheSettingOff) {
  TempDir dir;
  WritePocketQuery(dir.path(), 2, 2);
  RecordingHost host;
  ConversionSettings settings;
  ASSERT_TRUE(
      ConversionRun({dir / "12345.gpx"}, kFunctionFound, settings, host));
  EXPECT_EQ(Names(dir.path()),
            (Texts{"12345-wpts.gpx", "12345.gpx", "12345.kml"}));
  settings.bOutputGpx = true;
  ASSERT_TRUE(
      ConversionRun({dir / "12345.gpx"}, kFunctionFound, settings, host));
  const std::string gpx = ReadFileOrFail(dir / "12345_gps.gpx");
  EXPECT_EQ(WaypointNames(gpx), (Texts{"GC1", "PK1", "GC2", "PK2"}));
}

// A run whose GPX would land on one of its inputs, named as a path or read
// from a folder, ends with access denied naming it, after the KML; the
// input stays as it was.
TEST(GpxRun, RefusesToReplaceAnInput) {
  TempDir dir;
  const std::string old = PocketQuery(7, 1);
  const std::vector<std::tuple<const char*, Texts>> rows = {
      {"named", {"named/12345.gpx", "named/12345_gps.gpx"}},
      {"folder", {"folder"}},
      {"link", {"link/12345.gpx", "named/12345_gps.gpx"}}};
  WriteFileOrFail(dir / "named/12345.gpx", PocketQuery(1, 2));
  WriteFileOrFail(dir / "folder/12345.gpx", PocketQuery(1, 2));
  WriteFileOrFail(dir / "link/12345.gpx", PocketQuery(1, 2));
  for (const auto& [folder, inputs] : rows) {
    SCOPED_TRACE(folder);
    const std::string target = dir / folder + "/12345_gps.gpx";
    if (std::string(folder) == "link") {
      ASSERT_EQ(symlink((dir / "named/12345_gps.gpx").c_str(), target.c_str()),
                0);
    } else {
      WriteFileOrFail(target, old);
    }
    std::vector<std::string> paths;
    for (const std::string& input : inputs) paths.push_back(dir / input);
    ConversionSettings settings;
    settings.bOutputGpx = true;
    RecordingHost host;
    EXPECT_TRUE(ThrowsFileError(
        [&] { ConversionRun(paths, kFunctionComplete, settings, host); },
        FileCause::kAccessDenied, target));
    EXPECT_EQ(ReadFileOrFail(target), old);
    EXPECT_TRUE(FileExists(dir / folder + "/12345.kml"));
  }
}

TEST(RunInputs, AreThePathsAndTheFilesOfFolderPaths) {
  TempDir dir;
  WriteFileOrFail(dir / "f/a.gpx", "");
  WriteFileOrFail(dir / "f/sub/b.gpx", "");
  WriteFileOrFail(dir / "c.gpx", "");
  const Texts paths = {dir / "f", dir / "c.gpx"};
  const std::tuple<std::string, bool> rows[] = {{dir / "f/a.gpx", true},
                                                {dir / "f/../c.gpx", true},
                                                {dir / "f/sub/b.gpx", false},
                                                {dir / "f/new.gpx", false},
                                                {dir / "f", true},
                                                {dir / "d.gpx", false}};
  for (const auto& [target, input] : rows) {
    EXPECT_EQ(IsInputOfRun(target, paths), input) << target;
  }
}

}  // namespace
}  // namespace korvelo::testing

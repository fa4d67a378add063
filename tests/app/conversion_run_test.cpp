// ConversionRun in-process with a recording host: the steps it shows, what
// it counts and where its outputs go.
#include "app/conversion_run.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "app/output_paths.h"
#include "app/run_fixtures.h"

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
// folder separator.
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
}

}  // namespace
}  // namespace korvelo::testing

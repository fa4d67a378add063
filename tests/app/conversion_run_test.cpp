// ConversionRun in-process with a recording host: the steps it shows, when
// it stops, what it counts and where its outputs go.
#include "app/conversion_run.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <tuple>
#include <vector>

#include "app/output_paths.h"
#include "app/program_run.h"
#include "app/run_fixtures.h"
#include "support/test_support.h"

namespace korvelo::testing {
namespace {

using Texts = std::vector<std::string>;

class ConversionRunTest : public ::testing::Test {
 protected:
  // `name` in the folder "in", written as a pocket query unless count is 0.
  std::string In(const std::string& name, int first = 1, int count = 0,
                 const std::string& owner = "Owner") {
    if (count > 0) WriteFileOrFail(In(name), PocketQuery(first, count, owner));
    return dir_ / ("in/" + name);
  }
  Texts Run(const Texts& paths, int32_t function = 1) {
    wrote_ = ConversionRun(paths, function, settings_, host_);
    return host_.events;
  }
  void Exclude(const std::string& gpx) {
    WriteFileOrFail(dir_ / "exclude/x.gpx", gpx);
    settings_.bExclude = true;
    settings_.ExcludeDir = dir_ / "exclude";
  }

  TempDir dir_;
  ConversionSettings settings_;
  RecordingHost host_;
  bool wrote_ = false;  // what the last Run returned
};

// The window's controls, read before any setting is used, switch on all but
// the exclusion stage. Of GC1 ... GC7, GC1 and GC2 belong to a listed owner,
// GC7 is excluded (as is GC8, never loaded) and GC3 moves: 4 left + 2 make 6.
TEST_F(ConversionRunTest, RunWithEveryStageShowsEveryStepAndCountsRight) {
  const Texts inputs = {In("12345.gpx", 3, 5), In("spam.gpx", 1, 2, "Spam")};
  WriteFileOrFail(dir_ / "owners.txt", "nobody\r\nSPAM\r\n");
  WriteFileOrFail(dir_ / "moves.txt", "GC3;N50\xB0 12.345;E008\xB0 45.678\r\n");
  WriteFileOrFail(dir_ / "out/.keep", "");
  Exclude(PocketQuery(7, 2));
  host_.controls = [this](ConversionSettings& s) {
    s.bExcludePeople = s.bMoveCaches = s.bOutputAsc = s.bOutputTxt = true;
    s.ExcludePeopleFile = dir_ / "owners.txt";
    s.MoveCachesFile = dir_ / "moves.txt";
    s.OutputAscDir = s.OutputTxtDir = dir_ / "out";
  };
  EXPECT_EQ(Run(inputs),
            (Texts{"[open]", "[controls]", "Loading caches...",
                   "Loading 12345.gpx...", "Loading spam.gpx...",
                   "Loading excluded caches...", "Loading x.gpx...",
                   "Excluding caches...", "Loading excluded cachers...",
                   "Excluding caches...", "Loading moved caches...",
                   "Moving caches...", "Creating KML...", "Creating ASC...",
                   "Creating ASC (Highway)...", "Creating TXT...",
                   "[message] 6 caches processed", "[close]"}));
  const std::string kml = ReadFileOrFail(In("12345.kml"));
  for (const char* gone : {">GC1</A>", ">GC2</A>", ">GC7</A>"})
    EXPECT_EQ(kml.find(gone), std::string::npos) << gone;
  EXPECT_NE(kml.find(">GC6</A>"), std::string::npos);
  EXPECT_NE(kml.find("008.76130,50.20575"), std::string::npos);  // GC3
  EXPECT_TRUE(FileExists(dir_ / "out/12345_all_Tradi.asc"));
  EXPECT_GT(Names(dir_ / "out").size(), 2u);  // and the text sheets
}

TEST_F(ConversionRunTest, CancelledQuestionReadsAndWritesNothing) {
  host_.answer_ok = false;
  settings_.bOutputAsc = true;
  EXPECT_EQ(Run({In("missing.gpx")}, -1),  // reading it would throw
            (Texts{"[open]", "[controls]", "[ask]", "[close]"}));
  EXPECT_FALSE(wrote_);
  EXPECT_FALSE(std::filesystem::exists(dir_ / "in"));
}

// The owners and moves stages end after their loading text when their files
// cannot be read; a list emptied by the exclusions is still written.
TEST_F(ConversionRunTest, UnreadableFilesSkipStagesAndEmptyListsAreWritten) {
  Exclude(PocketQuery(1, 6));
  settings_.bExcludePeople = settings_.bMoveCaches = true;
  settings_.ExcludePeopleFile = dir_ / "no-owners.txt";
  settings_.MoveCachesFile = dir_ / "no-moves.txt";
  EXPECT_EQ(
      Run({In("12345.gpx", 1, 4)}),
      (Texts{"[open]", "[controls]", "Loading caches...",
             "Loading 12345.gpx...", "Loading excluded caches...",
             "Loading x.gpx...", "Excluding caches...",
             "Loading excluded cachers...", "Loading moved caches...",
             "Creating KML...", "[message] 6 caches processed", "[close]"}));
  EXPECT_TRUE(wrote_);  // an emptied list is still a run that wrote
  EXPECT_TRUE(FileExists(In("12345.kml")));
}

// For in/12345.gpx: whether in/To Google Earth exists, bOutputKml,
// OutputKmlDir, and where the KML goes. ASC and text outputs ignore all that
// and stay in the source folder.
TEST(ConversionRunFolders, FollowTheFolderRules) {
  const std::tuple<bool, bool, const char*, const char*> rows[] = {
      {false, false, "", "in/12345.kml"},
      {true, false, "", "in/To Google Earth/12345.kml"},
      {true, true, "", "in/To Google Earth/12345.kml"},
      {false, false, "out", "in/12345.kml"},
      {true, true, "out", "out/12345.kml"},
      {false, true, "out/", "out/12345.kml"},
      {false, true, "out//", "out/12345.kml"}};
  for (const auto& [google_earth, output_kml, kml_dir, kml] : rows) {
    TempDir dir;
    WriteFileOrFail(dir / "out/.keep", "");
    if (google_earth) WriteFileOrFail(dir / "in/To Google Earth/.keep", "");
    WriteFileOrFail(dir / "in/12345.gpx", PocketQuery(1, 1));
    ConversionSettings settings;
    settings.bOutputKml = output_kml;
    settings.bOutputAsc = true;
    if (*kml_dir != '\0') settings.OutputKmlDir = dir / kml_dir;
    RecordingHost host;
    ConversionRun({dir / "in/12345.gpx"}, 1, settings, host);
    EXPECT_TRUE(FileExists(dir / kml)) << kml_dir << google_earth;
    EXPECT_TRUE(FileExists(dir / "in/12345_all_Tradi.asc")) << kml;
  }
  EXPECT_EQ(TextFolder("/pq/12345.gpx", ConversionSettings()), "/pq/");
  EXPECT_EQ(TextFolder("/pq\\12345.gpx", ConversionSettings()), "/");
}

}  // namespace
}  // namespace korvelo::testing

// ConversionRun in-process with a recording host: the steps it shows, when
// it stops, what it counts and where its outputs go.
#include "app/conversion_run.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app/output_paths.h"
#include "app/run_fixtures.h"
#include "platform/file_error.h"
#include "support/test_support.h"

namespace korvelo {
namespace {

using ::korvelo::testing::FakeCache;
using ::korvelo::testing::FileExists;
using ::korvelo::testing::NumberedCaches;
using ::korvelo::testing::PlainSettings;
using ::korvelo::testing::PocketQuery;
using ::korvelo::testing::ReadFileOrFail;
using ::korvelo::testing::RecordingHost;
using ::korvelo::testing::TempDir;
using ::korvelo::testing::WriteFileOrFail;
using Events = std::vector<std::string>;

// Names of the files in a folder, sorted.
std::vector<std::string> FilesIn(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

class ConversionRunTest : public ::testing::Test {
 protected:
  // A pocket query file `name` in the input folder; returns its path.
  std::string Input(const std::string& name,
                    const std::vector<FakeCache>& caches) {
    const std::string path = dir_ / ("in/" + name);
    WriteFileOrFail(path, PocketQuery(caches));
    return path;
  }
  std::string In(const std::string& name) { return dir_ / ("in/" + name); }
  std::string Folder(const std::string& name) {
    const std::string path = dir_ / name;
    std::filesystem::create_directories(path);
    return path;
  }
  void Run(const std::vector<std::string>& paths, int32_t function = 1) {
    ConversionRun(paths, function, settings_, host_);
  }

  TempDir dir_;
  ConversionSettings settings_ = PlainSettings();
  RecordingHost host_;
};

TEST_F(ConversionRunTest, PlainRunShowsItsStepsAndTheCount) {
  const std::string pq = Input("12345.gpx", NumberedCaches(1, 3));
  Run({pq});
  EXPECT_EQ(host_.events, (Events{"[open]", "[controls]", "Loading caches...",
                                  "Loading 12345.gpx...", "Creating KML...",
                                  "[message] 3 caches processed", "[close]"}));
  EXPECT_TRUE(FileExists(In("12345.kml")));
}

TEST_F(ConversionRunTest, RunWithEveryStageShowsEveryStep) {
  const std::string pq = Input("12345.gpx", NumberedCaches(1, 5));
  WriteFileOrFail(dir_ / "exclude/found.gpx",
                  PocketQuery(NumberedCaches(1, 1)));
  WriteFileOrFail(dir_ / "owners.txt", "nobody\r\n");
  WriteFileOrFail(dir_ / "moves.txt", "GC2;N50\xB0 12.345;E008\xB0 45.678\r\n");
  settings_.bExclude = true;
  settings_.ExcludeDir = dir_ / "exclude";
  settings_.bExcludePeople = true;
  settings_.ExcludePeopleFile = dir_ / "owners.txt";
  settings_.bMoveCaches = true;
  settings_.MoveCachesFile = dir_ / "moves.txt";
  settings_.bOutputAsc = true;
  settings_.OutputAscDir = Folder("asc");
  settings_.bOutputTxt = true;
  settings_.OutputTxtDir = Folder("txt");
  Run({pq});
  EXPECT_EQ(
      host_.events,
      (Events{"[open]", "[controls]", "Loading caches...",
              "Loading 12345.gpx...", "Loading excluded caches...",
              "Loading found.gpx...", "Excluding caches...",
              "Loading excluded cachers...", "Excluding caches...",
              "Loading moved caches...", "Moving caches...", "Creating KML...",
              "Creating ASC...", "Creating ASC (Highway)...", "Creating TXT...",
              "[message] 5 caches processed", "[close]"}));
  // GC1 excluded, GC2 moved to 50.20575 / 008.76130.
  const std::string kml = ReadFileOrFail(In("12345.kml"));
  EXPECT_EQ(kml.find(">GC1</A>"), std::string::npos);
  EXPECT_NE(kml.find(">GC5</A>"), std::string::npos);
  EXPECT_NE(kml.find("008.76130,50.20575"), std::string::npos);
  EXPECT_TRUE(FileExists(dir_ / "asc/12345_all_Tradi.asc"));
  EXPECT_FALSE(FilesIn(dir_ / "txt").empty());
}

TEST_F(ConversionRunTest, CancelledQuestionReadsAndWritesNothing) {
  host_.answer_ok = false;
  settings_.bOutputAsc = true;
  Run({In("missing.gpx")}, -1);  // would throw if it were read
  EXPECT_EQ(host_.events, (Events{"[open]", "[controls]", "[ask]", "[close]"}));
  EXPECT_FALSE(std::filesystem::exists(dir_ / "in"));
}

TEST_F(ConversionRunTest, AnsweredQuestionGivesTheModeToTheWriter) {
  // Complete input in file mode 0 writes one KML per input file; any other
  // FileFunction writes one file named after the first input.
  const std::string a = Input("a.gpx", NumberedCaches(1, 1));
  const std::string b = Input("b.gpx", NumberedCaches(2, 1));
  host_.mode_chosen = 2;
  Run({a, b}, -1);
  EXPECT_EQ(host_.events[2], "[ask]");
  EXPECT_EQ(settings_.Mode, 2);
  EXPECT_EQ(FilesIn(dir_ / "in"), (Events{"a.gpx", "a.kml", "b.gpx"}));
}

TEST_F(ConversionRunTest, RunWithoutCachesEndsWithoutOutputOrMessage) {
  WriteFileOrFail(In("empty.gpx"), "<gpx></gpx>");
  WriteFileOrFail(In("notes.txt"), "GC1");
  Run({In("empty.gpx"), In("notes.txt"), In("nothing-here")});
  EXPECT_EQ(host_.events, (Events{"[open]", "[controls]", "Loading caches...",
                                  "Loading empty.gpx...", "[close]"}));
  EXPECT_EQ(FilesIn(dir_ / "in"), (Events{"empty.gpx", "notes.txt"}));
}

TEST_F(ConversionRunTest, CountsTheWholeExclusionListInsteadOfTheRemoved) {
  // 100 loaded; the exclusion folder holds 30, of which 20 are loaded ones.
  const std::string pq = Input("12345.gpx", NumberedCaches(1, 100));
  WriteFileOrFail(dir_ / "exclude/x.gpx", PocketQuery(NumberedCaches(81, 30)));
  settings_.bExclude = true;
  settings_.ExcludeDir = dir_ / "exclude";
  Run({pq});
  EXPECT_EQ(host_.events.end()[-2], "[message] 110 caches processed");
}

TEST_F(ConversionRunTest, OwnersRemovedAreNotCounted) {
  std::vector<FakeCache> caches = NumberedCaches(1, 10);
  caches[3].owner = caches[7].owner = "Spammer";
  WriteFileOrFail(dir_ / "owners.txt", "SPAMMER");
  settings_.bExcludePeople = true;
  settings_.ExcludePeopleFile = dir_ / "owners.txt";
  Run({Input("12345.gpx", caches)});
  EXPECT_EQ(host_.events.end()[-2], "[message] 8 caches processed");
}

TEST_F(ConversionRunTest, ExclusionsRemovingEverythingStillWriteOutputs) {
  const std::string pq = Input("12345.gpx", NumberedCaches(1, 4));
  WriteFileOrFail(dir_ / "exclude/x.gpx", PocketQuery(NumberedCaches(1, 6)));
  settings_.bExclude = true;
  settings_.ExcludeDir = dir_ / "exclude";
  settings_.bOutputAsc = true;
  Run({pq});
  EXPECT_TRUE(FileExists(In("12345.kml")));
  EXPECT_EQ(host_.events.end()[-2], "[message] 6 caches processed");
}

TEST_F(ConversionRunTest, UnreadableOwnersAndMovesFilesSkipTheirStages) {
  settings_.bExcludePeople = true;
  settings_.ExcludePeopleFile = dir_ / "no-owners.txt";
  settings_.bMoveCaches = true;
  settings_.MoveCachesFile = dir_ / "no-moves.txt";
  Run({Input("12345.gpx", NumberedCaches(1, 2))});
  EXPECT_EQ(host_.events,
            (Events{"[open]", "[controls]", "Loading caches...",
                    "Loading 12345.gpx...", "Loading excluded cachers...",
                    "Loading moved caches...", "Creating KML...",
                    "[message] 2 caches processed", "[close]"}));
}

TEST_F(ConversionRunTest, ControlsAreReadBeforeTheSettingsAreUsed) {
  const std::string out = Folder("out");
  host_.controls = [&out](ConversionSettings& settings) {
    settings.bOutputKml = true;
    settings.OutputKmlDir = out;
  };
  Run({Input("12345.gpx", NumberedCaches(1, 1))});
  EXPECT_TRUE(FileExists(out + "/12345.kml"));
}

TEST_F(ConversionRunTest, FileErrorLeavesTheRunAfterReleasingItsProgress) {
  settings_.bOutputKml = true;
  settings_.OutputKmlDir = dir_ / "missing";
  settings_.bOutputTxt = true;
  settings_.OutputTxtDir = Folder("txt");
  EXPECT_THROW(Run({Input("12345.gpx", NumberedCaches(1, 2))}), FileError);
  EXPECT_EQ(host_.events.back(), "[close]");
  EXPECT_EQ(host_.events.end()[-2], "Creating KML...");
  EXPECT_TRUE(FilesIn(dir_ / "txt").empty());  // nothing after the failure
}

TEST_F(ConversionRunTest, UnreadableInputLeavesTheRunWithItsFileError) {
  const std::string pq = In("locked.gpx");
  std::filesystem::create_directories(pq);  // a folder named .gpx
  try {
    Run({pq});
    ADD_FAILURE() << "no FileError";
  } catch (const FileError& error) {
    EXPECT_EQ(error.path(), pq);
  }
  EXPECT_EQ(host_.events.back(), "[close]");
}

// Where the KML goes, for the input <dir>/in/12345.gpx.
struct KmlFolderRow {
  const char* what;
  bool to_google_earth;  // the folder in/To Google Earth exists
  bool output_kml;       // bOutputKml
  const char* kml_dir;   // OutputKmlDir, relative to the test folder
  const char* expected;  // the KML file, relative to the test folder
};

TEST_F(ConversionRunTest, ChoosesTheKmlFolderByTheRules) {
  const KmlFolderRow rows[] = {
      {"source folder", false, false, "", "in/12345.kml"},
      {"To Google Earth", true, false, "", "in/To Google Earth/12345.kml"},
      {"flag without folder", true, true, "", "in/To Google Earth/12345.kml"},
      {"folder without flag", false, false, "out", "in/12345.kml"},
      {"flag and folder", true, true, "out", "out/12345.kml"},
      {"trailing slash", false, true, "out/", "out/12345.kml"},
      {"trailing backslash", false, true, "out\\", "out/12345.kml"},
  };
  for (const KmlFolderRow& row : rows) {
    TempDir dir;
    std::filesystem::create_directories(dir / "out");
    if (row.to_google_earth) {
      std::filesystem::create_directories(dir / "in/To Google Earth");
    }
    WriteFileOrFail(dir / "in/12345.gpx", PocketQuery(NumberedCaches(1, 1)));
    ConversionSettings settings = PlainSettings();
    settings.bOutputKml = row.output_kml;
    if (*row.kml_dir != '\0') settings.OutputKmlDir = dir / row.kml_dir;
    RecordingHost host;
    ConversionRun({dir / "in/12345.gpx"}, 1, settings, host);
    EXPECT_TRUE(FileExists(dir / row.expected)) << row.what;
  }
}

TEST_F(ConversionRunTest, DroppedFolderIsNamedAfterItsFirstFile) {
  Input("Sommer/b.gpx", NumberedCaches(1, 1));
  Input("Sommer/a.gpx", NumberedCaches(2, 1));
  Run({In("Sommer")}, 2);
  EXPECT_TRUE(FileExists(In("Sommer/a.kml")));
  EXPECT_FALSE(FileExists(In("Sommer.kml")));
  EXPECT_FALSE(FileExists(In("Sommer/b.kml")));
}

TEST_F(ConversionRunTest, SeveralInputsAreNamedAfterTheFirst) {
  const std::string z = Input("z.gpx", NumberedCaches(1, 1));
  const std::string a = Input("a.gpx", NumberedCaches(2, 1));
  Run({z, a}, 3);
  EXPECT_EQ(FilesIn(dir_ / "in"), (Events{"a.gpx", "z.gpx", "z.kml"}));
}

TEST_F(ConversionRunTest, AscAndTextOutputsStayInTheSourceFolder) {
  Folder("in/To Google Earth");
  const std::string pq = Input("12345.gpx", NumberedCaches(1, 1));
  settings_.bOutputAsc = true;
  settings_.bOutputTxt = true;
  Run({pq});
  EXPECT_TRUE(FileExists(In("To Google Earth/12345.kml")));
  EXPECT_TRUE(FileExists(In("12345_all_Tradi.asc")));
  EXPECT_FALSE(FileExists(In("To Google Earth/12345_all_Tradi.asc")));
}

TEST(OutputPaths, FollowTheFolderAndNameRules) {
  ConversionSettings plain = PlainSettings();
  ConversionSettings kml = plain;
  kml.bOutputKml = true;
  kml.OutputKmlDir = "D:\\kml\\";
  ConversionSettings other = plain;
  other.OutputAscDir = "D:\\asc";
  other.OutputTxtDir = "D:/txt/";
  const std::string pq = "C:\\pq\\12345.gpx";
  EXPECT_EQ(SourceFolder(pq), "C:\\pq");
  EXPECT_EQ(KmlFilePath(pq, pq, plain), "C:\\pq\\12345.kml");
  EXPECT_EQ(KmlFilePath(pq, "C:\\pq\\Urlaub.2008.zip", kml),
            "D:\\kml\\Urlaub.kml");
  EXPECT_EQ(AscPatternPrefix(pq, pq, plain), "C:\\pq\\12345");
  EXPECT_EQ(AscPatternPrefix(pq, pq, other), "D:\\asc\\12345");
  EXPECT_EQ(TextFolder(pq, plain), "C:\\pq\\");
  EXPECT_EQ(TextFolder(pq, other), "D:/txt/");
}

}  // namespace
}  // namespace korvelo

// ConversionRun in-process with a recording host: the steps it shows, what
// it counts and where its outputs go, the GPX for devices and its refusal to
// replace an input; and every corpus pocket query converted with every stage,
// whose GPX, converted again, shows the same placemarks.
#include "app/conversion_run.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "app/output_paths.h"
#include "app/run_fixtures.h"
#include "app/run_inputs.h"
#include "cachelist/cache_list.h"
#include "input/paths.h"
#include "output/file_function.h"

namespace korvelo::testing {
namespace {

namespace fs = std::filesystem;
using Texts = std::vector<std::string>;

// An additional-waypoints file of the parking spots PK1 ... PK<count>.
std::string Parkings(int count) {
  std::string wpts = "<gpx>\r\n";
  for (int i = 1; i <= count; ++i) {
    wpts += "<wpt lat=\"50.6\" lon=\"8.6\"><name>PK" + std::to_string(i) +
            "</name><sym>Parking Area</sym></wpt>\r\n";
  }
  return wpts + "</gpx>\r\n";
}

// The window's controls, read before any setting is used, switch on all but
// the exclusion stage and the GPX. Of GC1 ... GC7, GC1 and GC2 belong to a
// listed owner, GC7 is excluded (as is GC8, never loaded) and GC3 moves: 4
// left + 2 make 6. The GPX goes to its own folder between the ASC files and
// the text sheets, with what the list stages left: the parking spots of the
// dropped caches go with them.
TEST(ConversionRun, RunWithEveryStageShowsEveryStepAndCountsRight) {
  TempDir dir;
  WriteFileOrFail(dir / "in/12345.gpx", PocketQuery(3, 5));
  WriteFileOrFail(dir / "in/12345-wpts.gpx", Parkings(8));
  WriteFileOrFail(dir / "in/spam.gpx", PocketQuery(1, 2, "Spam"));
  WriteFileOrFail(dir / "owners.txt", "nobody\r\nSPAM\r\n");
  WriteFileOrFail(dir / "moves.txt", "GC3;N50\xB0 12.345;E008\xB0 45.678\r\n");
  WriteFileOrFail(dir / "out/.keep", "");
  WriteFileOrFail(dir / "exclude/x.gpx", PocketQuery(7, 2));
  WriteFileOrFail(dir / "gps/.keep", "");
  ConversionSettings settings;
  settings.bExclude = settings.bOutputGpx = true;
  settings.ExcludeDir = dir / "exclude";
  settings.OutputGpxDir = dir / "gps";
  RecordingHost host;
  host.controls = [&dir](ConversionSettings& s) {
    s.bExcludePeople = s.bMoveCaches = s.bOutputAsc = s.bOutputTxt = true;
    s.ExcludePeopleFile = dir / "owners.txt";
    s.MoveCachesFile = dir / "moves.txt";
    s.OutputAscDir = s.OutputTxtDir = dir / "out";
  };
  EXPECT_TRUE(ConversionRun({dir / "in/12345.gpx", dir / "in/spam.gpx"}, 1,
                            settings, host));
  EXPECT_EQ(
      host.events,
      (Texts{"[open]", "[controls]", "Loading caches...",
             "Loading 12345.gpx...", "Loading spam.gpx...",
             "Loading excluded caches...", "Loading x.gpx...",
             "Excluding caches...", "Loading excluded cachers...",
             "Excluding caches...", "Loading moved caches...",
             "Moving caches...", "Creating KML...", "Creating ASC...",
             "Creating ASC (Highway)...", "Creating GPX...", "Creating TXT...",
             "[message] 6 caches processed", "[close]"}));
  EXPECT_NE(ReadFileOrFail(dir / "in/12345.kml").find("008.76130,50.20575"),
            std::string::npos);  // GC3 moved
  EXPECT_TRUE(FileExists(dir / "out/12345_all_Tradi.asc"));
  EXPECT_GT(Names(dir / "out").size(), 2u);  // and the text sheets
  const std::string gpx = ReadFileOrFail(dir / "gps/12345_gps.gpx");
  EXPECT_EQ(WaypointNames(gpx),
            (Texts{"GC3", "PK3", "GC4", "PK4", "GC5", "PK5", "GC6", "PK6"}));
  EXPECT_NE(gpx.find("<wpt lat=\"50.20575\" lon=\"008.76130\">"),
            std::string::npos);
  EXPECT_NE(gpx.find("<gsak:LatBeforeCorrect>50.5</gsak:LatBeforeCorrect>"),
            std::string::npos);
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

struct Placemark {
  std::string code, name, coordinates, icon;
  auto operator<=>(const Placemark&) const = default;
};

std::string Between(const std::string& text, size_t from,
                    const std::string& open, const std::string& close) {
  const size_t start = text.find(open, from);
  if (start == std::string::npos) return "<missing>";
  const size_t begin = start + open.size();
  return text.substr(begin, text.find(close, begin) - begin);
}

// The placemarks of a KML file, sorted; none when there is no file.
std::vector<Placemark> PlacemarksOf(const std::string& kml_path) {
  std::vector<Placemark> placemarks;
  if (!FileExists(kml_path)) return placemarks;
  const std::string kml = ReadFileOrFail(kml_path);
  for (size_t at = kml.find("<Placemark>"); at != std::string::npos;
       at = kml.find("<Placemark>", at + 1)) {
    const size_t link = kml.find("<description><A HREF='", at);
    placemarks.push_back({Between(kml, kml.find("'>", link), "'>", "</A>: "),
                          Between(kml, at, "<name>", "</name>"),
                          Between(kml, at, "<coordinates>", "</coordinates>"),
                          Between(kml, at, "<href>", "</href>")});
  }
  std::sort(placemarks.begin(), placemarks.end());
  return placemarks;
}

// What the first run is set to drop and move, chosen from the file's own
// caches so that some stay: with three or more, the first is excluded by
// folder and the owner of the second by name (when others stay); then the
// first cache left is moved.
struct Stages {
  std::string excluded, owner, moved;
};

Stages ChooseStages(const CacheList& list) {
  std::vector<const CacheRecord*> caches;
  for (const CacheRecord& r : list.records) {
    if (!r.type.empty() && !r.name.empty()) caches.push_back(&r);
  }
  Stages stages;
  size_t first_left = 0;
  if (caches.size() >= 3) {
    stages.excluded = caches[0]->name;
    first_left = 1;
    // Only an owner whose removal leaves other caches; an empty line would
    // remove every cache without an owner.
    const std::string& owner = caches[1]->placed_by;
    for (size_t i = 2; i < caches.size() && !owner.empty(); ++i) {
      if (caches[i]->placed_by != owner) stages.owner = owner;
    }
  }
  const auto left = [&](const CacheRecord* r) {
    return r->name != stages.excluded &&
           (stages.owner.empty() || r->placed_by != stages.owner);
  };
  for (size_t i = first_left; i < caches.size() && stages.moved.empty(); ++i) {
    // A code with a ";" cannot stand in the moves file.
    if (left(caches[i]) && caches[i]->name.find(';') == std::string::npos)
      stages.moved = caches[i]->name;
  }
  return stages;
}

ConversionSettings OneKmlInto(const std::string& folder) {
  ConversionSettings settings;
  settings.bOutputKml = true;
  settings.OutputKmlDir = folder;
  settings.OutputKmlDirFileMode = 2;
  return settings;
}

TEST(GpxRoundTrip, EveryCorpusQueryReadBackGivesTheSamePlacemarks) {
  KORVELO_REQUIRE_CORPUS();
  int round_trips = 0, with_additional = 0;
  for (const fs::path& path : CorpusInputs()) {
    const std::string input = path.string();
    SCOPED_TRACE(input);
    const CacheList loaded(input, nullptr, "");
    const Stages stages = ChooseStages(loaded);
    TempDir dir;
    WriteFileOrFail(dir / "exclude/x.gpx",
                    "<gpx><wpt lat=\"1\" lon=\"1\"><name>" + stages.excluded +
                        "</name></wpt></gpx>");
    WriteFileOrFail(dir / "owners.txt", stages.owner.empty()
                                            ? "no such owner\n"
                                            : stages.owner + "\n");
    WriteFileOrFail(dir / "moves.txt",
                    stages.moved + ";N50\xB0 12.345;E008\xB0 45.678\n");
    WriteFileOrFail(dir / "first/.keep", "");
    WriteFileOrFail(dir / "second/.keep", "");

    ConversionSettings first = OneKmlInto(dir / "first");
    first.bExclude = first.bExcludePeople = first.bMoveCaches = true;
    first.ExcludeDir = dir / "exclude";
    first.ExcludePeopleFile = dir / "owners.txt";
    first.MoveCachesFile = dir / "moves.txt";
    first.bOutputGpx = first.bOutputAsc = first.bOutputTxt = true;
    first.OutputGpxDir = first.OutputAscDir = first.OutputTxtDir =
        dir / "first";
    RecordingHost host;
    if (!ConversionRun({input}, kFunctionComplete, first, host)) continue;
    const std::string base = BaseName(loaded.name);
    const std::string gpx_path = dir / "first/" + base + "_gps.gpx";
    const std::string gpx = ReadFileOrFail(gpx_path);
    ConversionSettings second = OneKmlInto(dir / "second");
    ConversionRun({gpx_path}, kFunctionComplete, second, host);

    std::vector<Placemark> before =
        PlacemarksOf(dir / "first/" + base + ".kml");
    std::vector<Placemark> after =
        PlacemarksOf(dir / "second/" + base + "_gps.kml");
    // The moved state is no part of the file: read back, a solved cache
    // stands at its new place with the icon of its type.
    for (auto* list : {&before, &after}) {
      for (Placemark& p : *list) {
        if (p.code == stages.moved) p.icon = "(moved)";
      }
      std::sort(list->begin(), list->end());
    }
    EXPECT_EQ(before, after);
    if (!stages.moved.empty()) {
      EXPECT_NE(gpx.find("lat=\"50.20575\" lon=\"008.76130\""),
                std::string::npos);
      EXPECT_NE(gpx.find("<gsak:LatBeforeCorrect>"), std::string::npos);
    }
    // Waypoints that are no cache of the query: its additional ones.
    std::set<std::string> loaded_codes;
    for (const CacheRecord& r : loaded.records) loaded_codes.insert(r.name);
    const std::vector<std::string> codes = WaypointNames(gpx);
    with_additional += std::any_of(
        codes.begin(), codes.end(),
        [&](const std::string& code) { return loaded_codes.count(code) == 0; });
    ++round_trips;
  }
  EXPECT_GT(round_trips, 30);
  // The pocket query with its additional-waypoints file beside it, and the
  // same in an archive.
  EXPECT_GE(with_additional, 2);
}
}  // namespace
}  // namespace korvelo::testing

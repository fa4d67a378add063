// The GPX for devices read back by this program: for every corpus pocket
// query converted with an exclusion folder, an owners file and a moves file,
// a second run on its GPX with every stage off shows the same placemarks.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "app/conversion_run.h"
#include "app/run_fixtures.h"
#include "cachelist/cache_list.h"
#include "input/paths.h"
#include "output/file_function.h"

namespace korvelo::testing {
namespace {

namespace fs = std::filesystem;

struct Placemark {
  std::string code, name, coordinates, icon;
  bool operator==(const Placemark&) const = default;
  bool operator<(const Placemark& other) const {
    return std::tie(code, name, coordinates, icon) <
           std::tie(other.code, other.name, other.coordinates, other.icon);
  }
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
// folder and the owner of the second by name (when others stay); then the first
// Unknown or Multi-cache left, else the first cache left, is moved.
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
  for (size_t i = first_left; i < caches.size(); ++i) {
    // A code with a ";" cannot stand in the moves file.
    if (!left(caches[i]) || caches[i]->name.find(';') != std::string::npos) {
      continue;
    }
    if (stages.moved.empty()) stages.moved = caches[i]->name;
    if (caches[i]->type.view().starts_with("Unknown") ||
        caches[i]->type.view().starts_with("Multi")) {
      stages.moved = caches[i]->name;
      break;
    }
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
    first.bOutputGpx = true;
    first.OutputGpxDir = dir / "first";
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
    // Gone: the excluded cache with the additional waypoints of its code
    // behind the two-letter prefix, and every cache of the excluded owner.
    // Waypoints that the query holds as waypoints of its own stay.
    const std::vector<std::string> codes = WaypointNames(gpx);
    std::set<std::string> gone, loaded_codes;
    for (const CacheRecord& r : loaded.records) {
      loaded_codes.insert(r.name);
      if (!stages.owner.empty() && r.placed_by == stages.owner) {
        gone.insert(r.name);
      }
    }
    for (const std::string& code : codes) {
      EXPECT_EQ(gone.count(code), 0u) << code;
      if (stages.excluded.size() > 2 && loaded_codes.count(code) == 0) {
        EXPECT_NE(code.substr(std::min<size_t>(2, code.size())),
                  stages.excluded.substr(2));
      }
    }
    if (!stages.moved.empty()) {
      EXPECT_NE(gpx.find("lat=\"50.20575\" lon=\"008.76130\""),
                std::string::npos);
      EXPECT_NE(gpx.find("<gsak:LatBeforeCorrect>"), std::string::npos);
    }
    const bool additional = std::any_of(
        codes.begin(), codes.end(),
        [&](const std::string& code) { return loaded_codes.count(code) == 0; });
    with_additional += additional ? 1 : 0;
    std::printf("round trip %s: %zu placemarks, %zu waypoints written, %s\n",
                fs::relative(input, CorpusPath()).c_str(), before.size(),
                codes.size(), before == after ? "same" : "DIFFERENT");
    ++round_trips;
  }
  EXPECT_GT(round_trips, 30);
  // The pocket query with its additional-waypoints file beside it, and the
  // same in an archive.
  EXPECT_GE(with_additional, 2);
}

}  // namespace
}  // namespace korvelo::testing

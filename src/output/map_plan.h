// What the map outputs (classic KML and KMZ) share: which files a run
// writes, how the file function looks, which records go in which type row.
#ifndef KORVELO_OUTPUT_MAP_PLAN_H_
#define KORVELO_OUTPUT_MAP_PLAN_H_

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "cachelist/cache_list.h"
#include "output/conversion_settings.h"

namespace korvelo {

// How the role of the input files shows in a document.
struct FunctionLook {
  int function;
  std::string_view document_name;
  std::string_view height;       // third coordinate, metres above ground
  std::string_view scale;        // document icon scale, normal icons
  std::string_view small_scale;  // document icon scale, small icons
  bool placemark_scale;          // small icons also scale each placemark
};

// The look of `function`; every value not listed looks like the value 0.
const FunctionLook& LookOf(int function);

// What one map document holds besides the caches.
struct MapDocument {
  std::string name;  // the document's name element
  int function = 1;  // FileFunction of the run
  bool smallIcons = false;
  bool showDisabled = false;
  // Per-type file: only this row of kCacheTypes, with its style line.
  std::optional<size_t> onlyRow;
  // Per-input file: only the records whose `file` equals this title.
  std::optional<std::string> onlyFile;
};

struct MapFile {
  std::string path;  // ends in ".kml"
  MapDocument document;
};

// The files of one run in writing order, for the KML path `path` (folder,
// base name, ".kml") and the file mode `mode`.
std::vector<MapFile> PlanMapFiles(const CacheList& list,
                                  const std::string& path, int function,
                                  const ConversionSettings& settings);

using Records = std::vector<const CacheRecord*>;

// The records of a list, with the ones of each input file found once rather
// than looked for in the whole list for every file.
class MapRecords {
 public:
  MapRecords(const CacheList& list, int function,
             const ConversionSettings& settings);
  // The records `document` takes, in list order; valid as long as this.
  const Records& Of(const MapDocument& document) const;

 private:
  Records all_;
  std::unordered_map<std::string_view, Records> by_file_;
  Records none_;
};

// The records of each type row (ignoring case), in list order; a record of
// no row is in none.
std::vector<Records> RecordsByRow(const Records& records);

}  // namespace korvelo

#endif  // KORVELO_OUTPUT_MAP_PLAN_H_

// The content of the self-contained map's documents: the folders of a
// planned map file with each placemark's icon, cut into parts that a web
// importer accepts.
#ifndef KORVELO_OUTPUT_KMZ_PLAN_H_
#define KORVELO_OUTPUT_KMZ_PLAN_H_

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "output/map_plan.h"

namespace korvelo {

// Google Earth on the web refuses an import of more features than this:
// the document, its folders and its placemarks together.
inline constexpr size_t kMaxFeaturesPerFile = 10000;

struct KmzPlacemark {
  const CacheRecord* record;
  std::string_view icon;  // icon file name, empty for none
};

struct KmzFolder {
  std::string name;            // raw bytes, made safe when written
  std::string style_id;        // its list style
  std::string_view list_icon;  // icon file of the list style
  std::vector<KmzPlacemark> placemarks;
};

// One document of a map file.
struct KmzPart {
  std::string name;
  std::optional<std::string> style_id;  // the document's list style
  std::string_view height;
  std::string_view icon_scale;   // placemark icons, normal
  std::string_view hover_scale;  // placemark icons, highlighted
  std::vector<KmzFolder> folders;
};

// The folders of `document` over `records` (those it takes): the type rows
// as in the classic KML, then (unless the document holds one row only) a
// folder per type of no row, named by its first spelling, in order of first
// appearance. `rows` false leaves the type rows out.
std::vector<KmzFolder> PlanKmzFolders(const Records& records,
                                      const MapDocument& document,
                                      bool rows = true,
                                      bool newer_types = true);

// True when some record is of a type in no row.
bool HasNewerTypes(const Records& records);

// `folders` as documents of at most `limit` features each (limit >= 3), in
// order; a folder the cut goes through continues, same name and style, in
// the next part. An empty plan gives one part.
std::vector<KmzPart> SplitIntoParts(std::vector<KmzFolder> folders,
                                    const MapDocument& document,
                                    size_t limit = kMaxFeaturesPerFile);

// Path of part `index` (0 first) of the map file whose classic path is
// `kml_path`: NAME.kmz, NAME-2.kmz, ...
std::string KmzPartPath(const std::string& kml_path, size_t index);

}  // namespace korvelo

#endif  // KORVELO_OUTPUT_KMZ_PLAN_H_

// The cache type table shared by the KML and ASC writers.
#ifndef KORVELO_OUTPUT_CACHE_TYPES_H_
#define KORVELO_OUTPUT_CACHE_TYPES_H_

#include <string_view>

namespace korvelo {

struct CacheTypeRow {
  std::string_view type_name;   // folder name; compared ignoring ASCII case
  std::string_view short_name;  // style ids and file names
  bool solvable;                // gets a Solved folder
};

inline constexpr CacheTypeRow kCacheTypes[] = {
    {"Cache In Trash Out Event", "CITO", false},
    {"Earthcache", "Earth", false},
    {"Event Cache", "Event", false},
    {"Letterbox Hybrid", "Letterbox", false},
    {"Mega-Event Cache", "MegaEvent", false},
    {"Multi-cache", "Multi", true},
    {"Traditional Cache", "Tradi", false},
    {"Unknown Cache", "Unknown", true},
    {"Virtual Cache", "Virtual", false},
    {"Webcam Cache", "Webcam", false},
    {"Wherigo Cache", "Wherigo", false},
};

// True when the record's type text names this row, ignoring ASCII case.
bool IsOfType(std::string_view type, const CacheTypeRow& row);

}  // namespace korvelo

#endif  // KORVELO_OUTPUT_CACHE_TYPES_H_

// The icon files of the self-contained map: every icon choice of the
// classic KML as a file of the program's own icon set, plus the icons of
// cache types the classic table does not know.
#ifndef KORVELO_OUTPUT_MAP_ICONS_H_
#define KORVELO_OUTPUT_MAP_ICONS_H_

#include <cstddef>
#include <string_view>

#include "input/cache_record.h"
#include "output/icons.h"

namespace korvelo {

// File name of `icon` in assets/icons/geocaching/icons ("icon_found.png");
// empty for Icon::kNone.
std::string_view IconFile(Icon icon);

// The icon file of a cache whose type is in no row of the type table, for a
// Complete file: its own for Giga-Event, Lab and Community Celebration
// caches, the generic cache icon for every other type.
std::string_view NewerTypeIconFile(std::string_view type);

// The icon of one placemark as a file name, possibly empty: IconOf, and for
// a cache of a type in no row (`newer_type`) from a Complete file that the
// classic KML leaves without icon, NewerTypeIconFile.
std::string_view PlacemarkIconFile(const CacheRecord& record, int function,
                                   bool showDisabled, bool newer_type);

// The list icon of the folder of type row `row` (kCacheTypes), its Solved
// folder when `solved`.
Icon RowListIcon(size_t row, bool solved);

}  // namespace korvelo

#endif  // KORVELO_OUTPUT_MAP_ICONS_H_

// Moved caches: lines of a moves file ("GC1234;N50° 12.345;E008° 45.678")
// give caches new coordinates and the moved flag.
#ifndef KORVELO_CACHELIST_MOVES_H_
#define KORVELO_CACHELIST_MOVES_H_

#include <string>
#include <string_view>
#include <vector>

#include "input/cache_record.h"

namespace korvelo {

// The text up to, not including, its first "//"; the whole text without one.
std::string StripComment(std::string_view text);

// Appends the pieces of `text` between the `separator` bytes to `pieces`
// (empty pieces included; an empty text gives one empty piece) and returns
// the list's size afterwards.
int SplitAt(char separator, std::string_view text,
            std::vector<std::string>& pieces);

// Applies one moves line (comment already stripped): three ";" fields, the
// latitude and longitude each with one degree sign (the byte B0, or the UTF-8
// pair C2 B0). Sets the four degree and minute fields, lat, lon and moved; a
// malformed line changes nothing.
void MoveTo(CacheRecord& record, std::string line);

}  // namespace korvelo

#endif  // KORVELO_CACHELIST_MOVES_H_

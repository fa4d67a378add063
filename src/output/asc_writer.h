// WriteAsc: POI-Warner point files, one per cache type that has caches.
#ifndef KORVELO_OUTPUT_ASC_WRITER_H_
#define KORVELO_OUTPUT_ASC_WRITER_H_

#include <string>

#include "cachelist/cache_list.h"

namespace korvelo {

// `pattern` is a full file name whose last "%s" takes the type's short name;
// every other character is copied literally. With `highwayOnly` only
// motorway caches are written. Throws FileError naming the target.
void WriteAsc(const CacheList& list, const std::string& pattern,
              bool highwayOnly);

}  // namespace korvelo

#endif  // KORVELO_OUTPUT_ASC_WRITER_H_

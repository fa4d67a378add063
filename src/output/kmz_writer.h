// WriteKmz: the run's caches as self-contained .kmz maps, the same map as
// the classic KML in KML 2.2 with every icon inside.
#ifndef KORVELO_OUTPUT_KMZ_WRITER_H_
#define KORVELO_OUTPUT_KMZ_WRITER_H_

#include <string>

#include "cachelist/cache_list.h"
#include "output/conversion_settings.h"

namespace korvelo {

// Writes NAME.kmz wherever WriteKml with the same arguments writes
// NAME.kml, and no .kml: the same folders, placemarks and icon choices,
// plus a folder per cache type the type table does not know (in the
// per-type mode, together in the file BASE_Other.kmz, written only when
// there are such caches). A file of more than kMaxFeaturesPerFile features
// continues in NAME-2.kmz, NAME-3.kmz, ... Each archive holds doc.kml,
// then icons/NAME.png for exactly the icons it uses. Each file is replaced
// atomically; throws FileError naming it, an earlier file of that name then
// left as it was.
void WriteKmz(const CacheList& list, const std::string& path, int function,
              const ConversionSettings& settings);

}  // namespace korvelo

#endif  // KORVELO_OUTPUT_KMZ_WRITER_H_

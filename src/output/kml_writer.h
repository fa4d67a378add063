// WriteKml: the run's caches as KML 2.0 documents for Google Earth.
#ifndef KORVELO_OUTPUT_KML_WRITER_H_
#define KORVELO_OUTPUT_KML_WRITER_H_

#include <string>

#include "cachelist/cache_list.h"
#include "output/conversion_settings.h"

namespace korvelo {

// Writes the KML file or files of a run with the FileFunction `function`.
// `path` is the KML folder with a trailing separator + base name + ".kml".
// Of the settings, OutputKmlDirFileMode (0 per input file, 1 per cache type,
// else one file) decides the split, bSmallIcons and bShowDisable the icons.
// Throws FileError naming the target; an earlier file of that name is then
// left as it was.
void WriteKml(const CacheList& list, const std::string& path, int function,
              const ConversionSettings& settings);

}  // namespace korvelo

#endif  // KORVELO_OUTPUT_KML_WRITER_H_

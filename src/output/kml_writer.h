// WriteKml: the run's caches as KML 2.0 documents for Google Earth.
#ifndef KORVELO_OUTPUT_KML_WRITER_H_
#define KORVELO_OUTPUT_KML_WRITER_H_

#include <optional>
#include <ostream>
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

// What one KML document holds besides the caches.
struct KmlDocument {
  std::string name;  // the document's name element
  int function = 1;  // FileFunction of the run
  bool smallIcons = false;
  bool showDisabled = false;
  // Per-type file: only this row of kCacheTypes, with its style line.
  std::optional<size_t> onlyRow;
  // Per-input file: only the records whose `file` equals this title.
  std::optional<std::string> onlyFile;
};

// Writes one whole KML document for `list` to `out`, piece by piece; a failed
// write shows in the stream's state (or its exceptions, when enabled).
void WriteKmlDocument(std::ostream& out, const CacheList& list,
                      const KmlDocument& document);

}  // namespace korvelo

#endif  // KORVELO_OUTPUT_KML_WRITER_H_

// The doc.kml of a self-contained map: KML 2.2 in the element order of its
// schema, shared styles, icons relative to the archive.
#ifndef KORVELO_OUTPUT_KMZ_DOCUMENT_H_
#define KORVELO_OUTPUT_KMZ_DOCUMENT_H_

#include <ostream>
#include <string_view>
#include <vector>

#include "output/kmz_plan.h"

namespace korvelo {

// The icon files `part` refers to (list and placemark icons), each once, in
// order of first use; none for the empty icon.
std::vector<std::string_view> IconsOfPart(const KmzPart& part);

// Writes `part` as a KML 2.2 document. Every text from the caches is
// escaped and made well-formed UTF-8; a placemark's description is the
// HTML of the cache page link followed by the description as its owner
// wrote it, as text.
void WriteKmzDocument(std::ostream& out, const KmzPart& part);

// The href of an icon file inside the archive ("icons/icon_found.png").
std::string IconEntryName(std::string_view icon);

}  // namespace korvelo

#endif  // KORVELO_OUTPUT_KMZ_DOCUMENT_H_

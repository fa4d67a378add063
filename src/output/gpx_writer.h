// WriteGpx: the run's final list as a pocket-query GPX (GPX 1.0 with the
// Groundspeak cache extension) for GPS units and phone apps.
#ifndef KORVELO_OUTPUT_GPX_WRITER_H_
#define KORVELO_OUTPUT_GPX_WRITER_H_

#include <ostream>
#include <string>

#include "cachelist/cache_list.h"

namespace korvelo {

// Writes the document to `out`: the XML declaration, the gpx root (GPX 1.0
// namespace, this program as creator, the namespace declarations of the
// inputs' roots), the list's base name and the bounds of the written
// waypoints, and no clock time, so the same list gives the same bytes. Then
// each record of the list that has an original cache text, in list order,
// as that text byte for byte, except that a moved cache carries its new
// coordinates (MovedWaypoint) and, with the file function Found, every cache
// its found symbol. Behind each cache follow, in file order, the additional
// waypoints whose code without its first two characters equals the cache's
// code without its first two characters; each is written once, and those of
// caches not written are not written at all. The texts kept in their input
// files are read from there on a second thread, a few megabytes ahead of
// the writing; throws the FileError of OriginalTextReader::Read when one
// cannot be, once the bytes before it are written.
void WriteGpx(const CacheList& list, int function, std::ostream& out);

// The same into the file at `path`, replaced only once complete and keeping
// the permission bits of the file it replaces. Throws FileError naming
// `path`, or naming an input whose kept texts can no longer be read as they
// were loaded (OriginalTextReader); an earlier file at `path` then stays as
// it was.
void WriteGpxFile(const CacheList& list, const std::string& path, int function);

}  // namespace korvelo

#endif  // KORVELO_OUTPUT_GPX_WRITER_H_

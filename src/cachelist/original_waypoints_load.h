// Filling OriginalWaypoints while a GPX text is loaded, and reading the
// additional-waypoints file that a pocket query puts beside its caches.
#ifndef KORVELO_CACHELIST_ORIGINAL_WAYPOINTS_LOAD_H_
#define KORVELO_CACHELIST_ORIGINAL_WAYPOINTS_LOAD_H_

#include <functional>
#include <string_view>

#include "cachelist/original_waypoints.h"
#include "input/waypoints.h"
#include "platform/input_file.h"

namespace korvelo {

// True when the file name of `path` contains "-wpts" and ends in ".gpx" (in
// any letter case): the additional waypoints of a pocket query.
bool IsAdditionalWaypointsFile(std::string_view path);

// Makes the record of one waypoint text and returns its code; the view must
// stay valid until the next call.
using RecordMaker = std::function<std::string_view(std::string_view wpt)>;

// Cuts the text that `source` delivers into waypoints and keeps each one's
// text in `originals`: as an additional waypoint when `path` names an
// additional-waypoints file, else as the text of the cache whose code
// `make_record` returns (without it, no record is made and the code is the
// waypoint's name element). The namespace declarations of the text's gpx
// root are kept as well. With `file`, the plain file that `source` reads
// from its first byte, the texts stay in that file (KeptText); without it
// they are copied. Throws what `source` throws.
void AppendOriginals(OriginalWaypoints& originals,
                     const WaypointCutter::Source& source,
                     std::string_view path, const RecordMaker& make_record,
                     const InputFile* file = nullptr);

// For a GPX file that is no additional-waypoints file, reads the one beside
// it (the same name with "-wpts" before the extension) into `originals`, when
// there is one. An additional file that cannot be read only adds nothing.
void LoadAdditionalBeside(OriginalWaypoints& originals, std::string_view path);

}  // namespace korvelo

#endif  // KORVELO_CACHELIST_ORIGINAL_WAYPOINTS_LOAD_H_

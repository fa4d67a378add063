// Cutting a GPX text into the texts of its wpt elements.
#ifndef KORVELO_INPUT_WAYPOINTS_H_
#define KORVELO_INPUT_WAYPOINTS_H_

#include <string_view>
#include <vector>

namespace korvelo {

// The text of every complete "<wpt" ... "</wpt>" pair, in file order: from
// the "<" of "<wpt" up to, not including, "</wpt>" (so the character right
// in front of the end tag is kept). Views into `text`; nothing outside wpt
// elements is looked at.
std::vector<std::string_view> CutWaypoints(std::string_view text);

}  // namespace korvelo

#endif  // KORVELO_INPUT_WAYPOINTS_H_

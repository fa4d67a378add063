#include "input/waypoints.h"

namespace korvelo {

std::vector<std::string_view> CutWaypoints(std::string_view text) {
  std::vector<std::string_view> waypoints;
  size_t from = 0;
  for (;;) {
    const size_t start = text.find("<wpt", from);
    if (start == std::string_view::npos) break;
    const size_t end = text.find("</wpt>", start);
    if (end == std::string_view::npos) break;
    waypoints.push_back(text.substr(start, end - start));
    from = end;
  }
  return waypoints;
}

}  // namespace korvelo

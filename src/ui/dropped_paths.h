// The paths of a drag: local files and folders only, in byte order.
#ifndef KORVELO_UI_DROPPED_PATHS_H_
#define KORVELO_UI_DROPPED_PATHS_H_

#include <QMimeData>
#include <string>
#include <vector>

namespace korvelo {

// The local file and folder paths a drag carries, byte for byte as the file
// system names them (also names that are not UTF-8), sorted ascending by
// bytes: upper case before lower case, equal paths keep their order. Empty
// when the drag carries no local path (text, web addresses).
std::vector<std::string> DroppedPaths(const QMimeData& data);

}  // namespace korvelo

#endif  // KORVELO_UI_DROPPED_PATHS_H_

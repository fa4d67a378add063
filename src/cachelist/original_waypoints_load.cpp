#include "cachelist/original_waypoints_load.h"

#include <algorithm>
#include <string>

#include "input/text.h"
#include "platform/file_error.h"
#include "platform/input_file.h"

namespace korvelo {
namespace {

// The root start tag stands in the first bytes of any real GPX file; a text
// whose tag starts later keeps no namespaces.
constexpr size_t kHeadSize = 64 << 10;

std::string_view FileNameOf(std::string_view path) {
  const size_t slash = path.rfind('/');
  return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

// The start tag "<gpx ...>" in `head`, or empty.
std::string_view RootTag(std::string_view head) {
  for (size_t at = head.find("<gpx"); at != std::string_view::npos;
       at = head.find("<gpx", at + 1)) {
    const size_t after = at + 4;
    if (after >= head.size()) break;
    if (std::string_view(" \t\r\n>").find(head[after]) ==
        std::string_view::npos) {
      continue;  // "<gpxx:..." and the like
    }
    const size_t close = head.find('>', after);
    if (close == std::string_view::npos) break;
    return head.substr(at, close + 1 - at);
  }
  return {};
}

}  // namespace

bool IsAdditionalWaypointsFile(std::string_view path) {
  const std::string_view name = FileNameOf(path);
  return name.find("-wpts") != std::string_view::npos && name.size() >= 4 &&
         EqualsIgnoringAsciiCase(name.substr(name.size() - 4), ".gpx");
}

void AppendOriginals(OriginalWaypoints& originals,
                     const WaypointCutter::Source& source,
                     std::string_view path, const RecordMaker& make_record) {
  const bool additional = IsAdditionalWaypointsFile(path);
  std::string head;
  WaypointCutter cutter([&](char* data, size_t size) {
    const size_t got = source(data, size);
    if (head.size() < kHeadSize) {
      head.append(data, std::min(got, kHeadSize - head.size()));
    }
    return got;
  });
  std::string_view wpt;
  while (cutter.Next(wpt)) {
    std::string name;
    std::string_view code;
    if (make_record) {
      code = make_record(wpt);
    } else {
      name = ExtractElement(wpt, "name");
      code = name;
    }
    if (additional) {
      originals.AddAdditional(code, wpt);
    } else {
      originals.AddCache(code, wpt);
    }
  }
  originals.AddNamespaces(RootTag(head));
}

void LoadAdditionalBeside(OriginalWaypoints& originals, std::string_view path) {
  if (IsAdditionalWaypointsFile(path) || path.size() < 4) return;
  const std::string beside = std::string(path.substr(0, path.size() - 4)) +
                             "-wpts" +
                             std::string(path.substr(path.size() - 4));
  try {
    InputFile input(beside);
    AppendOriginals(
        originals,
        [&input](char* data, size_t size) { return input.Read(data, size); },
        beside, nullptr);
  } catch (const FileError&) {
    // Missing or unreadable: the caches are written without their waypoints.
  }
}

}  // namespace korvelo

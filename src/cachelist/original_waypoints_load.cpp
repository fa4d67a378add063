#include "cachelist/original_waypoints_load.h"

#include <algorithm>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "input/elements.h"
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

// A cutter's source that keeps the first bytes of the text (where the root
// start tag stands) and knows where each byte the cutter holds stands in
// the text. The cutter reads each piece behind the bytes it still holds,
// and those stay where they are until it reads again, so a waypoint's place
// follows from where the last piece went. The checksum each text keeps
// would turn a wrong place into a failed write, never into wrong bytes.
class WatchedSource {
 public:
  explicit WatchedSource(const WaypointCutter::Source& source)
      : source_(source) {}

  size_t operator()(char* data, size_t size) {
    const size_t got = source_(data, size);
    piece_ = data;
    piece_offset_ = delivered_;
    delivered_ += got;
    if (head_.size() < kHeadSize) {
      head_.append(data, std::min(got, kHeadSize - head_.size()));
    }
    return got;
  }

  // Where the text the cutter just gave starts in the whole text.
  uint64_t OffsetOf(std::string_view wpt) const {
    return piece_offset_ + (wpt.data() - piece_);
  }
  const std::string& head() const { return head_; }

 private:
  const WaypointCutter::Source& source_;
  std::string head_;
  uint64_t delivered_ = 0;
  uint64_t piece_offset_ = 0;  // where the last piece starts in the text
  const char* piece_ = nullptr;
};

}  // namespace

bool IsAdditionalWaypointsFile(std::string_view path) {
  const std::string_view name = FileNameOf(path);
  return name.find("-wpts") != std::string_view::npos && name.size() >= 4 &&
         EqualsIgnoringAsciiCase(name.substr(name.size() - 4), ".gpx");
}

void AppendOriginals(OriginalWaypoints& originals,
                     const WaypointCutter::Source& source,
                     std::string_view path, const RecordMaker& make_record,
                     const InputFile* file) {
  const bool additional = IsAdditionalWaypointsFile(path);
  const uint32_t file_index =
      file != nullptr ? originals.AddFile(file->path(), file->Stamp()) : 0;
  WatchedSource watched(source);
  WaypointCutter cutter(std::ref(watched));
  // The texts of a file are indexed once it is cut, in file order: their
  // index entries then lie together in memory instead of between the
  // records' texts, which makes the lookups of the load and of the output
  // several times faster.
  std::vector<std::pair<std::string, KeptText>> texts;
  std::string_view wpt;
  while (cutter.Next(wpt)) {
    std::string code = make_record ? std::string(make_record(wpt))
                                   : ExtractElement(wpt, "name");
    texts.emplace_back(
        std::move(code),
        file != nullptr
            ? originals.KeepInFile(wpt, file_index, watched.OffsetOf(wpt))
            : originals.KeepCopy(wpt));
  }
  for (const auto& [code, text] : texts) {
    if (additional) {
      originals.AddAdditional(code, text);
    } else {
      originals.AddCache(code, text);
    }
  }
  originals.AddNamespaces(RootTag(watched.head()));
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
        beside, nullptr, &input);
  } catch (const FileError&) {
    // Missing or unreadable: the caches are written without their waypoints.
  }
}

}  // namespace korvelo

#include "input/input_files.h"

#include <algorithm>

#include "platform/file_error.h"
#include "platform/files.h"

namespace korvelo {
namespace {

constexpr std::string_view kLineEnds("\r\n\x1a", 3);

}  // namespace

bool LoadFileBytes(std::string_view path, std::string& bytes) {
  try {
    ReadWholeFile(path, bytes);
    return true;
  } catch (const FileError&) {
    // Only file errors mean "cannot be read"; running out of memory is
    // not one and reaches the face.
    return false;
  }
}

bool ReadLines(std::string_view path, std::vector<std::string>& lines) {
  std::string bytes;
  if (!LoadFileBytes(path, bytes)) return false;
  SplitLines(bytes, lines);
  return true;
}

void SplitLines(std::string_view bytes, std::vector<std::string>& lines) {
  lines.clear();
  size_t start = 0;
  for (;;) {
    // The end of the data counts as one more line end.
    const size_t end =
        std::min(bytes.find_first_of(kLineEnds, start), bytes.size());
    const std::string_view line = bytes.substr(start, end - start);
    lines.emplace_back(line.substr(0, line.find('\0')));
    const size_t next = bytes.find_first_not_of(kLineEnds, end);
    if (next == std::string_view::npos) return;
    start = next;
  }
}

}  // namespace korvelo

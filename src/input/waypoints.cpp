#include "input/waypoints.h"

#include <algorithm>
#include <cstring>

#include "input/find_text.h"

namespace korvelo {
namespace {

constexpr std::string_view kStart = "<wpt";
constexpr std::string_view kEnd = "</wpt>";

}  // namespace

bool WaypointCutter::Next(std::string_view& wpt) {
  for (;;) {
    if (!FindStart()) return false;
    bool whole = true;
    const size_t end = FindEnd(whole);
    if (end == std::string::npos) return false;
    from_ = end;
    if (whole && end - begin_ <= max_waypoint_) {
      wpt = text().substr(begin_, end - begin_);
      return true;
    }
  }
}

// Moves begin_ to the next "<wpt", reading on as needed; false when the
// text ends first.
bool WaypointCutter::FindStart() {
  for (;;) {
    const size_t start = FindText(text(), kStart, from_);
    if (start != std::string::npos) {
      begin_ = start;
      return true;
    }
    // Only the last bytes can be the beginning of a "<wpt" that the next
    // piece completes.
    const size_t keep = std::min(size_, kStart.size() - 1);
    begin_ = from_ = std::max(from_, size_ - keep);
    if (!Fill()) return false;
  }
}

// Position of the first "</wpt>" behind begin_, reading on as needed; npos
// when the text ends first. A waypoint that outgrows max_waypoint_ is let go
// while the search goes on (`whole` turns false): only the bytes that can
// begin its end tag are kept.
size_t WaypointCutter::FindEnd(bool& whole) {
  size_t from = begin_;
  for (;;) {
    const size_t end = FindText(text(), kEnd, from);
    if (end != std::string::npos) return end;
    const size_t keep = std::min(size_ - begin_, kEnd.size() - 1);
    from = size_ - keep;
    if (size_ - begin_ > max_waypoint_) {
      whole = false;
      begin_ = from;
    }
    const size_t shift = begin_;
    if (!Fill()) return std::string::npos;
    from -= shift;
  }
}

// Drops the bytes before begin_ (all positions move down by begin_) and
// appends the next piece; false when the text has ended.
bool WaypointCutter::Fill() {
  if (ended_) return false;
  const size_t kept = size_ - begin_;
  if (kept + kPiece > capacity_) {
    const size_t capacity = std::max(2 * capacity_, kept + kPiece);
    auto grown = std::make_unique_for_overwrite<char[]>(capacity);
    if (kept > 0) std::memcpy(grown.get(), buffer_.get() + begin_, kept);
    buffer_ = std::move(grown);
    capacity_ = capacity;
  } else if (kept > 0 && begin_ > 0) {
    std::memmove(buffer_.get(), buffer_.get() + begin_, kept);
  }
  from_ -= std::min(from_, begin_);
  begin_ = 0;
  size_ = kept;
  const size_t got = source_(buffer_.get() + size_, kPiece);
  const char* zero =
      static_cast<const char*>(std::memchr(buffer_.get() + size_, '\0', got));
  size_ += zero != nullptr ? zero - (buffer_.get() + size_) : got;
  if (got == 0 || zero != nullptr) ended_ = true;
  return size_ > kept;
}

}  // namespace korvelo

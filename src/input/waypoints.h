// Cutting a GPX text into the texts of its wpt elements.
#ifndef KORVELO_INPUT_WAYPOINTS_H_
#define KORVELO_INPUT_WAYPOINTS_H_

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace korvelo {

// The texts of the wpt elements of a text that arrives in pieces (a file, an
// unpacked archive entry), in file order: each from the "<" of "<wpt" up to,
// not including, the next "</wpt>" (so the character right in front of the
// end tag is kept); nothing outside wpt elements is looked at. Only the
// waypoint being cut and one piece are held: the text ends at its first zero
// byte or where the source ends. A waypoint longer than `maxWaypoint` bytes
// is skipped whole instead of being held; the cut goes on behind its
// "</wpt>". No real waypoint comes near the default, but a file that is one
// endless "<wpt" would otherwise have to be held whole.
class WaypointCutter {
 public:
  // Fills `data` with up to `size` bytes; 0 at the end. May throw.
  using Source = std::function<size_t(char* data, size_t size)>;

  static constexpr size_t kPiece = 1 << 20;
  static constexpr size_t kMaxWaypoint = 64 << 20;

  explicit WaypointCutter(Source source, size_t maxWaypoint = kMaxWaypoint)
      : source_(std::move(source)), max_waypoint_(maxWaypoint) {}

  // The next waypoint's text, valid until the next call; false at the end.
  bool Next(std::string_view& wpt);

 private:
  bool FindStart();
  size_t FindEnd(bool& whole);
  bool Fill();
  std::string_view text() const { return {buffer_.get(), size_}; }

  Source source_;
  size_t max_waypoint_;
  // The bytes read and not yet given up; not a std::string, whose growth
  // would clear every piece before it is read into.
  std::unique_ptr<char[]> buffer_;
  size_t size_ = 0;
  size_t capacity_ = 0;
  size_t begin_ = 0;  // text_ before this is no longer needed
  size_t from_ = 0;   // where the search for the next "<wpt" starts
  bool ended_ = false;
};

}  // namespace korvelo

#endif  // KORVELO_INPUT_WAYPOINTS_H_

// The waypoint cut over texts that arrive in pieces.
#include "input/waypoints.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace korvelo {
namespace {

using Texts = std::vector<std::string>;

// Cuts `text` delivered `piece` bytes per read (0 alternating 1, 2, 3 ...).
Texts InPieces(const std::string& text, size_t piece,
               size_t maxWaypoint = WaypointCutter::kMaxWaypoint) {
  size_t at = 0;
  size_t reads = 0;
  WaypointCutter cutter(
      [&](char* data, size_t size) {
        const size_t step = piece > 0 ? piece : 1 + reads++ % 7;
        const size_t n = std::min({size, step, text.size() - at});
        std::memcpy(data, text.data() + at, n);
        at += n;
        return n;
      },
      maxWaypoint);
  Texts out;
  std::string_view wpt;
  while (cutter.Next(wpt)) out.emplace_back(wpt);
  return out;
}

struct CutCase {
  std::string text;
  Texts waypoints;
};

TEST(WaypointCutter, GivesTheSameWaypointsWhereverThePiecesEnd) {
  const CutCase cases[] = {
      // The byte in front of "</wpt>" stays; text outside wpt is not looked at.
      {"<gpx><wpt lat=\"1\"><name>A</name></wpt>\r\n<wpt><name>B</name></wpt>",
       {"<wpt lat=\"1\"><name>A</name>", "<wpt><name>B</name>"}},
      {"<wpt>x</wpt></wpt><wpt>y</wpt", {"<wpt>x"}},  // stray end, unclosed
      {"<wp<wpt a</wp</wpt><w<wpt b</wpt>", {"<wpt a</wp", "<wpt b"}},
      {"<wpt<wpt inner</wpt>", {"<wpt<wpt inner"}},  // nested starts
      {std::string("<wpt>a</wpt>\0<wpt>b</wpt>", 25), {"<wpt>a"}},  // ends at 0
      {"<gpx>no waypoint</gpx>", {}},
      {"", {}}};
  for (const CutCase& c : cases) {
    for (size_t piece : {0, 1, 3, 7, 64}) {
      EXPECT_EQ(InPieces(c.text, piece), c.waypoints)
          << ::testing::PrintToString(c.text) << " piece " << piece;
    }
  }
}

// Reads as large as the cutter asks for: its own piece ends fall inside the
// start tag or the end tag.
TEST(WaypointCutter, FindsTagsAcrossItsOwnPieceEnds) {
  const size_t piece = WaypointCutter::kPiece;
  for (size_t back = 0; back <= 6; ++back) {
    const std::string before(piece - back, ' ');
    EXPECT_EQ(InPieces(before + "<wpt>x</wpt>", piece), Texts{"<wpt>x"})
        << back;
    const std::string inside = "<wpt>" + std::string(piece - 5 - back, 'y');
    EXPECT_EQ(InPieces(inside + "</wpt><wpt>z</wpt>", piece),
              (Texts{inside, "<wpt>z"}))
        << back;
  }
}

TEST(WaypointCutter, SkipsAWaypointLongerThanTheLimitAndGoesOn) {
  const std::string text =
      "<wpt>short</wpt><wpt>" + std::string(100, 'x') + "</wpt><wpt>ok</wpt>";
  for (size_t piece : {0, 1, 1000}) {
    EXPECT_EQ(InPieces(text, piece, 50), (Texts{"<wpt>short", "<wpt>ok"}));
  }
  // Without an end tag the text simply ends; nothing is given.
  EXPECT_EQ(InPieces("<wpt>" + std::string(1000, 'x'), 3, 50), Texts{});
}

}  // namespace
}  // namespace korvelo

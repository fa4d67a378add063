// The waypoint cut over whole texts and over texts that arrive in pieces.
#include "input/waypoints.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace korvelo {
namespace {

using Texts = std::vector<std::string>;

Texts Whole(std::string_view text) {
  Texts out;
  for (std::string_view wpt : CutWaypoints(text)) out.emplace_back(wpt);
  return out;
}

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

TEST(WaypointCut, GivesTheSameWaypointsWhereverThePiecesEnd) {
  const std::string texts[] = {
      "<gpx><wpt lat=\"1\"><name>A</name></wpt>\r\n<wpt><name>B</name></wpt>",
      "<wpt>x</wpt></wpt><wpt>y</wpt",      // a stray end tag, an unclosed one
      "<wp<wpt a</wp</wpt><w<wpt b</wpt>",  // near misses on both tags
      "<wpt<wpt inner</wpt>",               // nested starts
      std::string("<wpt>a</wpt>\0<wpt>b</wpt>", 25)};  // text ends at a zero
  for (const std::string& text : texts) {
    const Texts expected = Whole(text.substr(0, text.find('\0')));
    for (size_t piece : {0, 1, 3, 7, 64}) {
      EXPECT_EQ(InPieces(text, piece), expected)
          << ::testing::PrintToString(text) << " piece " << piece;
    }
  }
}

TEST(WaypointCut, SkipsAWaypointLongerThanTheLimitAndGoesOn) {
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

// The waypoint cut over texts that arrive in pieces, and the second-thread
// reader that delivers them: the same bytes in the same order as the source
// gives them, its failure in its place, and no hang when the reader stops.
#include "input/waypoints.h"

#include <gtest/gtest.h>
#include <signal.h>

#include <algorithm>
#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

#include "input/read_ahead.h"

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

constexpr size_t kMiB = size_t{1} << 20;

// Whether the calling thread holds the stop signals back.
bool SignalsHeld() {
  sigset_t mask;
  pthread_sigmask(SIG_BLOCK, nullptr, &mask);
  return sigismember(&mask, SIGTERM) && sigismember(&mask, SIGINT) &&
         sigismember(&mask, SIGHUP);
}

// `total` bytes counting up, a piece per call, throwing at `fail_at`; notes
// whether every call ran with the stop signals held.
struct CountingSource {
  size_t total, fail_at = std::string::npos, made = 0;
  bool held = true;
  size_t operator()(char* data, size_t size) {
    held = held && SignalsHeld();
    if (made >= fail_at) throw std::runtime_error("broken entry");
    const size_t n = std::min({size, total - made, fail_at - made});
    for (size_t i = 0; i < n; ++i)
      data[i] = static_cast<char>((made + i) % 251);
    made += n;
    return n;
  }
};

// The rows wrap the ring of four pieces and fail after a short piece or at
// once; the copied reads cross the pieces' ends. "!" marks a rethrown failure.
// The clean-up on a stop signal must run on the reading thread only.
TEST(ReadAhead, GivesTheSourcesBytesInOrderAndItsFailureAfterThem) {
  for (CountingSource source :
       {CountingSource{7 * kMiB + 5}, {9 * kMiB, 6 * kMiB + 7}, {100, 0}}) {
    const size_t end = std::min(source.total, source.fail_at);
    std::string got, expected, buffer(333, '\0');
    for (size_t i = 0; i < end; ++i) expected += static_cast<char>(i % 251);
    if (end < source.total) expected += "!";
    try {
      ReadAhead ahead(std::ref(source));
      // Copied reads and whole pieces taken in turn.
      for (bool copy = true;; copy = !copy) {
        if (copy) {
          const size_t n = ahead(buffer.data(), buffer.size());
          if (n == 0) break;
          got.append(buffer, 0, n);
        } else {
          const std::string_view piece = ahead.Take();
          if (piece.empty()) break;
          got += piece;
        }
      }
    } catch (const std::runtime_error&) {
      got += "!";
    }
    EXPECT_EQ(got, expected) << source.total;
    EXPECT_TRUE(source.held && !SignalsHeld());
  }
}

// A reader that stops early leaves the other thread waiting for a free
// piece; going away must still end it.
TEST(ReadAhead, EndsWhenTheReaderStopsEarly) {
  CountingSource source{64 * kMiB};
  {
    ReadAhead ahead(std::ref(source));
    char byte;
    ASSERT_EQ(ahead(&byte, 1), 1u);
  }
  EXPECT_LT(source.made, 64 * kMiB);
}
}  // namespace
}  // namespace korvelo

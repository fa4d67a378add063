// The second-thread reader: the same bytes in the same order as the source
// gives them, its failure in its place, and no hang when the reader stops.
#include "input/read_ahead.h"

#include <gtest/gtest.h>
#include <signal.h>

#include <algorithm>
#include <stdexcept>
#include <string>

namespace korvelo {
namespace {

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
// once; the reads cross the pieces' ends. "!" marks a rethrown failure. The
// clean-up on a stop signal must run on the reading thread only.
TEST(ReadAhead, GivesTheSourcesBytesInOrderAndItsFailureAfterThem) {
  for (CountingSource source :
       {CountingSource{7 * kMiB + 5}, {9 * kMiB, 6 * kMiB + 7}, {100, 0}}) {
    const size_t end = std::min(source.total, source.fail_at);
    std::string got, expected, buffer(333, '\0');
    for (size_t i = 0; i < end; ++i) expected += static_cast<char>(i % 251);
    if (end < source.total) expected += "!";
    try {
      ReadAhead ahead(std::ref(source));
      while (const size_t n = ahead(buffer.data(), buffer.size()))
        got.append(buffer, 0, n);
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

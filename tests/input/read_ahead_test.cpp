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

// `total` bytes counting up, `step` per call; throws at `fail_at` if set.
struct CountingSource {
  size_t total, step, fail_at = std::string::npos, made = 0;
  size_t operator()(char* data, size_t size) {
    if (made >= fail_at) throw std::runtime_error("broken entry");
    const size_t n = std::min({size, step, total - made, fail_at - made});
    for (size_t i = 0; i < n; ++i)
      data[i] = static_cast<char>((made + i) % 251);
    made += n;
    return n;
  }
};

std::string Expected(size_t total) {
  std::string bytes;
  for (size_t i = 0; i < total; ++i) bytes += static_cast<char>(i % 251);
  return bytes;
}

// Reads everything `take` bytes at a time; "!" marks a rethrown failure.
std::string ReadAll(ReadAhead& ahead, size_t take) {
  std::string got, buffer(take, '\0');
  try {
    while (const size_t n = ahead(buffer.data(), take))
      got.append(buffer, 0, n);
  } catch (const std::runtime_error&) {
    got += "!";
  }
  return got;
}

TEST(ReadAhead, GivesTheSourcesBytesInOrderAndItsFailureAfterThem) {
  constexpr size_t kMiB = size_t{1} << 20;
  const struct {
    size_t total, step, take, fail_at;
  } rows[] = {
      {0, 1, 10, std::string::npos},                  // empty source
      {7 * kMiB + 5, kMiB, kMiB, std::string::npos},  // ring wraps
      {3 * kMiB, 1000, 4096, std::string::npos},      // small pieces
      {5 * kMiB, kMiB, 333, std::string::npos},       // small reads
      {9 * kMiB, kMiB, kMiB, 6 * kMiB + 7},           // fails late
      {100, 10, 64, 0},                               // fails at once
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.total);
    CountingSource source{row.total, row.step, row.fail_at};
    ReadAhead ahead(std::ref(source));
    const bool fails = row.fail_at != std::string::npos;
    EXPECT_EQ(ReadAll(ahead, row.take),
              Expected(fails ? row.fail_at : row.total) + (fails ? "!" : ""));
  }
}

// The stop signals' clean-up must run on the reading thread, never on the
// one that makes the bytes.
TEST(ReadAhead, MakesTheBytesWithTheStopSignalsHeld) {
  bool held = false;
  ReadAhead ahead([&held](char*, size_t) {
    sigset_t mask;
    pthread_sigmask(SIG_BLOCK, nullptr, &mask);
    held = sigismember(&mask, SIGTERM) && sigismember(&mask, SIGINT) &&
           sigismember(&mask, SIGHUP);
    return size_t{0};
  });
  char byte;
  ASSERT_EQ(ahead(&byte, 1), 0u);
  EXPECT_TRUE(held);
  sigset_t mine;
  pthread_sigmask(SIG_BLOCK, nullptr, &mine);
  EXPECT_FALSE(sigismember(&mine, SIGTERM));
}

// A reader that stops early leaves the other thread waiting for a free
// piece; going away must still end it.
TEST(ReadAhead, EndsWhenTheReaderStopsEarly) {
  CountingSource source{64 << 20, 1 << 20};
  {
    ReadAhead ahead(std::ref(source));
    char byte;
    ASSERT_EQ(ahead(&byte, 1), 1u);
  }
  EXPECT_LT(source.made, size_t{64} << 20);
}

}  // namespace
}  // namespace korvelo

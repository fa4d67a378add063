// Merge cost when a list is built from many small lists, as a folder of
// single-cache downloads is: prints the time for N one-record merges.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>

#include "cachelist/cache_list.h"

int main(int argc, char** argv) {
  const int count = argc > 1 ? std::atoi(argv[1]) : 20000;
  korvelo::CacheList one;
  one.records.emplace_back();
  one.records[0].raw_description =
      std::string(2000, 'x');  // a realistic record
  korvelo::CacheList all;
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < count; ++i) {
    one.records[0].name = "GC" + std::to_string(i);
    korvelo::CacheList copy = one;
    all.Merge(std::move(copy));
  }
  const std::chrono::duration<double> took =
      std::chrono::steady_clock::now() - start;
  std::printf("%d merges of one record: %.3f s (%d records)\n", count,
              took.count(), all.GetSize());
  return 0;
}

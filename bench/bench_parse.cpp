// Parse benchmark: cuts and parses every waypoint of a generated pocket query
// of 10,000 caches several times, the way the loader does with a GPX file,
// and prints the median and best throughput.
//   bench_parse [caches] [repetitions]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "cachelist/cache_list.h"
#include "input/cache_record.h"
#include "input/record_text.h"
#include "input/waypoints.h"
#include "pq_generator.h"
#include "text_pieces.h"

namespace {

// Cuts the waypoints from pieces of the text and parses each into `chunks`,
// as the loader does, every record naming the one file title; returns the
// count and adds the derived text sizes to `sink` so nothing is optimised
// away.
int ParseAll(std::string_view text, korvelo::RecordChunks& chunks,
             size_t& sink) {
  const korvelo::RecordText file("bench");
  korvelo::WaypointCutter cutter(korvelo::bench::PiecesOf(text));
  std::string_view wpt;
  while (cutter.Next(wpt)) {
    korvelo::CacheRecord& record = chunks.Add(wpt, korvelo::RecordTexts::kAll);
    record.file = file;
    sink += record.raw_description.size() + record.urlname.size();
  }
  return static_cast<int>(chunks.size());
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const size_t n = values.size();
  return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

}  // namespace

int main(int argc, char** argv) {
  const int caches = argc > 1 ? std::atoi(argv[1]) : 10000;
  const int repetitions = argc > 2 ? std::atoi(argv[2]) : 7;
  if (caches <= 0 || repetitions <= 0) {
    std::fprintf(stderr, "usage: bench_parse [caches] [repetitions]\n");
    return 2;
  }
  const std::string text = korvelo::bench::GeneratePocketQuery(caches, 1);
  std::vector<double> seconds;
  size_t sink = 0;
  int parsed = 0;
  for (int i = 0; i < repetitions; ++i) {
    // The records are freed after the clock stops: a load keeps them.
    korvelo::RecordChunks chunks;
    const auto start = std::chrono::steady_clock::now();
    parsed = ParseAll(text, chunks, sink);
    const std::chrono::duration<double> took =
        std::chrono::steady_clock::now() - start;
    seconds.push_back(took.count());
  }
  const double megabytes = text.size() / 1e6;
  const double median = Median(seconds);
  const double best = *std::min_element(seconds.begin(), seconds.end());
  std::printf("%d caches, %.1f MB (%.0f bytes/cache), %d repetitions\n", parsed,
              megabytes, static_cast<double>(text.size()) / parsed,
              repetitions);
  std::printf("median %.1f ms: %.1f MB/s, %.0f caches/s\n", median * 1e3,
              megabytes / median, parsed / median);
  std::printf("best   %.1f ms: %.1f MB/s, %.0f caches/s\n", best * 1e3,
              megabytes / best, parsed / best);
  return sink == 0 ? 1 : 0;
}

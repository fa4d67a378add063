// Deterministic generator of realistic pocket-query GPX texts, for the parse
// benchmark and the sample file in examples/.
#ifndef KORVELO_BENCH_PQ_GENERATOR_H_
#define KORVELO_BENCH_PQ_GENERATOR_H_

#include <cstdint>
#include <string>

namespace korvelo::bench {

// A GPX 1.0 pocket query of `count` caches as the listing site writes one:
// CR LF line ends, Groundspeak cache elements, entity-escaped HTML
// descriptions with German umlauts in UTF-8, hints and several logs, about
// 4 to 8 KB per cache. The same count and seed give the same bytes.
std::string GeneratePocketQuery(int count, uint64_t seed);

}  // namespace korvelo::bench

#endif  // KORVELO_BENCH_PQ_GENERATOR_H_

#include "input/find_text.h"

#include <cstring>

#ifdef __SSE2__
#include <emmintrin.h>
#include <immintrin.h>
#endif

namespace korvelo {
namespace {

#ifdef __SSE2__
// The first of the candidates at `at` + each set bit of `mask` (whose first
// and last bytes match) whose inside matches too, or npos.
size_t FirstMatch(unsigned mask, const char* data, size_t at,
                  std::string_view pattern) {
  for (; mask != 0; mask &= mask - 1) {
    const size_t candidate = at + static_cast<size_t>(__builtin_ctz(mask));
    if (std::memcmp(data + candidate + 1, pattern.data() + 1,
                    pattern.size() - 2) == 0) {
      return candidate;
    }
  }
  return std::string_view::npos;
}
#endif

#ifdef __x86_64__
bool HasAvx2() {
  static const bool has = [] {
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2") != 0;
  }();
  return has;
}

// The sixteen-at-once scan below, thirty-two at once: candidates from `at`
// while a whole step fits before `last_start`. Leaves `at` where it stopped.
__attribute__((target("avx2"))) size_t ScanAvx2(const char* data, size_t& at,
                                                size_t last_start,
                                                std::string_view pattern) {
  const size_t length = pattern.size();
  const __m256i first = _mm256_set1_epi8(pattern.front());
  const __m256i last = _mm256_set1_epi8(pattern.back());
  for (; at + 31 <= last_start; at += 32) {
    const __m256i starts =
        _mm256_loadu_si256(reinterpret_cast<const __m256i*>(data + at));
    const __m256i ends = _mm256_loadu_si256(
        reinterpret_cast<const __m256i*>(data + at + length - 1));
    const auto mask =
        static_cast<unsigned>(_mm256_movemask_epi8(_mm256_and_si256(
            _mm256_cmpeq_epi8(starts, first), _mm256_cmpeq_epi8(ends, last))));
    const size_t found = FirstMatch(mask, data, at, pattern);
    if (found != std::string_view::npos) return found;
  }
  return std::string_view::npos;
}
#endif

size_t FindTextWith(std::string_view text, std::string_view pattern,
                    size_t from, bool wide) {
  constexpr size_t kNone = std::string_view::npos;
  const size_t length = pattern.size();
  if (from > text.size()) return kNone;
  if (length <= 1) return length == 0 ? from : text.find(pattern[0], from);
  if (text.size() - from < length) return kNone;
  const char* const data = text.data();
  const size_t last_start = text.size() - length;
  // A candidate must match the pattern's first and last bytes; both are
  // tested for sixteen (or thirty-two) positions at once, and only
  // candidates are compared.
  const auto matches_inside = [&](size_t at) {
    return std::memcmp(data + at + 1, pattern.data() + 1, length - 2) == 0;
  };
  size_t at = from;
#ifdef __x86_64__
  if (wide) {
    const size_t found = ScanAvx2(data, at, last_start, pattern);
    if (found != kNone) return found;
  }
#else
  (void)wide;
#endif
#ifdef __SSE2__
  const __m128i first = _mm_set1_epi8(pattern.front());
  const __m128i last = _mm_set1_epi8(pattern.back());
  for (; at + 15 <= last_start; at += 16) {
    const __m128i starts =
        _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + at));
    const __m128i ends = _mm_loadu_si128(
        reinterpret_cast<const __m128i*>(data + at + length - 1));
    const auto mask = static_cast<unsigned>(_mm_movemask_epi8(_mm_and_si128(
        _mm_cmpeq_epi8(starts, first), _mm_cmpeq_epi8(ends, last))));
    const size_t found = FirstMatch(mask, data, at, pattern);
    if (found != kNone) return found;
  }
#endif
  for (; at <= last_start; ++at) {
    if (data[at] == pattern.front() &&
        data[at + length - 1] == pattern.back() && matches_inside(at)) {
      return at;
    }
  }
  return kNone;
}

}  // namespace

size_t FindText(std::string_view text, std::string_view pattern, size_t from) {
#ifdef __x86_64__
  return FindTextWith(text, pattern, from, HasAvx2());
#else
  return FindTextWith(text, pattern, from, false);
#endif
}

size_t FindTextNarrow(std::string_view text, std::string_view pattern,
                      size_t from) {
  return FindTextWith(text, pattern, from, false);
}

}  // namespace korvelo

// A text in memory handed out the way the loader reads a file: in pieces of
// the size it asks for.
#ifndef KORVELO_BENCH_TEXT_PIECES_H_
#define KORVELO_BENCH_TEXT_PIECES_H_

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <functional>
#include <string_view>

namespace korvelo::bench {

// A WaypointCutter source over `text`, which must outlive it.
inline std::function<size_t(char*, size_t)> PiecesOf(std::string_view text) {
  return [text, at = size_t{0}](char* data, size_t size) mutable {
    const size_t n = std::min(size, text.size() - at);
    std::memcpy(data, text.data() + at, n);
    at += n;
    return n;
  };
}

}  // namespace korvelo::bench

#endif  // KORVELO_BENCH_TEXT_PIECES_H_

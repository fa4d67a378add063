#include "output/cache_types.h"

#include <gtest/gtest.h>

#include <string>

namespace korvelo {
namespace {

// Index of the only row the type belongs to; -1 for none, -2 for several.
int RowOf(std::string_view type) {
  int found = -1;
  for (size_t row = 0; row < std::size(kCacheTypes); ++row) {
    if (!IsOfType(type, kCacheTypes[row])) continue;
    found = found == -1 ? static_cast<int>(row) : -2;
  }
  return found;
}

TEST(CacheTypes, TypeTextsFindTheirRowIgnoringAsciiCase) {
  const struct {
    std::string type;
    int row;
  } cases[] = {
      {"Cache In Trash Out Event", 0},
      {"earthcache", 1},
      {"EVENT CACHE", 2},
      {"Letterbox Hybrid", 3},
      {"Mega-Event cache", 4},
      {"multi-CACHE", 5},
      {"Traditional Cache", 6},
      {"unknown cache", 7},
      {"Virtual Cache", 8},
      {"Webcam Cache", 9},
      {"Wherigo Cache", 10},
      {"Traditional Cache ", -1},
      {"Traditional", -1},
      {"Letterbox", -1},
      {"Locationless (Reverse) Cache", -1},
      {"", -1},
      {std::string("Earthcache\0", 11), -1},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(RowOf(c.type), c.row) << c.type;
  }
}

}  // namespace
}  // namespace korvelo

// Cache lists for the writer tests, built straight from GPX files with the
// record parser, so the writer tests do not depend on the loader.
#ifndef KORVELO_TESTS_OUTPUT_GPX_LISTS_H_
#define KORVELO_TESTS_OUTPUT_GPX_LISTS_H_

#include <string>
#include <string_view>

#include "cachelist/cache_list.h"
#include "input/cache_record.h"
#include "support/test_support.h"

namespace korvelo::testing {

// Appends one record per complete wpt element of `gpx` (from "<wpt" up to,
// not including, "</wpt>"), each with `file` set to `title`, and adds the
// title to the list's titles.
inline void AppendGpx(CacheList& list, std::string_view gpx,
                      const std::string& title) {
  list.titles.push_back(title);
  size_t at = gpx.find("<wpt");
  while (at != std::string_view::npos) {
    const size_t end = gpx.find("</wpt>", at);
    if (end == std::string_view::npos) break;
    CacheRecord record(gpx.substr(at, end - at));
    record.file = title;
    list.records.push_back(std::move(record));
    at = gpx.find("<wpt", end);
  }
}

inline void AppendGpxFile(CacheList& list, const std::string& path,
                          const std::string& title) {
  AppendGpx(list, ReadFileOrFail(path), title);
}

inline std::string ReferencePath(std::string_view name) {
  return std::string(KORVELO_REFERENCE_DIR) + "/" + std::string(name);
}

// Compares bytes; on a difference reports the first differing offset with
// some context and saves `actual` under the test output folder.
::testing::AssertionResult SameBytes(const std::string& expected,
                                     const std::string& actual,
                                     const std::string& saveAs);

}  // namespace korvelo::testing

#endif  // KORVELO_TESTS_OUTPUT_GPX_LISTS_H_

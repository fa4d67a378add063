// A moves file: SplitLines, then MoveCaches over a few records.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "cachelist/cache_list.h"
#include "input/input_files.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  std::vector<std::string> lines;
  korvelo::SplitLines(bytes, lines);
  korvelo::CacheList list;
  for (const char* code : {"GC1", "GC12AB", "gc12ab", "OC1", ""}) {
    korvelo::CacheRecord record;
    record.name = code;
    list.records.push_back(record);
  }
  // The first line's first field is a code too, so that lines do match.
  korvelo::CacheRecord own;
  own.name = lines.front().substr(0, lines.front().find(';'));
  list.records.push_back(own);
  list.MoveCaches(lines);
  return 0;
}

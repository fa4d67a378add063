// Parse of one waypoint text: never reads outside it, never fails.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "input/cache_record.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view wpt(reinterpret_cast<const char*>(data), size);
  korvelo::CacheRecord record(wpt);
  // Fields are pieces of the input or built from it; none can be absurd.
  if (record.name.size() > size) __builtin_trap();
  return 0;
}

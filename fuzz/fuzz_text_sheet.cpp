// The text writer's key and sheet of a record parsed from the input.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "input/cache_record.h"
#include "output/text_sheet.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view wpt(reinterpret_cast<const char*>(data), size);
  const korvelo::CacheRecord record(wpt);
  // The key names folders and a file: four bytes out of A-Z, 0-9 and "_".
  const std::string key = korvelo::DirectoryKey(record.urlname);
  if (key.size() != 4) __builtin_trap();
  for (char c : key) {
    if (!((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_')) {
      __builtin_trap();
    }
  }
  korvelo::DirectoryKey(wpt);
  const std::string sheet = korvelo::TextSheet(record);
  if (sheet.rfind("=\t\t\t\t=\r\n", 0) != 0) __builtin_trap();
  return 0;
}

// The ZIP reader on arbitrary bytes: open, list, read and close every entry,
// with the reader's own limits in force.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "input/zip_names.h"
#include "input/zip_reader.h"

namespace {

void ReadEntry(korvelo::ZipReader& reader, int index) {
  korvelo::ZipEntryInfo info;
  if (!reader.GetEntryInfo(info, index)) __builtin_trap();
  korvelo::IsPlainEntryName(info.name);
  if (!reader.OpenEntry(index)) return;
  static std::vector<unsigned char> buffer(65536);
  uint64_t total = 0;
  while (size_t got = reader.ReadEntry(buffer.data(), buffer.size())) {
    total += got;
  }
  // Never more than the entry declares.
  if (total > info.uncompressed_size) __builtin_trap();
  reader.CloseEntry();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  korvelo::ZipImage.assign(reinterpret_cast<const char*>(data), size);
  korvelo::ZipReader reader;
  try {
    reader.Open("fuzz.zip");
  } catch (const korvelo::CZipException&) {
    return 0;
  }
  for (int i = 0; i < reader.EntryCount(); ++i) {
    try {
      ReadEntry(reader, i);
    } catch (const korvelo::CZipException&) {
      // The entry is closed; the next one is read like a fresh one.
    }
  }
  reader.Close();
  return 0;
}

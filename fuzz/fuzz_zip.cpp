// The archive on arbitrary bytes: open, list, read and check every entry,
// with the archive's own limits in force.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "input/zip_archive.h"
#include "input/zip_entry_reader.h"
#include "input/zip_names.h"

namespace {

void ReadEntry(const korvelo::ZipArchive& archive, int index) {
  const korvelo::ZipEntryInfo& info = archive.entries()[index];
  korvelo::IsPlainEntryName(info.name);
  korvelo::ZipEntryReader reader(archive, index);
  static std::vector<char> buffer(65536);
  uint64_t total = 0;
  while (size_t got = reader(buffer.data(), buffer.size())) {
    total += got;
  }
  // Never more than the entry declares, and only once it checked out.
  if (total != info.uncompressed_size) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  try {
    const korvelo::ZipArchive archive(
        std::string(reinterpret_cast<const char*>(data), size), "fuzz.zip", 1);
    for (int i = 0; i < static_cast<int>(archive.entries().size()); ++i) {
      try {
        ReadEntry(archive, i);
      } catch (const korvelo::CZipException&) {
        // The next entry is read like a fresh one.
      }
    }
  } catch (const korvelo::CZipException&) {
  }
  return 0;
}

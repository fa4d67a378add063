// A whole input file through the loading constructor: the waypoint cut and
// Parse for GPX text, the archive load (in memory, nested loads, limits)
// for bytes that start like an archive. Then Merge into an empty list.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <utility>

#include "cachelist/cache_list.h"
#include "platform/file_error.h"
#include "platform/folders.h"

namespace {

// One private folder per process, also $TMPDIR, which archives never use.
const std::string& Folder() {
  static const std::string folder = [] {
    char name[] = "/tmp/korvelo-fuzz-XXXXXX";
    if (mkdtemp(name) == nullptr) std::abort();
    setenv("TMPDIR", name, 1);
    return std::string(name);
  }();
  return folder;
}

void WriteFile(const std::string& path, const uint8_t* data, size_t size) {
  FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) std::abort();
  if (size > 0 && std::fwrite(data, 1, size, file) != size) std::abort();
  std::fclose(file);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const bool archive = size >= 4 && data[0] == 'P' && data[1] == 'K';
  const std::string path = Folder() + (archive ? "/in.zip" : "/in.gpx");
  WriteFile(path, data, size);
  korvelo::CacheList merged;
  try {
    korvelo::CacheList list(path, nullptr, "");
    const auto loaded = list.GetSize();
    merged.Merge(std::move(list));
    // Merging keeps each code once, so it never adds records.
    if (merged.GetSize() > loaded) __builtin_trap();
  } catch (const korvelo::FileError&) {
    __builtin_trap();  // a regular file that was just written is readable
  }
  unlink(path.c_str());
  // Nothing but the input is ever written, whatever happened.
  if (korvelo::ListFolder(Folder()).size() != 0) __builtin_trap();
  return 0;
}

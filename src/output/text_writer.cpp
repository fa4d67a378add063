#include "output/text_writer.h"

#include <cstdint>

#include "input/text.h"
#include "output/text_sheet.h"
#include "platform/output_folder.h"

namespace korvelo {
namespace {

// A sheet file takes further sheets while it stays below this size; the
// last file of a key takes everything.
constexpr int64_t kFileSizeLimit = 0x6C00;
constexpr int kLastFile = 100;

// Creates D/K1, D/K1/K2 and D/K1/K2/K3 one level at a time, ignoring the
// results (a failure shows when the sheet file cannot be opened); returns
// the last one. A link planted at a key folder is not followed.
OutputFolder KeyFolder(const OutputFolder& folder, std::string_view key) {
  OutputFolder k1 = folder.Subfolder(key.substr(0, 1));
  OutputFolder k2 = k1.Subfolder(key.substr(1, 1));
  return k2.Subfolder(key.substr(2, 1));
}

// The name of the first file of the series that takes a sheet of `length`
// bytes.
std::string ChooseFile(const OutputFolder& folder, const std::string& series,
                       size_t length) {
  for (int number = 1;; ++number) {
    const std::string name = series + FormatText("%03d.txt", number);
    const int64_t size = folder.FileSize(name);
    if (number == kLastFile || size == 0 ||
        size + static_cast<int64_t>(length) < kFileSizeLimit) {
      return name;
    }
  }
}

}  // namespace

void WriteText(const CacheList& list, const std::string& folder) {
  const OutputFolder root(folder);
  for (const CacheRecord& record : list.records) {
    const std::string key = DirectoryKey(record.urlname);
    const OutputFolder key_folder = KeyFolder(root, key);
    const std::string sheet = TextSheet(record);
    key_folder.Append(
        ChooseFile(key_folder, key.substr(3) + "_caches", sheet.size()), sheet);
  }
}

}  // namespace korvelo

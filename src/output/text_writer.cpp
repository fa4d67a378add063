#include "output/text_writer.h"

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

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

// What one WriteText call has learnt about the sheet tree, so that a cache
// costs no more look-ups than its sheet needs: the key folders opened last
// (bounded, each holds a descriptor) and the size of every sheet file of a
// series once looked at, grown by what this call appended.
class SheetTree {
 public:
  explicit SheetTree(const std::string& folder) : root_(folder) {}

  const OutputFolder& Folder(std::string_view key) {
    const std::string path(key.substr(0, 3));
    auto found = folders_.find(path);
    if (found != folders_.end()) return found->second;
    if (folders_.size() >= kOpenFolders) folders_.clear();
    return folders_.emplace(path, KeyFolder(root_, key)).first->second;
  }

  // The number of the first file of the key's series that takes a sheet of
  // `length` bytes.
  int ChooseFile(const OutputFolder& folder, const std::string& key,
                 size_t length) {
    std::vector<int64_t>& sizes = sizes_[key];
    for (int number = 1;; ++number) {
      if (sizes.size() < static_cast<size_t>(number)) {
        sizes.push_back(folder.FileSize(FileName(key, number)));
      }
      const int64_t size = sizes[number - 1];
      if (number == kLastFile || size == 0 ||
          size + static_cast<int64_t>(length) < kFileSizeLimit) {
        return number;
      }
    }
  }

  void Appended(const std::string& key, int number, size_t length) {
    sizes_[key][number - 1] += static_cast<int64_t>(length);
  }

  static std::string FileName(std::string_view key, int number) {
    return std::string(key.substr(3)) + FormatText("_caches%03d.txt", number);
  }

 private:
  static constexpr size_t kOpenFolders = 256;
  const OutputFolder root_;
  std::unordered_map<std::string, OutputFolder> folders_;
  std::unordered_map<std::string, std::vector<int64_t>> sizes_;
};

}  // namespace

void WriteText(const CacheList& list, const std::string& folder) {
  SheetTree tree(folder);
  for (const CacheRecord& record : list.records) {
    const std::string key = DirectoryKey(record.urlname);
    const OutputFolder& key_folder = tree.Folder(key);
    const std::string sheet = TextSheet(record);
    const int number = tree.ChooseFile(key_folder, key, sheet.size());
    key_folder.Append(SheetTree::FileName(key, number), sheet);
    tree.Appended(key, number, sheet.size());
  }
}

}  // namespace korvelo

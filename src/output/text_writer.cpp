#include "output/text_writer.h"

#include <algorithm>
#include <cstdint>
#include <deque>
#include <future>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "input/text.h"
#include "output/text_sheet.h"
#include "platform/output_folder.h"
#include "platform/signal_cleanup.h"

namespace korvelo {
namespace {

// A sheet file takes further sheets while it stays below 27 KiB (0x6C00
// bytes); the last file of a key takes everything.
constexpr int64_t kFileSizeLimit = 27 * 1024;
constexpr int kLastFile = 100;

// The key folders D/K1, D/K1/K2 and D/K1/K2/K3, each created when missing
// (ignoring the result: a failure shows when the sheet file cannot be
// opened). A link planted at a key folder is not followed. Keys come in
// sorted order, so the first two levels are kept for the next key.
class KeyFolders {
 public:
  explicit KeyFolders(const std::string& folder) : root_(folder) {}

  OutputFolder Open(std::string_view key) {
    if (!level1_ || key[0] != key1_) {
      level1_.emplace(root_.Subfolder(key.substr(0, 1)));
      key1_ = key[0];
      level2_.reset();
    }
    if (!level2_ || key[1] != key2_) {
      level2_.emplace(level1_->Subfolder(key.substr(1, 1)));
      key2_ = key[1];
    }
    return level2_->Subfolder(key.substr(2, 1));
  }

 private:
  const OutputFolder root_;
  std::optional<OutputFolder> level1_, level2_;
  char key1_ = 0, key2_ = 0;
};

// The numbered sheet files of one key: a sheet goes to the first file that
// stays below the size limit with it, so files are looked at (and opened)
// only once and then held open until the next key.
class SheetSeries {
 public:
  SheetSeries(OutputFolder folder, std::string_view key)
      : folder_(std::move(folder)), key_(key) {}

  void Append(std::string_view sheet) {
    const int number = ChooseFile(sheet.size());
    std::optional<AppendFile>& file = files_[number - 1];
    if (!file) file.emplace(folder_.OpenForAppend(FileName(number)));
    file->Append(sheet);
    sizes_[number - 1] = file->size();
  }

 private:
  int ChooseFile(size_t length) {
    for (int number = 1;; ++number) {
      if (sizes_.size() < static_cast<size_t>(number)) {
        sizes_.push_back(folder_.FileSize(FileName(number)));
        files_.emplace_back();
      }
      const int64_t size = sizes_[number - 1];
      if (number == kLastFile || size == 0 ||
          size + static_cast<int64_t>(length) < kFileSizeLimit) {
        return number;
      }
    }
  }

  std::string FileName(int number) const {
    return key_.substr(3) + FormatText("_caches%03d.txt", number);
  }

  const OutputFolder folder_;
  const std::string key_;
  std::vector<int64_t> sizes_;
  std::vector<std::optional<AppendFile>> files_;
};

using KeyOrder = std::vector<std::pair<std::string, size_t>>;

// The records' positions ordered by key, in list order within a key.
KeyOrder ByKey(const CacheList& list) {
  KeyOrder order;
  order.reserve(list.records.size());
  for (size_t i = 0; i < list.records.size(); ++i) {
    order.emplace_back(DirectoryKey(list.records[i].urlname), i);
  }
  std::sort(order.begin(), order.end());
  return order;
}

// Making a sheet takes longer than appending it, so sheets are made in
// batches on other threads, a few batches ahead of the writing.
constexpr size_t kBatch = 256;
constexpr size_t kBatchesAhead = 2;

using Batch = std::vector<std::string>;

// The sheets of order[begin, begin + kBatch), made on another thread. That
// thread never handles the stop signals: their clean-up cuts back the sheet
// being appended, which only works on the thread that appends it.
std::future<Batch> MakeBatch(const CacheList& list, const KeyOrder& order,
                             size_t begin) {
  const ScopedHoldSignals hold;  // the new thread keeps the held mask
  return std::async(std::launch::async, [&list, &order, begin] {
    Batch sheets;
    const size_t end = std::min(order.size(), begin + kBatch);
    sheets.reserve(end - begin);
    for (size_t i = begin; i < end; ++i) {
      sheets.push_back(TextSheet(list.records[order[i].second]));
    }
    return sheets;
  });
}

}  // namespace

// Sheets of different keys never share a file, so writing the caches key by
// key, in list order within a key, makes the same files as writing them in
// list order, while each folder and sheet file is opened once.
void WriteText(const CacheList& list, const std::string& folder) {
  const KeyOrder order = ByKey(list);
  std::deque<std::future<Batch>> ahead;
  size_t next_batch = 0;
  const auto start_batches = [&] {
    while (ahead.size() < kBatchesAhead && next_batch < order.size()) {
      ahead.push_back(MakeBatch(list, order, next_batch));
      next_batch += kBatch;
    }
  };
  KeyFolders folders(folder);
  std::optional<SheetSeries> series;
  std::string_view key;
  for (size_t begin = 0; begin < order.size(); begin += kBatch) {
    start_batches();
    const Batch sheets = ahead.front().get();
    ahead.pop_front();
    start_batches();
    for (size_t i = 0; i < sheets.size(); ++i) {
      const std::string& record_key = order[begin + i].first;
      if (!series || record_key != key) {
        series.reset();  // closes the last key's files
        series.emplace(folders.Open(record_key), record_key);
        key = record_key;
      }
      series->Append(sheets[i]);
    }
  }
}

}  // namespace korvelo

#include "cachelist/cache_list.h"

#include <algorithm>
#include <iterator>
#include <utility>

namespace korvelo {

bool CacheList::Contains(std::string_view code) const {
  return codeIndex.find(code) != codeIndex.end();
}

void CacheList::Append(CacheRecord record) {
  // A code already indexed costs no node, even for a moment.
  if (!Contains(record.name)) codeIndex.emplace(record.name);
  records.push_back(std::move(record));
}

CacheRecord& RecordChunks::Add(std::string_view wpt, RecordTexts texts) {
  if (chunks_.empty() || chunks_.back().size() == kChunkRecords) {
    chunks_.emplace_back();
    // The first piece grows as needed, so a small file stays small.
    if (chunks_.size() > 1) chunks_.back().reserve(kChunkRecords);
  }
  CacheRecord& record = chunks_.back().emplace_back(wpt, texts);
  ++size_;
  return record;
}

void CacheList::Append(RecordChunks&& chunks) {
  records.reserve(records.size() + chunks.size());
  for (std::vector<CacheRecord>& chunk : chunks.chunks_) {
    for (CacheRecord& record : chunk) Append(std::move(record));
    std::vector<CacheRecord>().swap(chunk);
  }
  chunks.chunks_.clear();
  chunks.size_ = 0;
}

void CacheList::Merge(CacheList&& other) {
  if (name.empty()) name = other.name;
  originals.Merge(std::move(other.originals));
  titles.insert(titles.end(), std::make_move_iterator(other.titles.begin()),
                std::make_move_iterator(other.titles.end()));
  if (records.empty() && codeIndex.empty() &&
      other.index_holds_only_record_codes_ &&
      other.codeIndex.size() == other.records.size()) {
    // Every code of the other list stands once: its records and its index
    // become this list's as they are.
    records.swap(other.records);
    codeIndex.swap(other.codeIndex);
    return;
  }
  if (records.empty()) {
    // The first input's array becomes this list's; only its duplicates go.
    records.swap(other.records);
    const auto kept = std::remove_if(
        records.begin(), records.end(),
        [this](const auto& r) { return !codeIndex.emplace(r.name).second; });
    records.erase(kept, records.end());
    return;
  }
  // Room for every incoming record is made at once, but geometrically: an
  // exact reserve per merge would move the whole array on each of a folder's
  // many small merges.
  const size_t needed = records.size() + other.records.size();
  if (needed > records.capacity()) {
    records.reserve(std::max(needed, 2 * records.capacity()));
  }
  for (CacheRecord& record : other.records) {
    if (!codeIndex.emplace(record.name).second) continue;
    records.push_back(std::move(record));
  }
  other.records.clear();
}

}  // namespace korvelo

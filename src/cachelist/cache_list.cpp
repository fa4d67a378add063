#include "cachelist/cache_list.h"

#include <algorithm>

namespace korvelo {
namespace {

size_t Bucket(std::string_view code) { return CodeHash(code) & 0xFFF; }

}  // namespace

uint16_t CodeHash(std::string_view code) {
  uint16_t h = 0;
  for (unsigned char b : code) {
    h = static_cast<uint16_t>(((h << 9) | (h >> 7)) ^ b);
  }
  return h;
}

CacheList::CacheList() : codeIndex(kBuckets) {}

bool CacheList::Contains(std::string_view code) const {
  const std::vector<std::string>& bucket = codeIndex[Bucket(code)];
  return std::find(bucket.begin(), bucket.end(), code) != bucket.end();
}

void CacheList::AddCode(std::string_view code) {
  codeIndex[Bucket(code)].emplace_back(code);
}

void CacheList::Merge(const CacheList& other) {
  if (name.empty()) name = other.name;
  titles.insert(titles.end(), other.titles.begin(), other.titles.end());
  // Room for every incoming record is made at once, but geometrically: an
  // exact reserve per merge would move the whole array on each of a folder's
  // many small merges.
  const size_t needed = records.size() + other.records.size();
  if (needed > records.capacity()) {
    records.reserve(std::max(needed, 2 * records.capacity()));
  }
  for (const CacheRecord& record : other.records) {
    if (Contains(record.name)) continue;
    AddCode(record.name);
    records.push_back(record);
  }
}

}  // namespace korvelo

// ExcludeCaches and ExcludeOwners: drop caches before anything is written.
// Both mark the records to go in one pass and compact the array once, so the
// cost stays linear however many caches go; the survivors keep their order.
#include <algorithm>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "cachelist/cache_list.h"
#include "input/text.h"

namespace korvelo {
namespace {

// Removes the records whose flag is set in one pass; the others move up and
// keep their order.
void Compact(std::vector<CacheRecord>& records, const std::vector<bool>& gone) {
  size_t kept = 0;
  for (size_t i = 0; i < records.size(); ++i) {
    if (gone[i]) continue;
    if (kept != i) records[kept] = std::move(records[i]);
    ++kept;
  }
  records.resize(kept);
}

}  // namespace

void CacheList::ExcludeCaches(const CacheList& excluded) {
  // Each excluded code removes the first remaining record with that code, so
  // a code listed k times removes the first k records carrying it (one in a
  // merged list, which holds every code once).
  std::unordered_map<std::string_view, int> pending;
  for (const CacheRecord& record : excluded.records) {
    if (Contains(record.name)) ++pending[record.name];
  }
  if (pending.empty() || records.empty()) return;

  std::vector<bool> gone(records.size(), false);
  for (size_t i = 0; i < records.size(); ++i) {
    auto found = pending.find(records[i].name);
    if (found == pending.end() || found->second == 0) continue;
    --found->second;
    gone[i] = true;
  }
  Compact(records, gone);
  index_holds_only_record_codes_ = false;
}

void CacheList::ExcludeOwners(const std::vector<std::string>& names) {
  if (names.empty()) return;
  std::unordered_set<std::string> lowered;
  for (const std::string& name : names) lowered.insert(LowerAnsiText(name));

  index_holds_only_record_codes_ = false;
  std::erase_if(records, [&lowered](const CacheRecord& record) {
    return lowered.count(LowerAnsiText(record.placed_by)) > 0;
  });
}

}  // namespace korvelo

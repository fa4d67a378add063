#include "cachelist/original_waypoints.h"

#include <isa-l/crc.h>

#include <algorithm>
#include <cstring>
#include <string>

namespace korvelo {
namespace {

// Texts are copied into blocks of this size: one allocation serves hundreds
// of waypoints. A text of more than a quarter block gets a block of its own,
// so a block never wastes more than a quarter.
constexpr size_t kBlockSize = 1 << 20;

constexpr std::string_view kSpace = " \t\r\n";

// The prefix of a declaration `xmlns:prefix="uri"` (or with single quotes)
// starting at `at`, and its end; false when it is no complete declaration.
bool ReadDeclaration(std::string_view tag, size_t at, std::string_view& prefix,
                     size_t& end) {
  const size_t name = at + 6;  // behind "xmlns:"
  const size_t equals = tag.find('=', name);
  if (equals == std::string_view::npos) return false;
  prefix = tag.substr(name, equals - name);
  if (prefix.empty() || prefix.find_first_of(kSpace) != std::string_view::npos)
    return false;
  const size_t open = equals + 1;
  if (open >= tag.size() || (tag[open] != '"' && tag[open] != '\'')) {
    return false;
  }
  const size_t close = tag.find(tag[open], open + 1);
  if (close == std::string_view::npos) return false;
  end = close + 1;
  return true;
}

// The start tag of a waypoint text, as KeptText keeps it.
std::string_view StartTagOf(std::string_view text) {
  return text.substr(0, text.find('>'));
}

}  // namespace

uint32_t KeptTextCrc(std::string_view text) {
  return crc32_gzip_refl(0, reinterpret_cast<const unsigned char*>(text.data()),
                         text.size());
}

OriginalWaypoints::OriginalWaypoints(const OriginalWaypoints& other)
    : files_(other.files_) {
  for (const Index::value_type* entry : other.order_) {
    IndexCache(Store(entry->first), Adopt(entry->second.text, 0, true));
  }
  for (const AdditionalWaypoint& w : other.additional_) {
    IndexAdditional(Store(w.code), Adopt(w.text, 0, true));
  }
  for (std::string_view declaration : other.namespaces_) {
    AddNamespaces(" " + std::string(declaration));
  }
}

OriginalWaypoints& OriginalWaypoints::operator=(
    const OriginalWaypoints& other) {
  if (this != &other) *this = OriginalWaypoints(other);
  return *this;
}

std::string_view OriginalWaypoints::Store(std::string_view text) {
  if (text.size() > kBlockSize / 4) {
    // Every byte is written at once: no need to clear the block first.
    blocks_.push_back(std::make_unique_for_overwrite<char[]>(text.size()));
    std::memcpy(blocks_.back().get(), text.data(), text.size());
    return {blocks_.back().get(), text.size()};
  }
  if (text.size() > block_free_) {
    blocks_.push_back(std::make_unique_for_overwrite<char[]>(kBlockSize));
    block_end_ = blocks_.back().get();
    block_free_ = kBlockSize;
  }
  char* const start = block_end_;
  if (!text.empty()) std::memcpy(start, text.data(), text.size());
  block_end_ += text.size();
  block_free_ -= text.size();
  return {start, text.size()};
}

KeptText OriginalWaypoints::KeepCopy(std::string_view text) {
  const std::string_view kept = Store(text);
  KeptText result;
  result.start_tag = StartTagOf(kept);
  result.data = kept.data();
  result.size = static_cast<uint32_t>(kept.size());
  return result;
}

KeptText OriginalWaypoints::KeepInFile(std::string_view text, uint32_t file,
                                       uint64_t offset) {
  KeptText result;
  result.start_tag = Store(StartTagOf(text));
  result.offset = offset;
  result.size = static_cast<uint32_t>(text.size());
  result.file = file;
  result.crc = KeptTextCrc(text);
  return result;
}

KeptText OriginalWaypoints::Adopt(const KeptText& text, uint32_t first_file,
                                  bool copy) {
  if (text.file == KeptText::kInMemory) {
    return copy ? KeepCopy({text.data, text.size}) : text;
  }
  KeptText result = text;
  if (copy) result.start_tag = Store(text.start_tag);
  result.file += first_file;
  return result;
}

void OriginalWaypoints::IndexCache(std::string_view code,
                                   const KeptText& text) {
  const auto [entry, added] =
      caches_.try_emplace(code, Entry{text, order_.size()});
  if (added) order_.push_back(&*entry);
}

void OriginalWaypoints::IndexAdditional(std::string_view code,
                                        const KeptText& text) {
  if (additional_codes_.insert(code).second)
    additional_.push_back({code, text});
}

uint32_t OriginalWaypoints::AddFile(std::string path, const FileStamp& stamp) {
  files_.push_back({std::move(path), stamp});
  return static_cast<uint32_t>(files_.size() - 1);
}

// A code kept already (a cache of two pocket queries) is stored all the
// same: its few bytes cost less than a second search of the index.
void OriginalWaypoints::AddCache(std::string_view code, const KeptText& text) {
  IndexCache(Store(code), text);
}

void OriginalWaypoints::AddAdditional(std::string_view code,
                                      const KeptText& text) {
  IndexAdditional(Store(code), text);
}

void OriginalWaypoints::AddNamespaces(std::string_view root_tag) {
  for (size_t at = root_tag.find("xmlns:"); at != std::string_view::npos;
       at = root_tag.find("xmlns:", at + 1)) {
    // Only a whole attribute name counts, not the end of a longer one.
    if (at == 0 || kSpace.find(root_tag[at - 1]) == std::string_view::npos) {
      continue;
    }
    std::string_view prefix;
    size_t end = 0;
    if (!ReadDeclaration(root_tag, at, prefix, end)) continue;
    if (prefixes_.find(prefix) != prefixes_.end()) continue;
    const std::string_view kept = Store(root_tag.substr(at, end - at));
    prefixes_.insert(kept.substr(6, prefix.size()));
    namespaces_.push_back(kept);
  }
}

const KeptText* OriginalWaypoints::CacheText(std::string_view code,
                                             size_t& cursor) const {
  // The entries of a file were made one after the other and lie together
  // in memory, unlike the index's buckets; comparing a few of them costs
  // less than one search of the index.
  constexpr size_t kLookAhead = 4;
  const size_t end = std::min(order_.size(), cursor + kLookAhead);
  for (size_t at = cursor; at < end; ++at) {
    if (order_[at]->first == code) {
      cursor = at + 1;
      return &order_[at]->second.text;
    }
  }
  const auto found = caches_.find(code);
  if (found == caches_.end()) return nullptr;
  cursor = found->second.order + 1;
  return &found->second.text;
}

void OriginalWaypoints::Merge(OriginalWaypoints&& other) {
  if (empty() && namespaces_.empty()) {
    std::swap(*this, other);
    return;
  }
  // The views of `other` point into its blocks, which become this one's;
  // its files go behind this one's.
  for (auto& block : other.blocks_) blocks_.push_back(std::move(block));
  const auto first_file = static_cast<uint32_t>(files_.size());
  for (KeptFile& file : other.files_) files_.push_back(std::move(file));
  for (const Index::value_type* entry : other.order_) {
    IndexCache(entry->first, Adopt(entry->second.text, first_file, false));
  }
  for (const AdditionalWaypoint& waypoint : other.additional_) {
    IndexAdditional(waypoint.code, Adopt(waypoint.text, first_file, false));
  }
  for (std::string_view declaration : other.namespaces_) {
    const std::string_view prefix =
        declaration.substr(6, declaration.find('=') - 6);
    if (prefixes_.insert(prefix).second) namespaces_.push_back(declaration);
  }
  other = OriginalWaypoints();
}

}  // namespace korvelo

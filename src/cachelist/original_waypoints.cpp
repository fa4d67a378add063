#include "cachelist/original_waypoints.h"

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

}  // namespace

OriginalWaypoints::OriginalWaypoints(const OriginalWaypoints& other) {
  for (const auto& [code, text] : other.caches_) AddCache(code, text);
  for (const AdditionalWaypoint& w : other.additional_) {
    AddAdditional(w.code, w.text);
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
    blocks_.push_back(std::make_unique<char[]>(text.size()));
    std::memcpy(blocks_.back().get(), text.data(), text.size());
    return {blocks_.back().get(), text.size()};
  }
  if (text.size() > block_free_) {
    blocks_.push_back(std::make_unique<char[]>(kBlockSize));
    block_end_ = blocks_.back().get();
    block_free_ = kBlockSize;
  }
  char* const start = block_end_;
  if (!text.empty()) std::memcpy(start, text.data(), text.size());
  block_end_ += text.size();
  block_free_ -= text.size();
  return {start, text.size()};
}

void OriginalWaypoints::AddCache(std::string_view code, std::string_view text) {
  if (caches_.find(code) != caches_.end()) return;
  const std::string_view kept_code = Store(code);
  caches_.emplace(kept_code, Store(text));
}

void OriginalWaypoints::AddAdditional(std::string_view code,
                                      std::string_view text) {
  if (additional_codes_.find(code) != additional_codes_.end()) return;
  const std::string_view kept_code = Store(code);
  additional_codes_.insert(kept_code);
  additional_.push_back({kept_code, Store(text)});
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

const std::string_view* OriginalWaypoints::CacheText(
    std::string_view code) const {
  const auto found = caches_.find(code);
  return found == caches_.end() ? nullptr : &found->second;
}

void OriginalWaypoints::Merge(OriginalWaypoints&& other) {
  if (empty() && namespaces_.empty()) {
    std::swap(*this, other);
    return;
  }
  // The views of `other` point into its blocks, which become this one's.
  for (auto& block : other.blocks_) blocks_.push_back(std::move(block));
  for (const auto& [code, text] : other.caches_)
    caches_.try_emplace(code, text);
  for (const AdditionalWaypoint& waypoint : other.additional_) {
    if (additional_codes_.insert(waypoint.code).second) {
      additional_.push_back(waypoint);
    }
  }
  for (std::string_view declaration : other.namespaces_) {
    const std::string_view prefix =
        declaration.substr(6, declaration.find('=') - 6);
    if (prefixes_.insert(prefix).second) namespaces_.push_back(declaration);
  }
  other = OriginalWaypoints();
}

}  // namespace korvelo

// OriginalWaypoints: the wpt elements of a load as its files hold them, for
// an output that copies them (the GPX for devices) instead of rebuilding
// them from the record fields.
#ifndef KORVELO_CACHELIST_ORIGINAL_WAYPOINTS_H_
#define KORVELO_CACHELIST_ORIGINAL_WAYPOINTS_H_

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

namespace korvelo {

// Whether a load keeps the original waypoint texts beside its records.
enum class WaypointOriginals { kDrop, kKeep };

// A waypoint of a pocket query's additional-waypoints file ("-wpts"):
// parking, trailheads, stages, finals.
struct AdditionalWaypoint {
  std::string_view code;  // its name element
  std::string_view text;  // from "<wpt" up to, not including, "</wpt>"
};

// The texts live in large blocks owned by this object; the views it hands
// out stay valid while it lives, also across Merge into another one.
class OriginalWaypoints {
 public:
  OriginalWaypoints() = default;
  OriginalWaypoints(OriginalWaypoints&&) = default;
  OriginalWaypoints& operator=(OriginalWaypoints&&) = default;
  // A copy holds its own texts.
  OriginalWaypoints(const OriginalWaypoints& other);
  OriginalWaypoints& operator=(const OriginalWaypoints& other);

  bool empty() const { return caches_.empty() && additional_.empty(); }

  // Keeps the text of the wpt element whose record has `code`, unless a text
  // is kept for that code already: the first waypoint of a code wins, as it
  // does in the list.
  void AddCache(std::string_view code, std::string_view text);
  // Appends a waypoint of an additional-waypoints file, unless one with the
  // same code is kept already (the same file read twice adds nothing).
  void AddAdditional(std::string_view code, std::string_view text);
  // Keeps each namespace declaration (xmlns:prefix="uri") of a GPX root
  // start tag whose prefix is not declared yet, so that the prefixes the
  // copied texts use stay bound in a new document.
  void AddNamespaces(std::string_view root_tag);

  // The kept text of the cache `code`, or null.
  const std::string_view* CacheText(std::string_view code) const;
  const std::vector<AdditionalWaypoint>& additional() const {
    return additional_;
  }
  // The declarations in the order they were first seen, each as written
  // (`xmlns:gsak="http://www.gsak.net/xmlv1/6"`).
  const std::vector<std::string_view>& namespaces() const {
    return namespaces_;
  }

  // Takes over everything of `other` that this one lacks, the same first-wins
  // way as the Add functions; `other` is left empty.
  void Merge(OriginalWaypoints&& other);

 private:
  std::string_view Store(std::string_view text);

  struct Hasher {
    using is_transparent = void;
    size_t operator()(std::string_view text) const {
      return std::hash<std::string_view>()(text);
    }
  };
  using Index = std::unordered_map<std::string_view, std::string_view, Hasher,
                                   std::equal_to<>>;

  std::vector<std::unique_ptr<char[]>> blocks_;
  size_t block_free_ = 0;  // bytes left at the end of the last block
  char* block_end_ = nullptr;
  Index caches_;
  std::vector<AdditionalWaypoint> additional_;
  std::unordered_set<std::string_view, Hasher, std::equal_to<>>
      additional_codes_;
  std::vector<std::string_view> namespaces_;
  std::unordered_set<std::string_view, Hasher, std::equal_to<>> prefixes_;
};

}  // namespace korvelo

#endif  // KORVELO_CACHELIST_ORIGINAL_WAYPOINTS_H_

// OriginalWaypoints: the wpt elements of a load as its files hold them, for
// an output that copies them (the GPX for devices) instead of rebuilding
// them from the record fields.
#ifndef KORVELO_CACHELIST_ORIGINAL_WAYPOINTS_H_
#define KORVELO_CACHELIST_ORIGINAL_WAYPOINTS_H_

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

#include "platform/input_file.h"

namespace korvelo {

// Whether a load keeps the original waypoint texts beside its records.
enum class WaypointOriginals { kDrop, kKeep };

// Where one kept waypoint text is. A text of a plain GPX file stays in that
// file: a large query would otherwise be held twice, once as records and
// once as texts. OriginalTextReader reads it again, checked against its
// CRC-32. A text that cannot be read again cheaply (an archive entry's) is
// copied.
struct KeptText {
  static constexpr uint32_t kInMemory = UINT32_MAX;

  // The text up to, not including, its first ">" (all of it when it has
  // none): the start tag whose attributes the writer reads. Always in
  // memory.
  std::string_view start_tag;
  const char* data = nullptr;  // the copied text, when file is kInMemory
  uint64_t offset = 0;         // else where it starts in the file
  uint32_t size = 0;
  uint32_t file = kInMemory;  // index into OriginalWaypoints::files()
  uint32_t crc = 0;           // CRC-32 of the text in the file
};

// The CRC-32 (as in ZIP archives) that KeptText keeps of a text in a file.
uint32_t KeptTextCrc(std::string_view text);

// A plain GPX file that kept texts stand in, as it was when it was opened.
struct KeptFile {
  std::string path;
  FileStamp stamp;
};

// A waypoint of a pocket query's additional-waypoints file ("-wpts"):
// parking, trailheads, stages, finals.
struct AdditionalWaypoint {
  std::string_view code;  // its name element
  KeptText text;          // from "<wpt" up to, not including, "</wpt>"
};

// The texts copied live in large blocks owned by this object; the views it
// hands out stay valid while it lives, also across Merge into another one.
class OriginalWaypoints {
 public:
  OriginalWaypoints() = default;
  OriginalWaypoints(OriginalWaypoints&&) = default;
  OriginalWaypoints& operator=(OriginalWaypoints&&) = default;
  // A copy holds its own texts and refers to the same files.
  OriginalWaypoints(const OriginalWaypoints& other);
  OriginalWaypoints& operator=(const OriginalWaypoints& other);

  bool empty() const { return caches_.empty() && additional_.empty(); }

  // Keeps the text of the wpt element whose record has `code`, unless a
  // text is kept for that code already: the first waypoint of a code wins,
  // as it does in the list. `text` is one that KeepCopy or KeepInFile of
  // this object made.
  void AddCache(std::string_view code, const KeptText& text);
  // Appends a waypoint of an additional-waypoints file, unless one with the
  // same code is kept already (the same file read twice adds nothing).
  void AddAdditional(std::string_view code, const KeptText& text);

  // A copy of `text`, held by this object.
  KeptText KeepCopy(std::string_view text);
  // Registers a plain file whose texts are kept where they stand; returns
  // the index KeepInFile takes.
  uint32_t AddFile(std::string path, const FileStamp& stamp);
  // `text`, which stands at `offset` in file `file`, as this object keeps it
  // there: only its start tag and its CRC-32 are held in memory.
  KeptText KeepInFile(std::string_view text, uint32_t file, uint64_t offset);

  // Keeps each namespace declaration (xmlns:prefix="uri") of a GPX root
  // start tag whose prefix is not declared yet, so that the prefixes the
  // copied texts use stay bound in a new document.
  void AddNamespaces(std::string_view root_tag);

  // The kept text of the cache `code`, or null. Made for codes asked about
  // in the order their texts were kept, as a list that lost some caches
  // does: the texts at `cursor` (0 for the first question) and a few behind
  // it are compared first, the index only then. `cursor` moves behind the
  // text found.
  const KeptText* CacheText(std::string_view code, size_t& cursor) const;
  const std::vector<AdditionalWaypoint>& additional() const {
    return additional_;
  }
  const std::vector<KeptFile>& files() const { return files_; }
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
  // The copy constructor's and Merge's step: `text` of `from` as this
  // object keeps it.
  KeptText Adopt(const KeptText& text, uint32_t first_file, bool copy);
  // Both add the entry unless one with the same code is kept already;
  // `code` must be held by this object.
  void IndexCache(std::string_view code, const KeptText& text);
  void IndexAdditional(std::string_view code, const KeptText& text);

  struct Hasher {
    using is_transparent = void;
    size_t operator()(std::string_view text) const {
      return std::hash<std::string_view>()(text);
    }
  };
  // A cache's text and its place in order_.
  struct Entry {
    KeptText text;
    size_t order;
  };
  using Index =
      std::unordered_map<std::string_view, Entry, Hasher, std::equal_to<>>;

  std::vector<std::unique_ptr<char[]>> blocks_;
  size_t block_free_ = 0;  // bytes left at the end of the last block
  char* block_end_ = nullptr;
  Index caches_;
  // The entries in the order they were kept.
  std::vector<const Index::value_type*> order_;
  std::vector<AdditionalWaypoint> additional_;
  std::unordered_set<std::string_view, Hasher, std::equal_to<>>
      additional_codes_;
  std::vector<KeptFile> files_;
  std::vector<std::string_view> namespaces_;
  std::unordered_set<std::string_view, Hasher, std::equal_to<>> prefixes_;
};

}  // namespace korvelo

#endif  // KORVELO_CACHELIST_ORIGINAL_WAYPOINTS_H_

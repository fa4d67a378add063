// CacheList: the ordered caches of one load or one run, with the list's name,
// the titles of its source files and an index of waypoint codes.
#ifndef KORVELO_CACHELIST_CACHE_LIST_H_
#define KORVELO_CACHELIST_CACHE_LIST_H_

#include <functional>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "cachelist/original_waypoints.h"
#include "input/cache_record.h"

namespace korvelo {

class Progress;

// Records gathered in pieces, for a load that may make millions of them: a
// growing array would hold its old and its new copy at once, twice the
// records. CacheList::Append moves the pieces into its array, sized once,
// freeing each piece as it goes, so a load holds its records about once.
class RecordChunks {
 public:
  // A record parsed from `wpt`, appended behind the others.
  CacheRecord& Add(std::string_view wpt, RecordTexts texts);
  size_t size() const { return size_; }

 private:
  friend class CacheList;
  // A full piece is larger than the biggest block the C library's allocator
  // keeps for reuse (32 MiB), so freeing it returns its pages at once.
  static constexpr size_t kChunkRecords = size_t{1} << 18;

  std::vector<std::vector<CacheRecord>> chunks_;
  size_t size_ = 0;
};

class CacheList {
 public:
  // An empty list.
  CacheList() = default;

  // Loads a .gpx file, a .zip archive or a folder of them (cache_list_load).
  // `progress` may be null; `texts` says what the records keep. File errors
  // of a plain GPX file propagate as FileError; every error inside an
  // archive is absorbed. With `originals` kKeep the list also keeps each
  // waypoint's text and reads the additional-waypoints files ("-wpts")
  // beside a GPX file or in its archive into `originals`.
  CacheList(std::string_view path, Progress* progress,
            std::string_view nameOverride,
            RecordTexts texts = RecordTexts::kAll,
            WaypointOriginals originals = WaypointOriginals::kDrop);

  int GetSize() const { return static_cast<int>(records.size()); }
  CacheRecord& operator[](int index) { return records[index]; }
  const CacheRecord& operator[](int index) const { return records[index]; }

  // Exact, case-sensitive test of the code index.
  bool Contains(std::string_view code) const;
  // Appends the record and indexes its code, even when a record with that
  // code is already in the list (the loader keeps a file's duplicates; Merge
  // drops them).
  void Append(CacheRecord record);
  // Append for each record gathered, in order.
  void Append(RecordChunks&& chunks);

  // Adopts other's name while this one has none, appends its titles, and
  // moves over each record whose code is not yet indexed (first one wins).
  // Records, titles and original texts are moved out of `other`.
  void Merge(CacheList&& other);

  // Removes the record with each code of `excluded` (exclusions.cpp).
  void ExcludeCaches(const CacheList& excluded);
  // Removes every record whose owner equals a name, ignoring letter case.
  void ExcludeOwners(const std::vector<std::string>& names);
  // Strips comments from the lines, then applies every matching line to every
  // record (moves.cpp).
  void MoveCaches(std::vector<std::string>& lines);

  // Read and changed in place by the stages and the writers; records are
  // added only through Append and Merge, which keep the code index.
  std::vector<CacheRecord> records;
  std::string name;
  std::vector<std::string> titles;
  // Empty unless the load kept them; never changed by the stages, so the
  // texts of removed caches stay (an output looks up the records it writes).
  OriginalWaypoints originals;

 private:
  // Hashes the code itself, so lookups by a view need no copy.
  struct CodeHasher {
    using is_transparent = void;
    size_t operator()(std::string_view code) const {
      return std::hash<std::string_view>()(code);
    }
  };
  std::unordered_set<std::string, CodeHasher, std::equal_to<>> codeIndex;
  // False once a removal left codes in the index that no record carries.
  bool index_holds_only_record_codes_ = true;
};

}  // namespace korvelo

#endif  // KORVELO_CACHELIST_CACHE_LIST_H_

// CacheList: the ordered caches of one load or one run, with the list's name,
// the titles of its source files and an index of waypoint codes.
#ifndef KORVELO_CACHELIST_CACHE_LIST_H_
#define KORVELO_CACHELIST_CACHE_LIST_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "input/cache_record.h"

namespace korvelo {

class Progress;

// 16-bit hash of a waypoint code: per byte, rotate left by 9, then XOR.
uint16_t CodeHash(std::string_view code);

class CacheList {
 public:
  static constexpr int kBuckets = 4096;

  // An empty list with all buckets of its code index.
  CacheList();

  // Loads a .gpx file, a .zip archive or a folder of them (cache_list_load).
  // `progress` may be null. File errors of a plain GPX file propagate as
  // FileError; every error inside an archive is absorbed.
  CacheList(std::string_view path, Progress* progress,
            std::string_view nameOverride);

  int GetSize() const { return static_cast<int>(records.size()); }
  CacheRecord& operator[](int index) { return records[index]; }
  const CacheRecord& operator[](int index) const { return records[index]; }

  // Exact, case-sensitive test of the code index.
  bool Contains(std::string_view code) const;
  // Appends the code to its bucket, even when it is already there.
  void AddCode(std::string_view code);

  // Adopts other's name while this one has none, appends its titles, and
  // appends each record whose code is not yet indexed (first one wins).
  void Merge(const CacheList& other);

  // Removes the record with each code of `excluded` (exclusions.cpp).
  void ExcludeCaches(const CacheList& excluded);
  // Removes every record whose owner equals a name, ignoring letter case.
  void ExcludeOwners(const std::vector<std::string>& names);
  // Strips comments from the lines, then applies every matching line to every
  // record (moves.cpp).
  void MoveCaches(std::vector<std::string>& lines);

  std::vector<CacheRecord> records;
  std::string name;
  std::vector<std::string> titles;

 private:
  std::vector<std::vector<std::string>> codeIndex;
};

}  // namespace korvelo

#endif  // KORVELO_CACHELIST_CACHE_LIST_H_

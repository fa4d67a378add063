// ExtractionBudget: how much one load may unpack from archives, so that a
// small archive of archives cannot fill the temporary folder's disk.
#ifndef KORVELO_CACHELIST_EXTRACTION_BUDGET_H_
#define KORVELO_CACHELIST_EXTRACTION_BUDGET_H_

#include <cstdint>

namespace korvelo {

class ExtractionBudget {
 public:
  // No pocket query comes near these: a whole folder of them unpacks a few
  // hundred megabytes, and they never hold archives.
  static constexpr uint64_t kMaxBytes = uint64_t{4} << 30;
  static constexpr int kMaxNestedArchives = 16;

  // At most `bytes` in all (never more than kMaxBytes) and at most
  // `nested` archives that were themselves unpacked from an archive.
  ExtractionBudget(uint64_t bytes, int nested);

  // Takes `bytes` for the entries of one archive; `nested` when the archive
  // was unpacked from another. False, and nothing taken, when that would
  // pass a bound: the archive then loads nothing.
  bool Take(uint64_t bytes, bool nested);

 private:
  uint64_t bytes_left_;
  int nested_left_;
};

}  // namespace korvelo

#endif  // KORVELO_CACHELIST_EXTRACTION_BUDGET_H_

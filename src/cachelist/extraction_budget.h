// ExtractionBudget: how much one load may unpack from archives, so that a
// small archive of archives cannot make the load hold or parse without end.
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

  // At most kMaxBytes in all and at most kMaxNestedArchives archives that
  // were themselves unpacked from an archive.
  ExtractionBudget() = default;

  // Takes `bytes` for the entries of one archive; `nested` when the archive
  // was unpacked from another. False, and nothing taken, when that would
  // pass a bound: the archive then loads nothing.
  bool Take(uint64_t bytes, bool nested);

 private:
  uint64_t bytes_left_ = kMaxBytes;
  int nested_left_ = kMaxNestedArchives;
};

}  // namespace korvelo

#endif  // KORVELO_CACHELIST_EXTRACTION_BUDGET_H_

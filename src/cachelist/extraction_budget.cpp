#include "cachelist/extraction_budget.h"

#include <algorithm>

namespace korvelo {

ExtractionBudget::ExtractionBudget(uint64_t bytes, int nested)
    : bytes_left_(std::min(bytes, kMaxBytes)), nested_left_(nested) {}

bool ExtractionBudget::Take(uint64_t bytes, bool nested) {
  if (bytes > bytes_left_ || (nested && nested_left_ == 0)) return false;
  bytes_left_ -= bytes;
  if (nested) --nested_left_;
  return true;
}

}  // namespace korvelo

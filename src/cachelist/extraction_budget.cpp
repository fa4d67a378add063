#include "cachelist/extraction_budget.h"

namespace korvelo {

bool ExtractionBudget::Take(uint64_t bytes, bool nested) {
  if (bytes > bytes_left_ || (nested && nested_left_ == 0)) return false;
  bytes_left_ -= bytes;
  if (nested) --nested_left_;
  return true;
}

}  // namespace korvelo

#include "output/cache_types.h"

#include "input/text.h"

namespace korvelo {
bool IsOfType(std::string_view type, const CacheTypeRow& row) {
  return EqualsIgnoringAsciiCase(type, row.type_name);
}

}  // namespace korvelo

#include "output/cache_types.h"

namespace korvelo {
namespace {

char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? c - 'A' + 'a' : c; }

}  // namespace

bool IsOfType(std::string_view type, const CacheTypeRow& row) {
  if (type.size() != row.type_name.size()) return false;
  for (size_t i = 0; i < type.size(); ++i) {
    if (AsciiLower(type[i]) != AsciiLower(row.type_name[i])) return false;
  }
  return true;
}

}  // namespace korvelo

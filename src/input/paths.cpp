#include "input/paths.h"

namespace korvelo {
namespace {

// A backslash is an ordinary byte of a file name here.
size_t LastSeparator(std::string_view path) { return path.rfind('/'); }

}  // namespace

std::string BaseName(std::string_view path) {
  const size_t separator = LastSeparator(path);
  if (separator == std::string_view::npos) return std::string(path);
  std::string_view name = path.substr(separator + 1);
  return std::string(name.substr(0, name.find('.')));
}

std::string FolderOf(std::string_view path) {
  const size_t separator = LastSeparator(path);
  if (separator == std::string_view::npos) return std::string(path);
  return std::string(path.substr(0, separator));
}

}  // namespace korvelo

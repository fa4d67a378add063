#include "platform/absolute_path.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <vector>

#include "platform/file_error.h"

namespace korvelo {
namespace {

// The current directory, or the empty text when it cannot be read.
std::string CurrentDirectory() {
  std::vector<char> buffer(PATH_MAX);
  while (getcwd(buffer.data(), buffer.size()) == nullptr) {
    if (errno != ERANGE) return std::string();
    buffer.resize(buffer.size() * 2);
  }
  return std::string(buffer.data());
}

}  // namespace

bool PathExists(std::string_view path) {
  struct stat info;
  return stat(std::string(path).c_str(), &info) == 0;
}

std::string NormalisePath(std::string_view path) {
  const bool absolute = !path.empty() && path.front() == '/';
  std::vector<std::string_view> parts;
  size_t start = 0;
  while (start <= path.size()) {
    size_t end = path.find('/', start);
    if (end == std::string_view::npos) end = path.size();
    const std::string_view part = path.substr(start, end - start);
    start = end + 1;
    if (part.empty() || part == ".") continue;
    if (part == ".." && !parts.empty() && parts.back() != "..") {
      parts.pop_back();
    } else if (part != ".." || !absolute) {
      parts.push_back(part);  // ".." above "/" is "/" itself
    }
  }
  std::string result = absolute ? "/" : "";
  for (size_t i = 0; i < parts.size(); ++i) {
    if (i > 0) result += '/';
    result += parts[i];
  }
  return result.empty() ? "." : result;
}

std::string AbsolutePath(std::string_view path) {
  if (!path.empty() && path.front() == '/') return NormalisePath(path);
  const std::string current = CurrentDirectory();
  if (current.empty()) return std::string(path);
  return NormalisePath(current + "/" + std::string(path));
}

}  // namespace korvelo

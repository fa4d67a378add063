#include "platform/folders.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "platform/file_error.h"

namespace korvelo {
namespace {

// Closes the directory stream on every way out.
class DirStream {
 public:
  explicit DirStream(const std::string& native)
      : dir_(opendir(native.c_str())) {}
  ~DirStream() {
    if (dir_ != nullptr) closedir(dir_);
  }
  DirStream(const DirStream&) = delete;
  DirStream& operator=(const DirStream&) = delete;
  DIR* get() const { return dir_; }

 private:
  DIR* dir_;
};

bool IsDotOrDotDot(const char* name) {
  return std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0;
}

}  // namespace

std::string WithTrailingBackslash(std::string_view path) {
  std::string result(path);
  if (result.empty() || result.back() != '/') result.push_back('/');
  return result;
}

bool IsFolder(std::string_view path) {
  struct stat info;
  return stat(std::string(path).c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

std::vector<FolderEntry> ListFolder(std::string_view path) {
  const std::string native = std::string(path);
  std::vector<FolderEntry> entries;
  DirStream dir(native);
  if (dir.get() == nullptr) return entries;
  while (const dirent* entry = readdir(dir.get())) {
    if (IsDotOrDotDot(entry->d_name)) continue;
    struct stat info;
    const std::string child = native + "/" + entry->d_name;
    const bool is_folder =
        stat(child.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
    entries.push_back({entry->d_name, is_folder});
  }
  // std::string compares as unsigned bytes: byte order, independent of locale.
  std::sort(entries.begin(), entries.end(),
            [](const FolderEntry& a, const FolderEntry& b) {
              return a.name < b.name;
            });
  return entries;
}

}  // namespace korvelo

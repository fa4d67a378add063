#include "platform/folders.h"

#include <dirent.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
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

// Whether `native` is a folder itself, not following a final symbolic link
// (removing a tree must never wander through a link into another tree).
bool IsRealFolder(const std::string& native) {
  struct stat info;
  return lstat(native.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

void DeleteNativeTree(const std::string& native) {
  {
    DirStream dir(native);
    if (dir.get() == nullptr) return;
    while (const dirent* entry = readdir(dir.get())) {
      if (IsDotOrDotDot(entry->d_name)) continue;
      const std::string child = native + "/" + entry->d_name;
      if (IsRealFolder(child)) {
        DeleteNativeTree(child);
      } else {
        unlink(child.c_str());
      }
    }
  }
  rmdir(native.c_str());
}

}  // namespace

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

void DeleteFolderTree(std::string_view path) {
  std::string native = std::string(path);
  while (native.size() > 1 && native.back() == '/') native.pop_back();
  if (IsRealFolder(native)) DeleteNativeTree(native);
}

uint64_t FreeSpace(std::string_view path) {
  struct statvfs info;
  if (statvfs(std::string(path).c_str(), &info) != 0) return UINT64_MAX;
  return static_cast<uint64_t>(info.f_bavail) * info.f_frsize;
}

}  // namespace korvelo

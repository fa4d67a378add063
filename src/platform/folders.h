// Folders: listing and testing.
#ifndef KORVELO_PLATFORM_FOLDERS_H_
#define KORVELO_PLATFORM_FOLDERS_H_

#include <string>
#include <string_view>
#include <vector>

namespace korvelo {

// The path unchanged when it ends in "/", else with "/" appended (an empty
// path gives "/"): the one way a folder path is made ready for a name.
std::string WithTrailingBackslash(std::string_view path);

// True when `path` names an existing folder (stat says directory).
bool IsFolder(std::string_view path);

struct FolderEntry {
  std::string name;  // file name only, no folder part
  bool is_folder;
};

// The entries of a folder, "." and ".." left out, sorted by name in byte
// order. Empty when the folder cannot be listed.
std::vector<FolderEntry> ListFolder(std::string_view path);

}  // namespace korvelo

#endif  // KORVELO_PLATFORM_FOLDERS_H_

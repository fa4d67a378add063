#include "app/run_inputs.h"

#include <optional>

#include "input/paths.h"
#include "platform/files.h"
#include "platform/folders.h"

namespace korvelo {

bool IsInputOfRun(std::string_view target,
                  const std::vector<std::string>& paths) {
  const std::optional<FileIdentity> target_id = IdentityOf(target);
  if (!target_id) return false;
  for (const std::string& path : paths) {
    if (IdentityOf(path) == target_id) return true;
    if (!IsFolder(path)) continue;
    const std::string folder = WithTrailingBackslash(path);
    for (const FolderEntry& entry : ListFolder(path)) {
      if (!entry.is_folder && IdentityOf(folder + entry.name) == target_id) {
        return true;
      }
    }
  }
  return false;
}

}  // namespace korvelo

#include "app/cli_inputs.h"

#include <algorithm>
#include <cerrno>

#include "platform/absolute_path.h"
#include "platform/file_error.h"

namespace korvelo {
namespace {

// FullPathOf gives back the name as written when nothing of that name
// exists, so existence is asked once more of its result.
bool Exists(const std::string& full_path) {
  return !full_path.empty() && PathExists(full_path);
}

FileError NotFound(const std::string& path) {
  return FileError(FileCause::kFileNotFound, path, ENOENT);
}

}  // namespace

std::vector<std::string> CommandLineInputs(const ParsedArguments& parsed) {
  const std::string joined = FullPathOf(parsed.file_name);
  if (joined.empty() || Exists(joined)) return {joined};

  // Empty arguments name nothing and are passed over.
  std::vector<std::string> paths;
  std::vector<std::string> missing;
  for (const std::string& name : parsed.names) {
    std::string path = FullPathOf(name);
    if (path.empty()) continue;
    (Exists(path) ? paths : missing).push_back(std::move(path));
  }
  // When no separate name exists either, the arguments were most likely one
  // name with blanks, which is the name to report.
  if (paths.empty()) throw NotFound(joined);
  if (!missing.empty()) throw NotFound(missing.front());
  std::stable_sort(paths.begin(), paths.end());
  return paths;
}

}  // namespace korvelo

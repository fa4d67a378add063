// Temporary folders: private, unpredictable folders that live only while an
// archive is unpacked, removed with their content on every way out.
#ifndef KORVELO_PLATFORM_TEMP_FOLDER_H_
#define KORVELO_PLATFORM_TEMP_FOLDER_H_

#include <string>
#include <string_view>

#include "platform/signal_cleanup.h"

namespace korvelo {

// The system's folder for temporary files: $TMPDIR when set and not empty,
// else "/tmp". No trailing separator is added.
std::string SystemTempFolder();

// With `unique`: creates a new folder "tmp_<random hex>" under `base` (which
// must exist), never reusing an existing one, readable by the owner only, and
// returns its path ending in "/". Without `unique`: creates `base`
// itself and returns it. The empty text when no folder could be created.
std::string CreateTempFolder(std::string_view base, bool unique);

// Removes the folder with everything in it; does nothing for an empty path.
void RemoveTempFolder(std::string_view path);

// Owns a temporary folder: removes it with its content when it goes away,
// also while an exception passes or when a stop signal ends the process.
// An empty path owns nothing.
class ScopedTempFolder {
 public:
  explicit ScopedTempFolder(std::string path)
      : path_(std::move(path)), on_signal_(path_, true) {}
  // Creates the folder as CreateTempFolder does; a stop signal can find no
  // moment in which the folder exists but is not yet known for removal.
  ScopedTempFolder(std::string_view base, bool unique);
  ~ScopedTempFolder() { RemoveTempFolder(path_); }
  ScopedTempFolder(const ScopedTempFolder&) = delete;
  ScopedTempFolder& operator=(const ScopedTempFolder&) = delete;

  const std::string& path() const { return path_; }

 private:
  std::string path_;
  ScopedRemoveOnSignal on_signal_;
};

}  // namespace korvelo

#endif  // KORVELO_PLATFORM_TEMP_FOLDER_H_

#include "platform/temp_folder.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <random>

#include "platform/file_error.h"
#include "platform/folders.h"

namespace korvelo {
namespace {

// Name clashes need a collision of 64 random bits; the bound only stops a
// pathological folder from looping forever.
constexpr int kMaxAttempts = 100;

std::string RandomFolderName() {
  std::random_device source;
  const uint64_t value =
      (static_cast<uint64_t>(source()) << 32) ^ static_cast<uint64_t>(source());
  char name[32];
  std::snprintf(name, sizeof name, "tmp_%llx",
                static_cast<unsigned long long>(value));
  return name;
}

// mkdir with owner-only rights; fails when the path already exists, so a
// folder planted by someone else is never taken over.
bool MakePrivateFolder(std::string_view path) {
  return mkdir(std::string(path).c_str(), 0700) == 0;
}

}  // namespace

std::string SystemTempFolder() {
  const char* value = std::getenv("TMPDIR");
  if (value != nullptr && *value != '\0') return value;
  return "/tmp";
}

std::string CreateTempFolder(std::string_view base, bool unique) {
  if (!unique) return MakePrivateFolder(base) ? std::string(base) : "";
  std::string parent(base);
  if (parent.empty() || parent.back() != '/') parent.push_back('/');
  for (int attempt = 0; attempt < kMaxAttempts; ++attempt) {
    const std::string path = parent + RandomFolderName();
    if (MakePrivateFolder(path)) return path + "/";
    if (errno != EEXIST) return "";
  }
  return "";
}

ScopedTempFolder::ScopedTempFolder(std::string_view base, bool unique) {
  const ScopedHoldSignals hold;
  path_ = CreateTempFolder(base, unique);
  on_signal_.Watch(path_, true);
}

void RemoveTempFolder(std::string_view path) {
  if (!path.empty()) DeleteFolderTree(path);
}

}  // namespace korvelo

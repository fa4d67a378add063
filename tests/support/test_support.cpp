#include "support/test_support.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

namespace korvelo::testing {

std::string CorpusPath(std::string_view relative) {
  std::string path = KORVELO_CORPUS_DIR;
  if (!relative.empty()) path.append("/").append(relative);
  return path;
}

TempDir::TempDir() : TempDir(fs::path(KORVELO_TEST_OUTPUT_DIR) / "tmp") {}

TempDir::TempDir(const fs::path& base) {
  std::error_code ignored;
  fs::create_directories(base, ignored);
  path_ = (base / "tXXXXXX").string();
  EXPECT_NE(mkdtemp(path_.data()), nullptr)
      << "cannot make a folder in " << base;
}

TempDir::~TempDir() {
  std::error_code ignored;
  // Make everything removable again (tests chmod files and folders).
  for (auto it = fs::recursive_directory_iterator(path_, ignored);
       it != fs::recursive_directory_iterator(); it.increment(ignored)) {
    fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add,
                    ignored);
  }
  fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ignored);
  fs::remove_all(path_, ignored);
}

std::string TempDir::operator/(std::string_view name) const {
  return path_ + "/" + std::string(name);
}

std::string ReadFileOrFail(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  EXPECT_TRUE(in.good()) << "cannot read " << path;
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

void WriteFileOrFail(const std::string& path, std::string_view bytes) {
  fs::path parent = fs::path(path).parent_path();
  if (!parent.empty()) fs::create_directories(parent);
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  EXPECT_TRUE(out.good()) << "cannot write " << path;
}

bool FileExists(const std::string& path) { return fs::exists(path); }

}  // namespace korvelo::testing

#include "support/test_support.h"

#include <unistd.h>

#include <algorithm>
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

std::vector<fs::path> CorpusInputs(bool archives) {
  std::vector<fs::path> inputs;
  if (!fs::is_directory(KORVELO_CORPUS_DIR)) return inputs;
  for (const auto& entry : fs::recursive_directory_iterator(CorpusPath())) {
    const fs::path extension = entry.path().extension();
    if (extension == ".gpx" || (archives && extension == ".zip"))
      inputs.push_back(entry.path());
  }
  std::sort(inputs.begin(), inputs.end());
  return inputs;
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

std::string ShellWord(std::string_view text) {
  std::string word = "'";
  for (const char c : text)
    word += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return word + "'";
}

int CountOf(std::string_view text, std::string_view needle) {
  int count = 0;
  for (size_t at = text.find(needle); at != std::string_view::npos;
       at = text.find(needle, at + needle.size())) {
    ++count;
  }
  return count;
}

std::vector<std::string> WaypointNames(std::string_view gpx) {
  std::vector<std::string> names;
  for (size_t at = gpx.find("<wpt"); at != std::string_view::npos;
       at = gpx.find("<wpt", at + 1)) {
    const size_t name = gpx.find("<name>", at);
    if (name == std::string_view::npos) {
      names.emplace_back("<missing>");
      continue;
    }
    const size_t begin = name + 6;
    names.emplace_back(gpx.substr(begin, gpx.find("</name>", begin) - begin));
  }
  return names;
}

::testing::AssertionResult ThrowsFileError(const std::function<void()>& run,
                                           FileCause cause,
                                           const std::string& path) {
  try {
    run();
  } catch (const FileError& e) {
    return (e.cause() == cause && e.path() == path
                ? ::testing::AssertionSuccess()
                : ::testing::AssertionFailure())
           << "cause " << static_cast<int>(e.cause()) << ", path " << e.path();
  }
  return ::testing::AssertionFailure() << "no FileError";
}

}  // namespace korvelo::testing

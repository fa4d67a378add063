// Helpers shared by every test program: the corpus folder, temporary folders,
// whole-file reading and writing, shell words, counts, expected file errors
// and table rows of texts.
#ifndef KORVELO_TESTS_SUPPORT_TEST_SUPPORT_H_
#define KORVELO_TESTS_SUPPORT_TEST_SUPPORT_H_

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/file_error.h"

namespace korvelo::testing {

// Path of a file inside the corpus folder (the folder itself for "").
std::string CorpusPath(std::string_view relative = "");

// Every pocket query (.gpx) and, with `archives`, every archive (.zip)
// below the corpus folder, sorted; none without a corpus.
std::vector<std::filesystem::path> CorpusInputs(bool archives = true);

// Skips the calling test with a clear message when the corpus (the real
// pocket queries passed at configure time) is missing, as in a user's clone.
#define KORVELO_REQUIRE_CORPUS()                                           \
  do {                                                                     \
    if (!std::filesystem::is_directory(KORVELO_CORPUS_DIR))                \
      GTEST_SKIP() << "corpus folder " << ::korvelo::testing::CorpusPath() \
                   << " not found; corpus tests skipped";                  \
  } while (0)

// A fresh, empty folder under the build tree's test output folder (or
// under `base`), removed with its content when the object goes away.
class TempDir {
 public:
  TempDir();
  explicit TempDir(const std::filesystem::path& base);
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& path() const { return path_; }
  // path() + "/" + name
  std::string operator/(std::string_view name) const;

 private:
  std::string path_;
};

// Whole file as bytes; fails the current test when it cannot be read.
std::string ReadFileOrFail(const std::string& path);
// Creates or replaces a file with exactly these bytes (parent folders too).
void WriteFileOrFail(const std::string& path, std::string_view bytes);
bool FileExists(const std::string& path);

// "'text'" for the shell.
std::string ShellWord(std::string_view text);

// Number of times `needle` occurs in `text`, not overlapping.
int CountOf(std::string_view text, std::string_view needle);

// The text of the first name element behind each "<wpt" of a GPX text, in
// file order; "<missing>" where none follows.
std::vector<std::string> WaypointNames(std::string_view gpx);

// Success only when `run` throws FileError with this cause and path.
::testing::AssertionResult ThrowsFileError(const std::function<void()>& run,
                                           FileCause cause,
                                           const std::string& path);

// One row of a table test of a text function: the input, the expected text.
using TextRow = std::pair<std::string, std::string>;

// Checks function(input) == expected for every row, naming the input.
template <typename Function>
void ExpectRows(Function function, std::initializer_list<TextRow> rows) {
  for (const TextRow& row : rows) {
    EXPECT_EQ(function(row.first), row.second) << row.first;
  }
}

}  // namespace korvelo::testing

#endif  // KORVELO_TESTS_SUPPORT_TEST_SUPPORT_H_

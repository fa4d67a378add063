// Helpers shared by the output tests: records and lists read with the record
// parser, folder contents, byte comparison and expected file errors.
#ifndef KORVELO_TESTS_OUTPUT_GPX_LISTS_H_
#define KORVELO_TESTS_OUTPUT_GPX_LISTS_H_

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "cachelist/cache_list.h"
#include "input/waypoints.h"
#include "platform/file_error.h"
#include "support/test_support.h"

namespace korvelo::testing {

// A record parsed from a wpt element at 50.1 N 8.2 E with these texts.
inline CacheRecord Wpt(const std::string& code, const std::string& title,
                       const std::string& type) {
  return CacheRecord(
      "<wpt lat=\"50.1\" lon=\"8.2\"><name>" + code + "</name><urlname>" +
      title + "</urlname><groundspeak:type>" + type + "</groundspeak:type>");
}

// Adds `title` to the titles and one record per complete wpt element of the
// file, each with `file` set to `title`.
inline void AppendGpxFile(CacheList& list, const std::string& path,
                          const std::string& title) {
  const std::string gpx = ReadFileOrFail(path);
  list.titles.push_back(title);
  for (std::string_view wpt : CutWaypoints(gpx)) {
    CacheRecord record(wpt);
    record.file = title;
    list.Append(std::move(record));
  }
}

// Every file below `dir`, by its path relative to it, with its bytes.
inline std::map<std::string, std::string> FilesBelow(const std::string& dir) {
  namespace fs = std::filesystem;
  std::map<std::string, std::string> files;
  for (const auto& entry : fs::recursive_directory_iterator(dir)) {
    if (!entry.is_regular_file()) continue;
    files[fs::relative(entry.path(), dir)] = ReadFileOrFail(entry.path());
  }
  return files;
}

inline std::vector<std::string> NamesBelow(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& [name, bytes] : FilesBelow(folder)) names.push_back(name);
  return names;
}

// On a difference shows both texts around the first differing byte and
// saves `actual` under the test output folder as `saveAs`.
inline ::testing::AssertionResult SameBytes(const std::string& expected,
                                            const std::string& actual,
                                            const std::string& saveAs) {
  if (expected == actual) return ::testing::AssertionSuccess();
  const size_t at = std::mismatch(expected.begin(), expected.end(),
                                  actual.begin(), actual.end())
                        .first -
                    expected.begin();
  const size_t from = at < 40 ? 0 : at - 40;
  const std::string saved = KORVELO_TEST_OUTPUT_DIR "/actual/" + saveAs;
  WriteFileOrFail(saved, actual);
  return ::testing::AssertionFailure()
         << "first difference at byte " << at << " of " << expected.size()
         << " (got " << actual.size() << " bytes)\nexpected: "
         << ::testing::PrintToString(expected.substr(from, 80))
         << "\nactual:   " << ::testing::PrintToString(actual.substr(from, 80))
         << "\nactual output saved as " << saved;
}

// Success only when `run` throws FileError with this cause and path.
inline ::testing::AssertionResult ThrowsFileError(
    const std::function<void()>& run, FileCause cause,
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

// True when `body` returned true in a child process whose files may not
// grow beyond `limit` bytes.
inline bool InChildWithFileSizeLimit(rlim_t limit,
                                     const std::function<bool()>& body) {
  const pid_t child = fork();
  if (child == 0) {
    signal(SIGXFSZ, SIG_IGN);  // a short write instead of the signal
    const rlimit small = {limit, limit};
    _exit(setrlimit(RLIMIT_FSIZE, &small) == 0 && body() ? 0 : 1);
  }
  int status = 0;
  waitpid(child, &status, 0);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace korvelo::testing

#endif  // KORVELO_TESTS_OUTPUT_GPX_LISTS_H_

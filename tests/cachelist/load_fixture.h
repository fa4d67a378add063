// Shared by the loader tests: GPX texts, a recording progress window and a
// fixture that points $TMPDIR at a folder of its own and checks it is left
// empty.
#ifndef KORVELO_TESTS_CACHELIST_LOAD_FIXTURE_H_
#define KORVELO_TESTS_CACHELIST_LOAD_FIXTURE_H_

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "cachelist/cache_list.h"
#include "cachelist/progress.h"
#include "platform/folders.h"
#include "support/test_support.h"

namespace korvelo {

class RecordingProgress : public Progress {
 public:
  void SetText(const std::string& text) override { texts.push_back(text); }
  std::vector<std::string> texts;
};

// A small pocket query: one wpt element per code, in order.
inline std::string Gpx(const std::vector<std::string>& codes) {
  std::string text =
      "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<gpx version=\"1.0\">\r\n";
  for (const std::string& code : codes) {
    text += "  <wpt lat=\"50.1\" lon=\"8.6\">\r\n    <name>" + code +
            "</name>\r\n    <urlname>Cache " + code +
            "</urlname>\r\n  </wpt>\r\n";
  }
  return text + "</gpx>\r\n";
}

inline std::vector<std::string> Codes(const CacheList& list) {
  std::vector<std::string> codes;
  for (const CacheRecord& record : list.records) codes.push_back(record.name);
  return codes;
}

inline std::vector<std::string> FilesOf(const CacheList& list) {
  std::vector<std::string> files;
  for (const CacheRecord& record : list.records) files.push_back(record.file);
  return files;
}

class LoadTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (const char* old = std::getenv("TMPDIR")) old_tmpdir_ = old;
    setenv("TMPDIR", scratch_.path().c_str(), 1);
  }
  void TearDown() override {
    EXPECT_TRUE(ListFolder(scratch_.path()).empty())
        << "a temporary folder was left in " << scratch_.path();
    if (old_tmpdir_) {
      setenv("TMPDIR", old_tmpdir_->c_str(), 1);
    } else {
      unsetenv("TMPDIR");
    }
  }

  // Writes `bytes` as `name` into the test's own folder and loads it.
  CacheList LoadFile(const std::string& name, const std::string& bytes) {
    testing::WriteFileOrFail(files_ / name, bytes);
    return CacheList(files_ / name, &progress_, "");
  }

  testing::TempDir files_;
  testing::TempDir scratch_;  // $TMPDIR during the test
  RecordingProgress progress_;

 private:
  std::optional<std::string> old_tmpdir_;
};

}  // namespace korvelo

#endif  // KORVELO_TESTS_CACHELIST_LOAD_FIXTURE_H_

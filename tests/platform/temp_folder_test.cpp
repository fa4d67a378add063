#include "platform/temp_folder.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <optional>
#include <stdexcept>

#include "platform/file_error.h"
#include "platform/folders.h"
#include "support/test_support.h"

namespace korvelo {
namespace {

using ::korvelo::testing::FileExists;
using ::korvelo::testing::TempDir;
using ::korvelo::testing::WriteFileOrFail;

// Sets or clears $TMPDIR for one test and restores it afterwards.
class TmpdirOverride {
 public:
  explicit TmpdirOverride(const char* value) {
    if (const char* old = std::getenv("TMPDIR")) old_ = old;
    if (value != nullptr) {
      setenv("TMPDIR", value, 1);
    } else {
      unsetenv("TMPDIR");
    }
  }
  ~TmpdirOverride() {
    if (old_) {
      setenv("TMPDIR", old_->c_str(), 1);
    } else {
      unsetenv("TMPDIR");
    }
  }

 private:
  std::optional<std::string> old_;
};

TEST(TempFolder, SystemFolderComesFromTmpdirElseTmp) {
  {
    TmpdirOverride set("/var/scratch");
    EXPECT_EQ(SystemTempFolder(), "/var/scratch");
  }
  {
    TmpdirOverride empty("");
    EXPECT_EQ(SystemTempFolder(), "/tmp");
  }
  {
    TmpdirOverride unset(nullptr);
    EXPECT_EQ(SystemTempFolder(), "/tmp");
  }
}

TEST(TempFolder, CreatesPrivateFolderNamedTmpHex) {
  TempDir base;
  const std::string folder = CreateTempFolder(base.path(), true);
  const std::string prefix = base.path() + "\\tmp_";
  ASSERT_EQ(folder.substr(0, prefix.size()), prefix);
  const std::string rest = folder.substr(prefix.size());
  ASSERT_GT(rest.size(), 1u) << folder;
  EXPECT_EQ(rest.back(), '\\') << folder;
  EXPECT_EQ(rest.find_first_not_of("0123456789abcdef"), rest.size() - 1)
      << folder;
  struct stat info;
  ASSERT_EQ(stat(NativePath(folder).c_str(), &info), 0);
  EXPECT_TRUE(S_ISDIR(info.st_mode));
  EXPECT_EQ(info.st_mode & 0777, 0700u);
}

TEST(TempFolder, EveryCallMakesANewFolder) {
  TempDir base;
  const std::string first = CreateTempFolder(base.path() + "\\", true);
  const std::string second = CreateTempFolder(base.path() + "\\", true);
  ASSERT_FALSE(first.empty());
  EXPECT_NE(first, second);
  EXPECT_EQ(ListFolder(base.path()).size(), 2u);
}

TEST(TempFolder, GivesEmptyTextWhenBaseIsMissing) {
  TempDir base;
  EXPECT_EQ(CreateTempFolder(base / "missing", true), "");
  EXPECT_TRUE(ListFolder(base.path()).empty());
}

TEST(TempFolder, WithoutUniqueCreatesBaseItselfButNeverReusesIt) {
  TempDir base;
  EXPECT_EQ(CreateTempFolder(base / "work", false), base / "work");
  EXPECT_TRUE(IsFolder(base / "work"));
  EXPECT_EQ(CreateTempFolder(base / "work", false), "");
}

TEST(TempFolder, GuardRemovesFolderWithContentWhenAnErrorPasses) {
  TempDir base;
  std::string folder;
  try {
    ScopedTempFolder guard(CreateTempFolder(base.path(), true));
    folder = guard.path();
    WriteFileOrFail(NativePath(folder) + "a.gpx", "x");
    WriteFileOrFail(NativePath(folder) + "sub/b.gpx", "y");
    throw std::runtime_error("leaving the load");
  } catch (const std::runtime_error&) {
  }
  ASSERT_FALSE(folder.empty());
  EXPECT_FALSE(FileExists(NativePath(folder)));
  EXPECT_TRUE(ListFolder(base.path()).empty());
}

}  // namespace
}  // namespace korvelo

// Folders and temporary folders, named with backslashes as the engine does.
// The loader tests check that every archive load removes its temporary
// folder, errors included.
#include "platform/folders.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <regex>

#include "platform/temp_folder.h"
#include "support/test_support.h"

namespace korvelo {
namespace {

using ::korvelo::testing::FileExists;
using ::korvelo::testing::TempDir;
using ::korvelo::testing::WriteFileOrFail;

TEST(Folders, ListsEntriesInByteOrderWithoutDotEntries) {
  TempDir dir;
  for (const char* name : {"b", "B", "a", "\xC3\xA4", "_x", "10", "9"}) {
    WriteFileOrFail(dir / name, "x");
  }
  WriteFileOrFail(dir / "sub/x", "x");
  std::string listing;
  for (const FolderEntry& entry : ListFolder(dir.path() + "/")) {
    listing += entry.name + (entry.is_folder ? "/ " : " ");
  }
  EXPECT_EQ(listing, "10 9 B _x a b sub/ \xC3\xA4 ");
  EXPECT_TRUE(ListFolder(dir / "x").empty() && ListFolder(dir / "a").empty());
}

// A link to a folder is a folder, a link to a file is not.
TEST(Folders, TellsFoldersFromFilesFollowingLinks) {
  TempDir dir;
  WriteFileOrFail(dir / "a.gpx", "x");
  ASSERT_EQ(symlink((dir / "a.gpx").c_str(), (dir / "link").c_str()), 0);
  ASSERT_EQ(symlink(dir.path().c_str(), (dir / "folderlink").c_str()), 0);
  EXPECT_TRUE(IsFolder(dir / "folderlink") && IsFolder(dir.path() + "/"));
  for (const std::string& path :
       {dir / "a.gpx", dir / "link", dir / "x", std::string()}) {
    EXPECT_FALSE(IsFolder(path)) << path;
  }
}

TEST(Folders, DeletesWholeTreeButNotWhatLinksInsideItPointTo) {
  TempDir dir;
  WriteFileOrFail(dir / "keep/precious.gpx", "x");
  WriteFileOrFail(dir / "tree/sub/deeper/b.gpx", "y");
  std::filesystem::create_directories(dir / "tree/empty");
  ASSERT_EQ(symlink((dir / "keep").c_str(), (dir / "tree/link").c_str()), 0);
  DeleteFolderTree(dir.path() + "/tree/");
  EXPECT_FALSE(FileExists(dir / "tree"));
  EXPECT_TRUE(FileExists(dir / "keep/precious.gpx"));
}

TEST(TempFolder, SystemFolderComesFromTmpdirElseTmp) {
  const char* old = std::getenv("TMPDIR");
  const std::string saved = old ? old : "";
  std::string seen;
  for (const char* value :
       {"/var/scratch", "", static_cast<const char*>(nullptr)}) {
    value ? setenv("TMPDIR", value, 1) : unsetenv("TMPDIR");
    seen += SystemTempFolder() + " ";
  }
  EXPECT_EQ(seen, "/var/scratch /tmp /tmp ");
  if (old) setenv("TMPDIR", saved.c_str(), 1);
}

TEST(TempFolder, EveryCallMakesANewPrivateFolderNamedTmpHex) {
  TempDir base;
  const std::string first = CreateTempFolder(base.path(), true);
  const std::string second = CreateTempFolder(base.path() + "/", true);
  for (const std::string& folder : {first, second}) {
    ASSERT_EQ(folder.substr(0, base.path().size()), base.path());
    EXPECT_TRUE(std::regex_match(folder.substr(base.path().size()),
                                 std::regex("/tmp_[0-9a-f]+/")));
    struct stat info;
    ASSERT_EQ(stat(folder.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & (S_IFMT | 0777), S_IFDIR | 0700u);
  }
  EXPECT_NE(first, second);
  EXPECT_EQ(CreateTempFolder(base / "missing", true), "");
  EXPECT_EQ(ListFolder(base.path()).size(), 2u);
}

}  // namespace
}  // namespace korvelo

#include "platform/folders.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include "support/test_support.h"

namespace korvelo {
namespace {

using ::korvelo::testing::FileExists;
using ::korvelo::testing::TempDir;
using ::korvelo::testing::WriteFileOrFail;

// The engine's form of a path below `dir`: backslash separators.
std::string EnginePath(const TempDir& dir, std::string_view name) {
  return dir.path() + "\\" + std::string(name);
}

TEST(Folders, ListsEntriesInByteOrderWithoutDotEntries) {
  TempDir dir;
  for (const char* name :
       {"b.gpx", "B.gpx", "a.gpx", "\xC3\xA4.gpx", "_x", "10.gpx", "9.gpx"}) {
    WriteFileOrFail(dir / name, "x");
  }
  ASSERT_TRUE(CreateFolder(dir / "sub"));

  std::vector<std::string> names;
  std::vector<bool> folders;
  for (const FolderEntry& entry : ListFolder(dir.path())) {
    names.push_back(entry.name);
    folders.push_back(entry.is_folder);
  }
  EXPECT_EQ(names,
            (std::vector<std::string>{"10.gpx", "9.gpx", "B.gpx", "_x", "a.gpx",
                                      "b.gpx", "sub", "\xC3\xA4.gpx"}));
  EXPECT_EQ(folders, (std::vector<bool>{false, false, false, false, false,
                                        false, true, false}));
}

TEST(Folders, ListsNothingForMissingFolderOrFile) {
  TempDir dir;
  WriteFileOrFail(dir / "a.gpx", "x");
  EXPECT_TRUE(ListFolder(dir / "missing").empty());
  EXPECT_TRUE(ListFolder(dir / "a.gpx").empty());
}

TEST(Folders, AcceptsBackslashPaths) {
  TempDir dir;
  WriteFileOrFail(dir / "sub/a.gpx", "12345");
  EXPECT_TRUE(IsFolder(EnginePath(dir, "sub")));
  EXPECT_EQ(ListFolder(EnginePath(dir, "sub")).size(), 1u);
  EXPECT_EQ(FileSizeOrZero(EnginePath(dir, "sub\\a.gpx")), 5);
  EXPECT_TRUE(CreateFolder(EnginePath(dir, "sub\\new")));
  EXPECT_TRUE(IsFolder(dir / "sub/new"));
}

TEST(Folders, TellsFoldersFromFilesAndMissingPaths) {
  TempDir dir;
  WriteFileOrFail(dir / "a.gpx", "x");
  ASSERT_EQ(symlink((dir / "a.gpx").c_str(), (dir / "link").c_str()), 0);
  ASSERT_EQ(symlink(dir.path().c_str(), (dir / "folderlink").c_str()), 0);
  EXPECT_TRUE(IsFolder(dir.path()));
  EXPECT_TRUE(IsFolder(dir / "folderlink"));
  EXPECT_FALSE(IsFolder(dir / "a.gpx"));
  EXPECT_FALSE(IsFolder(dir / "link"));
  EXPECT_FALSE(IsFolder(dir / "missing"));
  EXPECT_FALSE(IsFolder(""));
}

TEST(Folders, CreatesOneLevelAndAcceptsAnExistingFolder) {
  TempDir dir;
  WriteFileOrFail(dir / "file", "x");
  EXPECT_TRUE(CreateFolder(dir / "new"));
  EXPECT_TRUE(IsFolder(dir / "new"));
  EXPECT_TRUE(CreateFolder(dir / "new"));
  EXPECT_FALSE(CreateFolder(dir / "file"));
  EXPECT_FALSE(CreateFolder(dir / "missing/new"));
}

TEST(Folders, DeletesWholeTree) {
  TempDir dir;
  WriteFileOrFail(dir / "tree/a.gpx", "x");
  WriteFileOrFail(dir / "tree/sub/deeper/b.gpx", "y");
  ASSERT_TRUE(CreateFolder(dir / "tree/empty"));
  DeleteFolderTree(EnginePath(dir, "tree\\"));
  EXPECT_FALSE(FileExists(dir / "tree"));
}

TEST(Folders, DeletesLinksInsideTreeButNotWhatTheyPointTo) {
  TempDir dir;
  WriteFileOrFail(dir / "keep/precious.gpx", "x");
  WriteFileOrFail(dir / "tree/a.gpx", "x");
  ASSERT_EQ(symlink((dir / "keep").c_str(), (dir / "tree/link").c_str()), 0);
  DeleteFolderTree(dir / "tree");
  EXPECT_FALSE(FileExists(dir / "tree"));
  EXPECT_TRUE(FileExists(dir / "keep/precious.gpx"));
}

TEST(Folders, GivesFileSizeOrZero) {
  TempDir dir;
  WriteFileOrFail(dir / "five", "12345");
  WriteFileOrFail(dir / "empty", "");
  EXPECT_EQ(FileSizeOrZero(dir / "five"), 5);
  EXPECT_EQ(FileSizeOrZero(dir / "empty"), 0);
  EXPECT_EQ(FileSizeOrZero(dir / "missing"), 0);
}

}  // namespace
}  // namespace korvelo

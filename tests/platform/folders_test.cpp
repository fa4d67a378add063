// Folders and temporary folders. The loader tests hold the listing's byte
// order and check that every archive load removes its temporary folder,
// errors included.
#include "platform/folders.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "platform/temp_folder.h"
#include "support/test_support.h"

namespace korvelo {
namespace {

using ::korvelo::testing::FileExists;
using ::korvelo::testing::TempDir;
using ::korvelo::testing::WriteFileOrFail;

// A link to a folder is a folder, a link to a file is not.
TEST(Folders, TellsFoldersFromFilesFollowingLinks) {
  TempDir dir;
  WriteFileOrFail(dir / "sub/a.gpx", "x");
  ASSERT_EQ(symlink((dir / "sub").c_str(), (dir / "link").c_str()), 0);
  ASSERT_EQ(symlink((dir / "sub/a.gpx").c_str(), (dir / "file").c_str()), 0);
  std::string listing;
  for (const FolderEntry& entry : ListFolder(dir.path() + "/")) {
    listing += entry.name + (entry.is_folder ? "/ " : " ");
  }
  EXPECT_EQ(listing, "file link/ sub/ ");
  EXPECT_TRUE(IsFolder(dir / "link") && ListFolder(dir / "file").empty());
  EXPECT_FALSE(IsFolder(dir / "file") || IsFolder(dir / "x") || IsFolder(""));
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

TEST(TempFolder, EveryCallMakesANewPrivateFolder) {
  TempDir base;
  const std::string first = CreateTempFolder(base.path(), true);
  const std::string second = CreateTempFolder(base.path() + "/", true);
  for (const std::string& folder : {first, second}) {
    EXPECT_EQ(folder.substr(0, base.path().size() + 5), base / "tmp_");
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

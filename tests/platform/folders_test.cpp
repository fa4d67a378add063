// Folders. The loader tests hold the listing's byte order.
#include "platform/folders.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include "support/test_support.h"

namespace korvelo {
namespace {

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

}  // namespace
}  // namespace korvelo

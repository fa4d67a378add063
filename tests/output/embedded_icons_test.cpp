#include "output/embedded_icons.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "support/test_support.h"

namespace korvelo {
namespace {

TEST(EmbeddedIcons, HoldEveryPngOfTheIconFolderByteForByte) {
  std::set<std::string> names;
  for (const auto& item :
       std::filesystem::directory_iterator(KORVELO_MAP_ICON_DIR)) {
    if (item.path().extension() != ".png") continue;
    const std::string name = item.path().filename().string();
    names.insert(name);
    const std::optional<std::string_view> bytes = EmbeddedIcon(name);
    ASSERT_TRUE(bytes) << name;
    EXPECT_EQ(*bytes, testing::ReadFileOrFail(item.path().string())) << name;
  }
  std::set<std::string> embedded;
  for (const EmbeddedFile& file : EmbeddedIcons()) {
    embedded.insert(std::string(file.name));
  }
  EXPECT_EQ(embedded, names);
}

TEST(EmbeddedIcons, LookupFindsOnlyWholeNames) {
  ASSERT_FALSE(EmbeddedIcons().empty());
  const std::string first(EmbeddedIcons().front().name);
  const std::string last(EmbeddedIcons().back().name);
  EXPECT_TRUE(EmbeddedIcon(first));
  EXPECT_TRUE(EmbeddedIcon(last));
  for (const std::string& name :
       {std::string(), first.substr(0, first.size() - 1), last + "x",
        "icons/" + first, std::string("zzz.png")}) {
    EXPECT_FALSE(EmbeddedIcon(name)) << name;
  }
}

}  // namespace
}  // namespace korvelo

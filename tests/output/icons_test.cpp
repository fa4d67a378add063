// Which icon a placemark gets, and the icon files built into the program.
#include "output/icons.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "gpx_lists.h"
#include "output/embedded_icons.h"

namespace korvelo {
namespace {

using testing::Wpt;

enum Keyword { kNoTest, kMotorway, kChurch, kNight, kHotel, kRailway };

TEST(Icons, EveryKeywordMakesExactlyItsTestHold) {
  // The UTF-8 a-umlaut is two bytes; "Hbf." ends in two blanks.
  const std::pair<Keyword, std::vector<std::string>> groups[] = {
      {kMotorway,
       {"Am Rasthof Nord", "RASTST\xC4TTE Sued", "Rast BAB 15", "Rast A 95"}},
      {kChurch, {"Old churches of York", "Die Kirchen in Bonn"}},
      {kNight, {"Spuk at night", "Die Nachtschicht"}},
      {kHotel, {"Travelbug Depot", "TB Airporthotel", "TB-Hotel"}},
      {kRailway, {"Alter Bahnhof", "Koeln Hbf", "Dorf Bf"}},
      {kNoTest,
       {"Rastst\xC3\xA4tte Sued", "Stadtkirche", "Nightcache", "Koeln Hbf.",
        "Bf Nord", "Rast an der a 7", "Rast an der A0"}},
  };
  for (const auto& [holds, titles] : groups) {
    for (const std::string& title : titles) {
      const CacheRecord record = Wpt("GC1", title, "");
      SCOPED_TRACE(title);
      EXPECT_EQ(IsMotorwayCache(record), holds == kMotorway);
      EXPECT_EQ(IsChurchCache(record), holds == kChurch);
      EXPECT_EQ(IsNightCache(record), holds == kNight);
      EXPECT_EQ(IsTravelBugHotel(record), holds == kHotel);
      EXPECT_EQ(IsRailwayStation(record), holds == kRailway);
    }
  }
}

// Which rule wins, beyond what the reference KML files show. Flags: m moved,
// u unavailable, s showDisabled. Icon: the file name under the extra base
// ("icon_...") or the standard base, or none.
TEST(Icons, HrefFollowsRoleTypeKeywordsAndFlagsInThisOrder) {
  const std::string tradi = "Traditional Cache", multi = "Multi-cache",
                    odd = "Locationless (Reverse) Cache";
  const struct {
    std::string type, title;
    int function;
    std::string flags, icon;
  } cases[] = {
      {"Unknown Cache", "Alte Kirche", 1, "", "8.png"},
      {odd, "X", 1, "", ""},
      {tradi, "Kirche an der Autobahn", 1, "", "icon_autobahn.png"},
      {tradi, "Gotteshaus TB Hotel", 1, "", "icon_church.png"},
      {tradi, "TB Hotel am Bahnhof", 1, "", "icon_tbhotel.png"},
      {multi, "Kirche an der Autobahn", 1, "", "3.png"},
      {multi, "Runde", 1, "mus", "icon_unavailable.png"},
      {odd, "X", kFunctionFound, "us", "icon_found.png"},
      {tradi, "X", -1, "", ""},
  };
  for (const auto& c : cases) {
    CacheRecord record = Wpt("GC1", c.title, c.type);
    record.moved = c.flags.find('m') != std::string::npos;
    record.unavailable = c.flags.find('u') != std::string::npos;
    const bool show = c.flags.find('s') != std::string::npos;
    std::string expected;
    if (c.icon.starts_with("icon_")) {
      expected = std::string(kExtraIconBase) + "/geocaching/icons/" + c.icon;
    } else if (!c.icon.empty()) {
      expected = std::string(kStandardIconBase) + "/images/kml/" + c.icon;
    }
    EXPECT_EQ(IconHref(record, c.function, show), expected)
        << c.type << " / " << c.title << " / " << c.function << c.flags;
  }
}

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

#include "output/icons.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gpx_lists.h"

namespace korvelo {
namespace {

using testing::Wpt;

enum Keyword { kNoTest, kMotorway, kChurch, kNight, kHotel, kRailway };

TEST(Icons, EveryKeywordMakesExactlyItsTestHold) {
  std::vector<std::pair<Keyword, std::vector<std::string>>> groups = {
      {kMotorway,
       {"Autobahnblick", "Am Rasthof Nord", "Rastst\xE4tte Sued",
        "RASTST\xC4TTE Sued"}},
      {kChurch,
       {"Old churches of York", "Kirchengemeinde Nord", "Gotteshaus",
        "Alte Kirche", "Die Kirchen in Bonn", "Dorfkirche Ost"}},
      {kNight, {"Spuk at night", "Die Nachtschicht", "Der Nightchache"}},
      {kHotel,
       {"Travelbug Depot", "Travel Bug Hotel Nord", "TB Motel", "TB Hotel Sued",
        "Travel Bug Cache", "Airport Bug Hotel", "TB Airport",
        "TB Airporthotel", "TB-Hotel"}},
      {kRailway, {"Alter Bahnhof", "Bahnhofstrasse", "Koeln Hbf", "Dorf Bf"}},
      // The UTF-8 a-umlaut is two bytes; "Hbf." ends in two blanks.
      {kNoTest,
       {"Rastst\xC3\xA4tte Sued", "Stadtkirche", "Kirchen", "Nightcache",
        "Koeln Hbf.", "Bf Nord", "a7 rest", "Rast an der a 7", "Rast an der A0",
        "Rast bab 7"}},
  };
  for (std::string road : {"BAB", "BAB ", "A", "A "}) {
    for (char digit = '1'; digit <= '9'; ++digit) {
      groups[0].second.push_back("Rast " + road + digit + "5");
    }
  }
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

// Flags: m moved, u unavailable, s showDisabled. Icon: the file name under
// the extra base ("icon_...") or the standard base, or none. What the
// reference KML files show of every type and role is not repeated here.
TEST(Icons, HrefFollowsRoleTypeKeywordsAndFlagsInThisOrder) {
  const std::string tradi = "Traditional Cache", multi = "Multi-cache",
                    odd = "Locationless (Reverse) Cache";
  const struct {
    std::string type, title;
    int function;
    std::string flags, icon;
  } cases[] = {
      {"Mega-Event Cache", "X", 1, "", "icon_megaevent.png"},
      {"Unknown Cache", "Alte Kirche", 1, "", "8.png"},
      {"Earthcache", "X", 1, "", "earthcache.png"},
      {multi, "X", 1, "", "3.png"},
      {odd, "X", 1, "", ""},
      {tradi, "Kirche an der Autobahn", 1, "", "icon_autobahn.png"},
      {tradi, "Kirche am Bahnhof", 1, "", "icon_church.png"},
      {tradi, "Gotteshaus TB Hotel", 1, "", "icon_church.png"},
      {tradi, "TB Hotel am Bahnhof", 1, "", "icon_tbhotel.png"},
      {tradi, "Koeln Hbf", 1, "", "icon_train.png"},
      {tradi, "Spuk at night", 1, "", "2.png"},
      {multi, "Night walk at night", 1, "m", "icon_nightcache.png"},
      {multi, "Kirche an der Autobahn", 1, "", "3.png"},
      {tradi, "Alte Kirche", 1, "us", "icon_unavailable.png"},
      {multi, "Runde", 1, "mus", "icon_unavailable.png"},
      {odd, "X", 1, "us", "icon_unavailable.png"},
      {odd, "X", kFunctionFound, "us", "icon_found.png"},
      {tradi, "Alte Kirche", kFunctionMine, "mus", "icon_mine.png"},
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

}  // namespace
}  // namespace korvelo

#include "output/icons.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/test_support.h"

namespace korvelo {
namespace {

// The keyword texts as the parser derives them: blanks around the name,
// eight punctuation marks as blanks, then ANSI lower case (A-Z and the
// accented capitals C0-DE except the multiplication sign).
CacheRecord Titled(std::string_view urlname, std::string_view type = "") {
  CacheRecord record;
  record.urlname = urlname;
  record.type = type;
  record.padded_title = " " + std::string(urlname) + " ";
  for (char& c : record.padded_title) {
    if (std::string_view(",.:-\"()!").find(c) != std::string_view::npos) {
      c = ' ';
    }
  }
  record.search_title = record.padded_title;
  for (char& c : record.search_title) {
    const unsigned char b = static_cast<unsigned char>(c);
    if ((b >= 'A' && b <= 'Z') || (b >= 0xC0 && b <= 0xDE && b != 0xD7)) {
      c = static_cast<char>(b + 0x20);
    }
  }
  return record;
}

std::string Standard(std::string_view file) {
  return std::string(kStandardIconBase) + "/images/kml/" + std::string(file);
}
std::string Extra(std::string_view file) {
  return std::string(kExtraIconBase) + "/geocaching/icons/" + std::string(file);
}

enum Test { kNoTest, kMotorway, kChurch, kNight, kHotel, kRailway };

struct KeywordCase {
  std::string title;
  Test holds;  // the one test that must hold, or none
};

std::vector<KeywordCase> KeywordCases() {
  std::vector<KeywordCase> cases = {
      {"Autobahnblick", kMotorway},
      {"Am Rasthof Nord", kMotorway},
      {"Rastst\xE4tte Sued", kMotorway},
      {"RASTST\xC4TTE Sued", kMotorway},
      {"Rastst\xC3\xA4tte Sued", kNoTest},  // UTF-8: two bytes for the ä
      {"Old churches of York", kChurch},
      {"Kirchengemeinde Nord", kChurch},
      {"Gotteshaus", kChurch},
      {"Alte Kirche", kChurch},
      {"Die Kirchen in Bonn", kChurch},
      {"Dorfkirche Ost", kChurch},
      {"Stadtkirche", kNoTest},
      {"Kirchen", kNoTest},
      {"Spuk at night", kNight},
      {"Die Nachtschicht", kNight},
      {"Der Nightchache", kNight},
      {"Nightcache", kNoTest},
      {"Travelbug Depot", kHotel},
      {"Travel Bug Hotel Nord", kHotel},
      {"TB Motel", kHotel},
      {"TB Hotel Sued", kHotel},
      {"Travel Bug Cache", kHotel},
      {"Airport Bug Hotel", kHotel},
      {"TB Airport", kHotel},
      {"TB Airporthotel", kHotel},
      {"TB-Hotel", kHotel},  // the hyphen becomes a blank
      {"Alter Bahnhof", kRailway},
      {"Bahnhofstrasse", kRailway},
      {"Koeln Hbf", kRailway},
      {"Dorf Bf", kRailway},
      {"Koeln Hbf.", kNoTest},  // ends in two blanks
      {"Bf Nord", kNoTest},
      {"a7 rest", kNoTest},
      {"Rast an der a 7", kNoTest},
      {"Rast an der A0", kNoTest},
  };
  // Every road number keyword, and each must stay case-sensitive.
  for (std::string prefix : {"BAB", "BAB ", "A", "A "}) {
    for (char digit = '1'; digit <= '9'; ++digit) {
      cases.push_back({"Rast " + prefix + digit + "5", kMotorway});
    }
  }
  return cases;
}

TEST(Icons, EveryKeywordMakesExactlyItsTestHold) {
  for (const KeywordCase& c : KeywordCases()) {
    const CacheRecord record = Titled(c.title);
    SCOPED_TRACE(c.title);
    EXPECT_EQ(IsMotorwayCache(record), c.holds == kMotorway);
    EXPECT_EQ(IsChurchCache(record), c.holds == kChurch);
    EXPECT_EQ(IsNightCache(record), c.holds == kNight);
    EXPECT_EQ(IsTravelBugHotel(record), c.holds == kHotel);
    EXPECT_EQ(IsRailwayStation(record), c.holds == kRailway);
  }
}

struct HrefCase {
  std::string type;
  std::string title;
  int function;
  bool moved;
  bool unavailable;
  bool showDisabled;
  std::string expected;
};

void ExpectHrefs(const std::vector<HrefCase>& cases) {
  for (const HrefCase& c : cases) {
    CacheRecord record = Titled(c.title, c.type);
    record.moved = c.moved;
    record.unavailable = c.unavailable;
    SCOPED_TRACE(c.type + " / " + c.title + " / function " +
                 std::to_string(c.function));
    EXPECT_EQ(IconHref(record, c.function, c.showDisabled), c.expected);
  }
}

TEST(Icons, EachTypeRowGivesItsIconForCompleteFiles) {
  const int all = kFunctionComplete;
  ExpectHrefs({
      {"Virtual Cache", "X", all, false, false, false, Standard("4.png")},
      {"Letterbox Hybrid", "X", all, false, false, false, Standard("5.png")},
      {"Event Cache", "X", all, false, false, false, Standard("6.png")},
      {"Mega-Event Cache", "X", all, false, false, false,
       Extra("icon_megaevent.png")},
      {"Mega-Event cache", "X", all, false, false, false,
       Extra("icon_megaevent.png")},
      {"Unknown Cache", "X", all, false, false, false, Standard("8.png")},
      {"Unknown Cache", "X", all, true, false, false, Extra("icon_moved.png")},
      {"Webcam Cache", "X", all, false, false, false, Standard("11.png")},
      {"Cache In Trash Out Event", "X", all, false, false, false,
       Standard("13.png")},
      {"Earthcache", "X", all, false, false, false, Standard("earthcache.png")},
      {"Wherigo Cache", "X", all, false, false, false,
       Extra("icon_whereigo.png")},
      {"Multi-cache", "X", all, false, false, false, Standard("3.png")},
      {"Multi-cache", "X", all, true, false, false,
       Extra("icon_multimoved.png")},
      {"Traditional Cache", "X", all, false, false, false, Standard("2.png")},
      {"Traditional Cache", "X", all, true, false, false, Standard("2.png")},
      {"multi-cache", "X", all, false, false, false, ""},
      {"Locationless (Reverse) Cache", "X", all, false, false, false, ""},
      {"", "X", all, false, false, false, ""},
  });
}

TEST(Icons, KeywordsRefineOnlyTraditionalAndNightOnlyMultiCaches) {
  const int all = kFunctionComplete;
  const std::string tradi = "Traditional Cache", multi = "Multi-cache";
  ExpectHrefs({
      {tradi, "Kirche an der Autobahn", all, false, false, false,
       Extra("icon_autobahn.png")},
      {tradi, "Autobahnkirche Nord", all, false, false, false,
       Extra("icon_autobahn.png")},
      {tradi, "Rast an der A7", all, false, false, false,
       Extra("icon_autobahn.png")},
      {tradi, "Blick auf die A 45", all, false, false, false,
       Extra("icon_autobahn.png")},
      {tradi, "a7 rest", all, false, false, false, Standard("2.png")},
      {tradi, "Alte Kirche", all, false, false, false,
       Extra("icon_church.png")},
      {tradi, "Kirche am Bahnhof", all, false, false, false,
       Extra("icon_church.png")},
      {tradi, "Gotteshaus TB Hotel", all, false, false, false,
       Extra("icon_church.png")},
      {tradi, "TB Hotel am Bahnhof", all, false, false, false,
       Extra("icon_tbhotel.png")},
      {tradi, "Koeln Hbf", all, false, false, false, Extra("icon_train.png")},
      {tradi, "Koeln Hbf.", all, false, false, false, Standard("2.png")},
      {tradi, "Spuk at night", all, false, false, false, Standard("2.png")},
      {tradi, "Alte Kirche", all, true, false, false, Extra("icon_church.png")},
      {multi, "Night walk at night", all, true, false, false,
       Extra("icon_nightcache.png")},
      {multi, "Night walk at night", all, false, false, false,
       Extra("icon_nightcache.png")},
      {multi, "Kirche an der Autobahn", all, false, false, false,
       Standard("3.png")},
      {"Unknown Cache", "Kirche at night", all, true, false, false,
       Extra("icon_moved.png")},
  });
}

TEST(Icons, UnavailableOverridesOnlyForCompleteFilesWhenShown) {
  const int all = kFunctionComplete;
  const std::string tradi = "Traditional Cache";
  ExpectHrefs({
      {tradi, "Alte Kirche", all, false, true, false, Extra("icon_church.png")},
      {tradi, "Alte Kirche", all, false, true, true,
       Extra("icon_unavailable.png")},
      {"Multi-cache", "Runde", all, true, true, true,
       Extra("icon_unavailable.png")},
      {"Locationless (Reverse) Cache", "X", all, false, true, true,
       Extra("icon_unavailable.png")},
      {"Locationless (Reverse) Cache", "X", all, false, true, false, ""},
      {tradi, "X", kFunctionFound, false, true, true, Extra("icon_found.png")},
  });
}

TEST(Icons, FileRolesIgnoreTypeKeywordsAndFlags) {
  const std::string odd = "Locationless (Reverse) Cache";
  ExpectHrefs({
      {odd, "X", kFunctionFound, false, false, false, Extra("icon_found.png")},
      {"Traditional Cache", "Alte Kirche", kFunctionMine, true, true, true,
       Extra("icon_mine.png")},
      {"Unknown Cache", "X", kFunctionDisabled, true, false, false,
       Extra("icon_unavailable.png")},
      {"Multi-cache", "Spuk at night", kFunctionMarked, false, true, true,
       Extra("icon_marker.png")},
      {"Traditional Cache", "Alte Kirche", kFunctionNone, false, true, true,
       ""},
      {"Traditional Cache", "X", 6, false, false, false, ""},
      {"Traditional Cache", "X", -1, false, false, false, ""},
  });
}

TEST(Icons, SpecialIconWithNightOnlyLooksAtNothingElse) {
  EXPECT_EQ(SpecialIcon(Titled("Alte Kirche at night"), true),
            Extra("icon_nightcache.png"));
  EXPECT_EQ(SpecialIcon(Titled("Alte Kirche"), true), "");
  EXPECT_EQ(SpecialIcon(Titled("Alte Kirche at night"), false),
            Extra("icon_church.png"));
  EXPECT_EQ(SpecialIcon(Titled("Feldweg"), false), "");
}

// Serving assets/icons at the extra host must satisfy every reference.
TEST(Icons, EveryExtraIconShipsAsPngAtItsPath) {
  const std::string assets =
      std::string(KORVELO_REFERENCE_DIR) + "/../../assets/icons";
  int extra = 0;
  for (int i = 0; i <= static_cast<int>(Icon::kMarked); ++i) {
    const std::string_view url = IconUrl(static_cast<Icon>(i));
    if (!url.starts_with(kExtraIconBase)) continue;
    ++extra;
    const std::string file =
        assets + std::string(url.substr(kExtraIconBase.size()));
    const std::string bytes = testing::ReadFileOrFail(file);
    EXPECT_TRUE(bytes.starts_with("\x89PNG\r\n\x1a\n")) << file;
  }
  EXPECT_EQ(extra, 13);
}

}  // namespace
}  // namespace korvelo

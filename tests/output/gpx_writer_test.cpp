// The GPX for devices: the document around the copied waypoints, the edits
// of moved and found caches, which additional waypoints follow which cache,
// and odd waypoint texts copied as they stand.
#include "output/gpx_writer.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <sstream>
#include <string>
#include <vector>

#include "output/file_function.h"
#include "output/gpx_waypoint.h"
#include "support/test_support.h"

namespace korvelo {
namespace {

using Texts = std::vector<std::string>;

std::string Wpt(const std::string& code, const std::string& lat = "50.5",
                const std::string& lon = "8.25", const std::string& body = "") {
  return "<wpt lat=\"" + lat + "\" lon=\"" + lon + "\">\r\n    <name>" + code +
         "</name>" + body + "\r\n  ";
}

// A list whose records come from `caches` (kept as their original texts)
// and whose additional waypoints are `additional`, both in this order.
CacheList ListOf(const Texts& caches, const Texts& additional = {}) {
  CacheList list;
  list.name = "/pq/12345.gpx";
  for (const std::string& wpt : caches) {
    CacheRecord record(wpt);
    list.originals.AddCache(record.name, wpt);
    list.Append(std::move(record));
  }
  for (const std::string& wpt : additional) {
    list.originals.AddAdditional(CacheRecord(wpt).name, wpt);
  }
  return list;
}

std::string Written(const CacheList& list, int function = kFunctionComplete) {
  std::ostringstream out;
  WriteGpx(list, function, out);
  return out.str();
}

TEST(GpxWriter, WritesThePocketQueryFrameAroundTheCopiedTexts) {
  const std::string a = Wpt("GC1AB", "50.5", "8.25");
  const std::string b = Wpt("GC2CD", "-33.75", "151.125");
  const std::string parking = Wpt("PK1AB", "50.75", "-0.5");
  const std::string expected =
      "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n"
      "<gpx xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" "
      "xmlns:xsd=\"http://www.w3.org/2001/XMLSchema\" version=\"1.0\" "
      "creator=\"Korvelo 1.11\" "
      "xsi:schemaLocation=\"http://www.topografix.com/GPX/1/0 "
      "http://www.topografix.com/GPX/1/0/gpx.xsd "
      "http://www.groundspeak.com/cache/1/0/1 "
      "http://www.groundspeak.com/cache/1/0/1/cache.xsd\" "
      "xmlns=\"http://www.topografix.com/GPX/1/0\">\r\n"
      "  <name>12345</name>\r\n"
      "  <bounds minlat=\"-33.75\" minlon=\"-0.5\" maxlat=\"50.75\" "
      "maxlon=\"151.125\" />\r\n" +
      a + "</wpt>\r\n" + parking + "</wpt>\r\n" + b + "</wpt>\r\n</gpx>\r\n";
  EXPECT_EQ(Written(ListOf({a, b}, {parking})), expected);
}

TEST(GpxWriter, DeclaresTheInputsNamespacesButNotItsOwnTwice) {
  CacheList list = ListOf({Wpt("GC1")});
  list.originals.AddNamespaces(
      "<gpx xmlns:xsi=\"other\" xmlns:gsak=\"http://www.gsak.net/xmlv1/6\" "
      "xmlns:cgeo='http://www.cgeo.org/wptext/1/0'>");
  const std::string gpx = Written(list);
  const std::string root = gpx.substr(0, gpx.find('>', gpx.find("<gpx")));
  EXPECT_TRUE(
      root.ends_with(" xmlns:gsak=\"http://www.gsak.net/xmlv1/6\" "
                     "xmlns:cgeo='http://www.cgeo.org/wptext/1/0'"))
      << root;
  EXPECT_EQ(root.find("other"), std::string::npos);
}

TEST(GpxWriter, AnEmptyListOrOneWithoutCoordinatesHasNoBounds) {
  EXPECT_EQ(Written(ListOf({})).find("<bounds"), std::string::npos);
  EXPECT_EQ(Written(ListOf({"<wpt><name>GC1</name>"})).find("<bounds"),
            std::string::npos);
}

// Bounds take the coordinates as written: a moved cache at its new place,
// texts that are no number left out.
TEST(GpxWriter, BoundsCoverTheWrittenPlaces) {
  CacheList list = ListOf({Wpt("GC1", "10", "20"), Wpt("GC2", "x", "", ""),
                           Wpt("GC3", "11.5", "21")});
  list.records[0].moved = true;
  list.records[0].lat = "-1.50000";
  list.records[0].lon = "008.00000";
  EXPECT_NE(
      Written(list).find("<bounds minlat=\"-1.50000\" minlon=\"008.00000\" "
                         "maxlat=\"11.5\" maxlon=\"21\" />"),
      std::string::npos);
}

struct FollowRow {
  const char* what;
  Texts caches;      // codes of the list's records, in list order
  Texts additional;  // codes of the additional waypoints, in file order
  Texts written;
};

class Follow : public ::testing::TestWithParam<FollowRow> {};

TEST_P(Follow, AdditionalWaypointsFollowTheirCacheInFileOrder) {
  Texts caches, additional;
  for (const std::string& code : GetParam().caches) caches.push_back(Wpt(code));
  for (const std::string& code : GetParam().additional) {
    additional.push_back(Wpt(code));
  }
  EXPECT_EQ(testing::WaypointNames(Written(ListOf(caches, additional))),
            GetParam().written)
      << GetParam().what;
}

INSTANTIATE_TEST_SUITE_P(
    Rows, Follow,
    ::testing::Values(FollowRow{"file order, not list order",
                                {"GC2", "GC1"},
                                {"S11", "PK2", "PK1", "FN2"},
                                {"GC2", "PK2", "FN2", "GC1", "S11", "PK1"}},
                      FollowRow{"those of a dropped cache are dropped",
                                {"GC1"},
                                {"PK9", "PK1"},
                                {"GC1", "PK1"}},
                      FollowRow{"one key, two caches: behind the first only",
                                {"GC7", "OC7"},
                                {"PK7"},
                                {"GC7", "PK7", "OC7"}},
                      FollowRow{
                          "a code written as a cache is not written again",
                          {"GC5", "PK5"},
                          {"PK5", "S15"},
                          {"GC5", "S15", "PK5"}},
                      FollowRow{"codes of two letters or less have no key",
                                {"GC", "X"},
                                {"PK", "Y"},
                                {"GC", "X"}}));

// A record the loader kept no text for (one read from an additional
// waypoints file of a folder) is not written as a cache.
TEST(GpxWriter, RecordsWithoutAnOriginalTextAreNotWritten) {
  CacheList list = ListOf({Wpt("GC1")});
  list.Append(CacheRecord(Wpt("PK1")));
  list.originals.AddAdditional("PK1", Wpt("PK1"));
  EXPECT_EQ(testing::WaypointNames(Written(list)), (Texts{"GC1", "PK1"}));
}

struct MoveRow {
  const char* what;
  std::string wpt;
  std::string expected;  // behind it the end tag
};

const std::string kGsak =
    "<gsak:wptExtension xmlns:gsak=\"http://www.gsak.net/xmlv1/6\">"
    "<gsak:LatBeforeCorrect>";

class Move : public ::testing::TestWithParam<MoveRow> {};

TEST_P(Move, NewCoordinatesInTheTagOldOnesInTheGsakElement) {
  EXPECT_EQ(MovedWaypoint(GetParam().wpt, "50.20575", "-008.76130"),
            GetParam().expected)
      << GetParam().what;
}

INSTANTIATE_TEST_SUITE_P(
    Rows, Move,
    ::testing::Values(
        MoveRow{
            "the usual form",
            "<wpt lat=\"50.1\" lon=\"8.2\">\r\n<name>GC1</name>\r\n  ",
            "<wpt lat=\"50.20575\" lon=\"-008.76130\">\r\n<name>GC1</name>" +
                kGsak +
                "50.1</gsak:LatBeforeCorrect><gsak:LonBeforeCorrect>8.2"
                "</gsak:LonBeforeCorrect></gsak:wptExtension>\r\n  "},
        MoveRow{"lon first, single quotes, blanks around =",
                "<wpt lon = '8.2' xlat=\"1\" lat='50.1'><name>GC1</name>",
                "<wpt lon = '-008.76130' xlat=\"1\" lat='50.20575'>"
                "<name>GC1</name>" +
                    kGsak +
                    "50.1</gsak:LatBeforeCorrect><gsak:LonBeforeCorrect>8.2"
                    "</gsak:LonBeforeCorrect></gsak:wptExtension>"},
        MoveRow{"no lat attribute: added behind <wpt",
                "<wpt lon=\"8.2\"><name>GC1</name>",
                "<wpt lat=\"50.20575\" lon=\"-008.76130\"><name>GC1</name>" +
                    kGsak +
                    "</gsak:LatBeforeCorrect><gsak:LonBeforeCorrect>8.2"
                    "</gsak:LonBeforeCorrect></gsak:wptExtension>"},
        MoveRow{"a lat inside an element is not the attribute",
                "<wpt><desc>lat=\"1\"</desc>",
                "<wpt lat=\"50.20575\" lon=\"-008.76130\"><desc>lat=\"1\""
                "</desc>" +
                    kGsak +
                    "</gsak:LatBeforeCorrect><gsak:LonBeforeCorrect>"
                    "</gsak:LonBeforeCorrect></gsak:wptExtension>"}));

TEST(GpxWriter, MovedCoordinatesFromTheMovesFileAreEscaped) {
  EXPECT_TRUE(
      MovedWaypoint("<wpt lat=\"1\" lon=\"2\">", "5\"<&", "'3")
          .starts_with("<wpt lat=\"5&quot;&lt;&amp;\" lon=\"&apos;3\">"));
}

TEST(GpxWriter, AMovedCacheIsWrittenAtItsNewPlace) {
  CacheList list = ListOf({Wpt("GC1"), Wpt("GC2")});
  list.records[1].moved = true;
  list.records[1].lat = "50.20575";
  list.records[1].lon = "008.76130";
  const std::string gpx = Written(list);
  EXPECT_NE(gpx.find(Wpt("GC1") + "</wpt>"), std::string::npos);
  EXPECT_NE(
      gpx.find(MovedWaypoint(Wpt("GC2"), "50.20575", "008.76130") + "</wpt>"),
      std::string::npos);
}

// Found marks the caches only; other functions change no symbol.
TEST(GpxWriter, AFoundRunMarksEveryCacheFound) {
  const std::string sym = "<sym>Geocache</sym>";
  const CacheList list =
      ListOf({Wpt("GC1", "1", "2", sym + sym), Wpt("GC2", "1", "2", sym)},
             {Wpt("PK1", "1", "2", sym)});
  const std::string found = Written(list, kFunctionFound);
  const std::string complete = Written(list, kFunctionComplete);
  EXPECT_EQ(testing::CountOf(found, "<sym>Geocache Found</sym>"), 3);
  EXPECT_EQ(testing::CountOf(found, sym), 1);  // the parking's
  EXPECT_EQ(testing::CountOf(complete, sym), 4);
  EXPECT_EQ(Written(list, kFunctionMine), complete);
}

// What no parser would accept is still copied byte for byte.
TEST(GpxWriter, OddWaypointTextsAreCopiedAsTheyStand) {
  const Texts odd = {
      "<wpt lon=\"8.2\" lat=\"50.1\"><name>GC1</name>",
      "<wpt lat='50.1' lon='8.2'><name>GC2</name>",
      "<wpt lon=\"8.2\"><name>GC3</name>",
      "<wpt lat=\"1\" lon=\"2\"><name>GC4</name><desc><![CDATA[a <b> "
      "]]></desc>",
      "<wpt lat=\"1\" lon=\"2\"><name>GC5</name><desc>\xFF\xC3(\x80</desc>",
      "<wpt lat=\"1\" lon=\"2\"><name>GC6</name><sym>Geocache</sym",
      "<wpt",
  };
  const std::string gpx = Written(ListOf(odd));
  size_t at = 0;
  for (const std::string& wpt : odd) {
    at = gpx.find(wpt + "</wpt>\r\n", at);
    ASSERT_NE(at, std::string::npos) << wpt;
  }
  EXPECT_TRUE(gpx.ends_with("</wpt>\r\n</gpx>\r\n"));
}

TEST(GpxWriter, TheFileKeepsThePermissionBitsOfTheOneItReplaces) {
  testing::TempDir dir;
  const std::string path = dir / "12345_gps.gpx";
  testing::WriteFileOrFail(path, "old");
  ASSERT_EQ(chmod(path.c_str(), 0604), 0);
  const CacheList list = ListOf({Wpt("GC1")});
  WriteGpxFile(list, path, kFunctionComplete);
  struct stat info;
  ASSERT_EQ(stat(path.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0604u);
  EXPECT_EQ(testing::ReadFileOrFail(path), Written(list));
}

}  // namespace
}  // namespace korvelo

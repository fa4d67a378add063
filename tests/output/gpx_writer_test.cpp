// The GPX for devices: the document around the copied waypoints, the edits
// of moved and found caches, which additional waypoints follow which cache,
// and odd waypoint texts copied as they stand.
#include "output/gpx_writer.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "output/file_function.h"
#include "output/gpx_waypoint.h"
#include "support/test_support.h"
#include "support/zip_builder.h"

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
    list.originals.AddCache(record.name, list.originals.KeepCopy(wpt));
    list.Append(std::move(record));
  }
  for (const std::string& wpt : additional) {
    list.originals.AddAdditional(CacheRecord(wpt).name,
                                 list.originals.KeepCopy(wpt));
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

// A moved cache is written at its new place, the others as they stand, and
// the bounds take the coordinates as written: texts that are no number left
// out, none at all for an empty list or one without coordinates.
TEST(GpxWriter, AMovedCacheIsWrittenAtItsNewPlaceAndTheBoundsCoverIt) {
  CacheList list = ListOf({Wpt("GC1", "10", "20"), Wpt("GC2", "x", "", ""),
                           Wpt("GC3", "11.5", "21")});
  list.records[0].moved = true;
  list.records[0].lat = "-1.50000";
  list.records[0].lon = "008.00000";
  const std::string gpx = Written(list);
  EXPECT_NE(gpx.find("<bounds minlat=\"-1.50000\" minlon=\"008.00000\" "
                     "maxlat=\"11.5\" maxlon=\"21\" />"),
            std::string::npos);
  EXPECT_NE(
      gpx.find(MovedWaypoint(Wpt("GC1", "10", "20"), "-1.50000", "008.00000") +
               "</wpt>"),
      std::string::npos);
  EXPECT_NE(gpx.find(Wpt("GC3", "11.5", "21") + "</wpt>"), std::string::npos);
  EXPECT_EQ(Written(ListOf({})).find("<bounds"), std::string::npos);
  EXPECT_EQ(Written(ListOf({"<wpt><name>GC1</name>"})).find("<bounds"),
            std::string::npos);
}

TEST(GpxWriter, AdditionalWaypointsFollowTheirCacheInFileOrder) {
  const struct {
    const char* what;
    Texts caches;      // codes of the list's records, in list order
    Texts additional;  // codes of the additional waypoints, in file order
    Texts written;
  } rows[] = {{"file order, not list order",
               {"GC2", "GC1"},
               {"S11", "PK2", "PK1", "FN2"},
               {"GC2", "PK2", "FN2", "GC1", "S11", "PK1"}},
              {"those of a dropped cache are dropped",
               {"GC1"},
               {"PK9", "PK1"},
               {"GC1", "PK1"}},
              {"one key, two caches: behind the first only",
               {"GC7", "OC7"},
               {"PK7"},
               {"GC7", "PK7", "OC7"}},
              {"a code written as a cache is not written again",
               {"GC5", "PK5"},
               {"PK5", "S15"},
               {"GC5", "S15", "PK5"}},
              {"codes of two letters or less have no key",
               {"GC", "X"},
               {"PK", "Y"},
               {"GC", "X"}}};
  for (const auto& row : rows) {
    Texts caches, additional;
    for (const std::string& code : row.caches) caches.push_back(Wpt(code));
    for (const std::string& code : row.additional)
      additional.push_back(Wpt(code));
    EXPECT_EQ(testing::WaypointNames(Written(ListOf(caches, additional))),
              row.written)
        << row.what;
  }
}

// Loaded from files: the additional waypoints of a pocket query archive,
// and of a folder of both files, which loads them as records too, follow
// their cache once and are never written as a cache.
TEST(GpxWriter, LoadedAdditionalWaypointsFollowTheirCacheOnce) {
  const auto gpx = [](const Texts& codes) {
    std::string text = "<gpx>\r\n";
    for (const std::string& code : codes) text += Wpt(code) + "</wpt>\r\n";
    return text + "</gpx>\r\n";
  };
  testing::TempDir dir;
  testing::WriteFileOrFail(dir / "f/1-wpts.gpx", gpx({"PK1"}));
  testing::WriteFileOrFail(dir / "f/1.gpx", gpx({"GC1"}));
  testing::WriteFileOrFail(
      dir / "pq.zip", testing::BuildZip({{"7-wpts.gpx", gpx({"PK7", "FN7"})},
                                         {"7.gpx", gpx({"GC7"})}}));
  const std::pair<std::string, Texts> rows[] = {
      {"f", {"GC1", "PK1"}}, {"pq.zip", {"GC7", "PK7", "FN7"}}};
  for (const auto& [path, written] : rows) {
    const CacheList list(dir / path, nullptr, "", RecordTexts::kAll,
                         WaypointOriginals::kKeep);
    EXPECT_EQ(testing::WaypointNames(Written(list)), written) << path;
  }
}

// New coordinates in the tag (escaped: they come from the moves file), the
// old ones in the GSAK element.
TEST(GpxWriter, MovedWaypointHasTheNewPlaceInItsTagAndTheOldInTheGsakElement) {
  // The GSAK element with the old coordinates, or only its last part.
  const auto before = [](const std::string& lat, const std::string& lon,
                         bool whole = true) {
    return std::string(
               whole ? "<gsak:wptExtension xmlns:gsak=\"http://www.gsak.net/"
                       "xmlv1/6\">"
                     : "") +
           "<gsak:LatBeforeCorrect>" + lat +
           "</gsak:LatBeforeCorrect><gsak:LonBeforeCorrect>" + lon +
           "</gsak:LonBeforeCorrect></gsak:wptExtension>";
  };
  const std::string moved = "<wpt lat=\"50.20575\" lon=\"-008.76130\">";
  const struct {
    const char* what;
    std::string wpt;
    std::string expected;  // behind it the end tag
    std::string lat = "50.20575", lon = "-008.76130";
  } rows[] = {
      {"the usual form",
       "<wpt lat=\"50.1\" lon=\"8.2\">\r\n<name>GC1</name>\r\n  ",
       moved + "\r\n<name>GC1</name>" + before("50.1", "8.2") + "\r\n  "},
      {"lon first, single quotes, blanks around =",
       "<wpt lon = '8.2' xlat=\"1\" lat='50.1'><name>GC1</name>",
       "<wpt lon = '-008.76130' xlat=\"1\" lat='50.20575'><name>GC1</name>" +
           before("50.1", "8.2")},
      {"no lat attribute: added behind <wpt",
       "<wpt lon=\"8.2\"><name>GC1</name>",
       moved + "<name>GC1</name>" + before("", "8.2")},
      {"a lat inside an element is not the attribute",
       "<wpt><desc>lat=\"1\"</desc>",
       moved + "<desc>lat=\"1\"</desc>" + before("", "")},
      {"moves file texts escaped", "<wpt lat=\"1\" lon=\"2\">",
       "<wpt lat=\"5&quot;&lt;&amp;\" lon=\"&apos;3\">" + before("1", "2"),
       "5\"<&", "'3"},
      {"a GSAK extension of its own gets them inside",
       "<wpt lat=\"1\" lon=\"2\"><gsak:wptExtension xmlns:gsak=\"v4\">"
       "<gsak:DNF>false</gsak:DNF></gsak:wptExtension>\n",
       moved +
           "<gsak:wptExtension xmlns:gsak=\"v4\"><gsak:DNF>false</gsak:DNF>" +
           before("1", "2", false) + "\n"},
      {"corrected by GSAK before: the posted coordinates stay",
       "<wpt lat=\"1\" lon=\"2\"><gsak:wptExtension>" +
           before("48.7", "9.1", false) + " ",
       moved + "<gsak:wptExtension>" + before("48.7", "9.1", false) + " "}};
  for (const auto& row : rows) {
    EXPECT_EQ(MovedWaypoint(row.wpt, row.lat, row.lon), row.expected)
        << row.what;
  }
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

}  // namespace
}  // namespace korvelo

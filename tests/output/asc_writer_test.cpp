#include "output/asc_writer.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "gpx_lists.h"

namespace korvelo {
namespace {

using testing::TempDir;
using testing::Wpt;

// Types compare ignoring ASCII case only: the last four types are in no row,
// though each begins like a row's type or a row's type begins like it. Only
// the last "%s" of a pattern is filled: "100%s" and "p%s" stay as they are.
TEST(AscWriter, AllAndHighwaySetsHoldOneFilePerTypeWithLines) {
  CacheList list;
  list.records = {
      Wpt("GC1A2B3", "Alte M\303\274hle", "Traditional Cache"),
      Wpt("GC12", "Der \"Stein\"", "traditional cache"),
      Wpt("GC", "Kurz an der A1", "Traditional Cache"),
      Wpt("GC21", "Autobahn Runde", "Multi-cache"),
      Wpt("GC31", "Autobahnraetsel", "Unknown Cache"),
      Wpt("GC32", "Loesung an der A1", "Unknown Cache"),
      Wpt("GC41", "Treffen", "Mega-Event cache"),
      Wpt("GC51", "Autobahn ueberall", "Locationless (Reverse) Cache"),
  };
  const std::string odd[] = {
      "Traditional Cache ", "Letterbox", {"Earthcache\0", 11}};
  for (const std::string& type : odd) {
    list.records.push_back(Wpt("GC52", "Autobahn", ""));
    list.records.back().type = type;
  }
  list.records[0].lon = "8.12345";
  list.records[0].lat = "50.12300";
  list.records[5].moved = true;
  TempDir dir;
  testing::WriteFileOrFail(dir / "100%s/p%s_all_Webcam.asc", "older run");
  WriteAsc(list, dir.path() + "/100%s/p%s_all_%s.asc", false);
  WriteAsc(list, dir.path() + "/100%s/p%s_highway_%s.asc", true);
  const std::string p = "100%s/p%s_", at = "8.20000, 50.10000, \"";
  EXPECT_EQ(testing::FilesBelow(dir.path()),
            (std::map<std::string, std::string>{
                {p + "all_MegaEvent.asc", at + "41 Treffen\"\r\n"},
                {p + "all_Multi.asc", at + "21 Autobahn Runde\"\r\n"},
                {p + "all_Tradi.asc",
                 "8.12345, 50.12300, \"1A2B3 Alte M\374hle\"\r\n" + at +
                     "12 Der \"Stein\"\"\r\n" + at + " Kurz an der A1\"\r\n"},
                {p + "all_Unknown.asc", at + "32 Loesung an der A1\"\r\n"},
                {p + "all_Webcam.asc", "older run"},
                {p + "highway_Multi.asc", at + "21 Autobahn Runde\"\r\n"},
                {p + "highway_Tradi.asc", at + " Kurz an der A1\"\r\n"},
                {p + "highway_Unknown.asc", at + "32 Loesung an der A1\"\r\n"},
            }));
}

}  // namespace
}  // namespace korvelo

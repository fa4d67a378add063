#include "output/asc_writer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "gpx_lists.h"
#include "input/paths.h"
#include "platform/file_error.h"

namespace korvelo {
namespace {

namespace fs = std::filesystem;
using testing::ReadFileOrFail;
using testing::TempDir;
using testing::WriteFileOrFail;

CacheRecord Cache(std::string code, std::string title, std::string type,
                  bool moved = false) {
  CacheRecord record;
  record.name = std::move(code);
  record.urlname = std::move(title);
  record.type = std::move(type);
  record.padded_title = " " + record.urlname + " ";  // no punctuation below
  record.search_title = record.padded_title;
  std::transform(record.search_title.begin(), record.search_title.end(),
                 record.search_title.begin(),
                 [](char c) { return (c >= 'A' && c <= 'Z') ? c + 32 : c; });
  record.moved = moved;
  record.lat = "50.10000";
  record.lon = "8.20000";
  return record;
}

// Every file of the folder with its bytes.
std::map<std::string, std::string> Files(const std::string& folder) {
  std::map<std::string, std::string> files;
  for (const auto& entry : fs::directory_iterator(folder)) {
    files[entry.path().filename().string()] =
        ReadFileOrFail(entry.path().string());
  }
  return files;
}

TEST(AscWriter, WritesTheLineOfOneCacheExactly) {
  TempDir dir;
  CacheList list;
  CacheRecord record =
      Cache("GC1A2B3", "Alte M\xC3\xBChle", "Traditional Cache");
  record.lon = "8.12345";
  record.lat = "50.12300";
  list.records.push_back(record);
  WriteAsc(list, dir.path() + "\\pq_all_%s.asc", false);
  EXPECT_EQ(Files(dir.path()),
            (std::map<std::string, std::string>{
                {"pq_all_Tradi.asc",
                 "8.12345, 50.12300, \"1A2B3 Alte M\xFChle\"\r\n"}}));
}

CacheList MixedList() {
  CacheList list;
  list.records = {
      Cache("GC11", "Rast an der A7", "Traditional Cache"),
      Cache("GC12", "Der \"Stein\"", "traditional cache"),
      Cache("GC", "Kurz", "Traditional Cache"),
      Cache("GC21", "Autobahn Runde", "Multi-cache"),
      Cache("GC31", "Autobahnraetsel", "Unknown Cache"),
      Cache("GC32", "Loesung an der A1", "Unknown Cache", true),
      Cache("GC41", "Treffen", "Mega-Event cache"),
      Cache("GC51", "Autobahn ueberall", "Locationless (Reverse) Cache"),
  };
  return list;
}

TEST(AscWriter, AllSetHasOneFilePerTypeWithCachesAndSolvedUnknownsOnly) {
  TempDir dir;
  WriteFileOrFail(dir / "pq_all_Webcam.asc", "older run");
  WriteAsc(MixedList(), dir.path() + "\\pq_all_%s.asc", false);
  const std::string at = "8.20000, 50.10000, \"";
  EXPECT_EQ(Files(dir.path()),
            (std::map<std::string, std::string>{
                {"pq_all_MegaEvent.asc", at + "41 Treffen\"\r\n"},
                {"pq_all_Multi.asc", at + "21 Autobahn Runde\"\r\n"},
                {"pq_all_Tradi.asc", at + "11 Rast an der A7\"\r\n" + at +
                                         "12 Der \"Stein\"\"\r\n" + at +
                                         " Kurz\"\r\n"},
                {"pq_all_Unknown.asc", at + "32 Loesung an der A1\"\r\n"},
                {"pq_all_Webcam.asc", "older run"},
            }));
}

TEST(AscWriter, HighwaySetTakesMotorwayCachesOfEveryType) {
  TempDir dir;
  WriteAsc(MixedList(), dir.path() + "\\pq_highway_%s.asc", true);
  const std::string at = "8.20000, 50.10000, \"";
  EXPECT_EQ(Files(dir.path()),
            (std::map<std::string, std::string>{
                {"pq_highway_Multi.asc", at + "21 Autobahn Runde\"\r\n"},
                {"pq_highway_Tradi.asc", at + "11 Rast an der A7\"\r\n"},
                {"pq_highway_Unknown.asc", at + "32 Loesung an der A1\"\r\n"},
            }));
}

TEST(AscWriter, OnlyUnsolvedUnknownCachesGiveNoFile) {
  TempDir dir;
  CacheList list;
  list.records = {Cache("GC31", "Raetsel", "Unknown Cache"),
                  Cache("GC32", "Autobahnraetsel", "Unknown Cache")};
  WriteAsc(list, dir.path() + "\\pq_all_%s.asc", false);
  WriteAsc(list, dir.path() + "\\pq_highway_%s.asc", true);
  EXPECT_TRUE(Files(dir.path()).empty());
}

TEST(AscWriter, FillsOnlyTheLastPercentSOfThePattern) {
  TempDir dir;
  fs::create_directories(dir / "100%s/a%d");
  CacheList list;
  list.records = {Cache("GC11", "Feld", "Traditional Cache")};
  WriteAsc(list, dir.path() + "\\100%s\\a%d\\p%s_all_%s.asc", false);
  EXPECT_EQ(Files(dir / "100%s/a%d"),
            (std::map<std::string, std::string>{
                {"p%s_all_Tradi.asc", "8.20000, 50.10000, \"11 Feld\"\r\n"}}));
}

TEST(AscWriter, MissingFolderGivesInvalidHandleNamingTheFile) {
  TempDir dir;
  const std::string pattern = dir.path() + "\\no\\pq_all_%s.asc";
  try {
    WriteAsc(MixedList(), pattern, false);
    FAIL() << "no error";
  } catch (const FileError& e) {
    EXPECT_EQ(e.cause(), FileCause::kInvalidFile);
    EXPECT_EQ(e.path(), dir.path() + "\\no\\pq_all_MegaEvent.asc");
  }
}

// Both file sets of every real pocket query, written twice: same files,
// same bytes. Every third Unknown Cache counts as solved.
TEST(AscWriter, CorpusConversionGivesIdenticalFilesTwice) {
  KORVELO_REQUIRE_CORPUS();
  for (const auto& entry :
       fs::recursive_directory_iterator(testing::CorpusPath())) {
    if (!entry.is_regular_file() || entry.path().extension() != ".gpx") {
      continue;
    }
    SCOPED_TRACE(entry.path().string());
    CacheList list;
    testing::AppendGpxFile(list, entry.path().string(), "pq");
    for (size_t i = 0; i < list.records.size(); i += 3) {
      list.records[i].moved = true;
    }
    TempDir first, second;
    for (const TempDir* dir : {&first, &second}) {
      WriteAsc(list, dir->path() + "\\pq_all_%s.asc", false);
      WriteAsc(list, dir->path() + "\\pq_highway_%s.asc", true);
    }
    EXPECT_EQ(Files(first.path()), Files(second.path()));
  }
}

}  // namespace
}  // namespace korvelo

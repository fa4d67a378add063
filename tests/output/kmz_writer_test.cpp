// The self-contained map: the same placemarks as the classic KML, in files a
// strict reader and a web importer accept.
#include "output/kmz_writer.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <iterator>
#include <map>
#include <set>

#include "gpx_lists.h"
#include "input/text.h"
#include "kmz_reading.h"
#include "output/cache_types.h"
#include "output/file_function.h"
#include "output/kml_writer.h"

namespace korvelo {
namespace {

namespace fs = std::filesystem;
using testing::KmzArchive;
using testing::Mark;
using testing::ParseXml;
using testing::ReadFileOrFail;
using testing::TempDir;
using testing::Wpt;

bool IsRowFolder(const std::string& name) {
  for (const CacheTypeRow& row : kCacheTypes) {
    if (name == row.type_name ||
        name == std::string(row.type_name) + " Solved") {
      return true;
    }
  }
  return false;
}

bool IsNewerType(const std::string& type) {
  return std::none_of(
      std::begin(kCacheTypes), std::end(kCacheTypes),
      [&](const CacheTypeRow& row) { return IsOfType(type, row); });
}

// One map file as written: NAME.kmz and its continuations, read and parsed.
struct KmzMap {
  std::vector<Mark> marks;
  std::vector<std::string> folders;  // continued folders counted once
  size_t parts = 0;
};

KmzMap ReadKmzMap(const std::string& stem) {
  KmzMap map;
  for (size_t part = 1;; ++part) {
    const std::string path =
        stem + (part == 1 ? "" : "-" + std::to_string(part)) + ".kmz";
    if (!fs::exists(path)) break;
    ++map.parts;
    const KmzArchive archive = testing::ReadKmz(path);
    EXPECT_FALSE(archive.names.empty());
    if (archive.names.empty()) break;
    EXPECT_EQ(archive.names.front(), "doc.kml") << path;
    std::unique_ptr<testing::XmlNode> kml;
    try {
      kml = ParseXml(archive.entries.at(archive.names.front()));
    } catch (const testing::XmlError& e) {
      ADD_FAILURE() << path << ": " << e.what();
      break;
    }
    EXPECT_EQ(kml->attributes["xmlns"], "http://www.opengis.net/kml/2.2");
    EXPECT_LE(testing::FeatureCount(*kml), 10000u) << path;
    std::vector<Mark> marks = testing::KmzMarks(*kml, archive);
    // Exactly the icons used, nothing else.
    std::set<std::string> used;
    for (const Mark& mark : marks) {
      if (!mark.icon.empty()) used.insert("icons/" + mark.icon);
    }
    std::set<std::string> icons(archive.names.begin() + 1, archive.names.end());
    EXPECT_TRUE(
        std::includes(icons.begin(), icons.end(), used.begin(), used.end()))
        << path;
    EXPECT_EQ(icons.size(), archive.names.size() - 1) << path << ": duplicates";
    map.marks.insert(map.marks.end(), marks.begin(), marks.end());
    for (const testing::XmlNode* folder :
         kml->Child("Document")->Children("Folder")) {
      const std::string name = folder->TextAt("name");
      if (part == 1 || map.folders.empty() || map.folders.back() != name ||
          folder != kml->Child("Document")->Child("Folder")) {
        map.folders.push_back(name);
      }
    }
  }
  return map;
}

// The marks in row folders (those the classic KML knows) and the others.
std::pair<std::vector<Mark>, size_t> SplitRowMarks(
    const std::vector<Mark>& marks) {
  std::vector<Mark> rows;
  std::copy_if(marks.begin(), marks.end(), std::back_inserter(rows),
               [](const Mark& mark) { return IsRowFolder(mark.folder); });
  return {rows, marks.size() - rows.size()};
}

// Writes both forms of one case and compares every map file.
void CompareForms(const CacheList& list, int function,
                  const ConversionSettings& settings) {
  TempDir classic_dir, kmz_dir;
  WriteKml(list, classic_dir / "pq.kml", function, settings);
  WriteKmz(list, kmz_dir / "pq.kml", function, settings);
  ASSERT_TRUE(list.records.empty() || !fs::is_empty(classic_dir.path()))
      << "no classic map written";
  size_t newer_marks = 0;
  for (const auto& entry : fs::directory_iterator(classic_dir.path())) {
    const std::string stem = entry.path().stem();
    SCOPED_TRACE(stem);
    const auto classic = ParseXml(ReadFileOrFail(entry.path()));
    const KmzMap kmz = ReadKmzMap(kmz_dir / stem);
    ASSERT_GE(kmz.parts, 1u);
    const auto [rows, others] = SplitRowMarks(kmz.marks);
    EXPECT_EQ(rows, testing::ClassicMarks(*classic));
    newer_marks += others;
    std::vector<std::string> classic_folders;
    for (const auto* folder : classic->Child("Document")->Children("Folder")) {
      classic_folders.push_back(folder->TextAt("name"));
    }
    std::vector<std::string> row_folders;
    for (const std::string& name : kmz.folders) {
      if (IsRowFolder(name)) row_folders.push_back(name);
    }
    EXPECT_EQ(row_folders, classic_folders);
  }
  if (function == 1 && settings.OutputKmlDirFileMode == 1 &&
      fs::exists(kmz_dir / "pq_Other.kmz")) {
    newer_marks += ReadKmzMap(kmz_dir / "pq_Other").marks.size();
  }
  size_t expected_newer = 0;
  for (const CacheRecord& record : list.records)
    expected_newer += IsNewerType(record.type);
  EXPECT_EQ(newer_marks, expected_newer);
  // Nothing but the map files: no .kml, no leftover temporary file.
  for (const auto& entry : fs::directory_iterator(kmz_dir.path())) {
    EXPECT_EQ(entry.path().extension(), ".kmz") << entry.path();
  }
}

TEST(KmzWriter, CorpusMapsHoldTheClassicPlacemarksInEveryModeAndRole) {
  KORVELO_REQUIRE_CORPUS();
  for (const auto& entry :
       fs::recursive_directory_iterator(testing::CorpusPath())) {
    const std::string extension = entry.path().extension();
    if (extension != ".gpx" && extension != ".zip") continue;
    SCOPED_TRACE(entry.path());
    CacheList list(entry.path().string(), nullptr, "");
    for (size_t i = 0; i < list.records.size(); ++i) {
      list.records[i].moved = i % 3 == 0;
    }
    for (int mode = 0; mode <= 2; ++mode) {
      for (int function = kFunctionNone; function <= kFunctionMarked;
           ++function) {
        SCOPED_TRACE("mode " + std::to_string(mode) + " function " +
                     std::to_string(function));
        ConversionSettings settings;
        settings.OutputKmlDirFileMode = mode;
        settings.bSmallIcons = (mode + function) % 2 == 0;
        settings.bShowDisable = function != 1 || mode != 2;
        CompareForms(list, function, settings);
        if (HasFailure()) return;
      }
    }
  }
}

// The list written in the one-file mode as `dir`/pq.kmz (and its parts).
void WriteOneMap(const CacheList& list, const std::string& dir) {
  ConversionSettings settings;
  settings.OutputKmlDirFileMode = 2;
  WriteKmz(list, dir + "/pq.kml", 1, settings);
}

CacheList GeneratedList(int count) {
  CacheList list;
  list.titles = {"pq"};
  static const char* const kTypes[] = {"Traditional Cache", "Multi-cache",
                                       "Unknown Cache", "Lab Cache"};
  for (int i = 0; i < count; ++i) {
    CacheRecord record =
        Wpt(FormatText("GC%05d", i), FormatText("Cache %d", i), kTypes[i % 4]);
    record.file = "pq";
    record.moved = i % 7 == 0;
    list.Append(std::move(record));
  }
  return list;
}

TEST(KmzWriter, LargeQuerySplitsIntoThreeFilesEachPlacemarkOnce) {
  TempDir dir;
  WriteOneMap(GeneratedList(25000), dir.path());
  const KmzMap map = ReadKmzMap(dir / "pq");
  EXPECT_EQ(map.parts, 3u);
  EXPECT_EQ(testing::FilesBelow(dir.path()).size(), 3u);
  std::multiset<std::string> names;
  for (const Mark& mark : map.marks) names.insert(mark.name);
  EXPECT_EQ(names.size(), 25000u);
  for (int i = 0; i < 25000; ++i) {
    ASSERT_EQ(names.count(FormatText("Cache %d", i)), 1u) << i;
  }
  // A folder the cut goes through goes on under its name, no folder twice.
  std::set<std::string> distinct(map.folders.begin(), map.folders.end());
  EXPECT_EQ(distinct.size(), map.folders.size());
  EXPECT_EQ(map.folders.size(), 14u);  // 13 row folders and the Lab Cache

  // A smaller query later replaces the first part and removes the others,
  // but not what only looks like a part.
  fs::create_directory(dir / "pq-4.kmz");
  WriteOneMap(GeneratedList(20), dir.path());
  EXPECT_EQ(ReadKmzMap(dir / "pq").marks.size(), 20u);
  EXPECT_EQ(testing::FilesBelow(dir.path()).size(), 1u);
  EXPECT_TRUE(fs::is_directory(dir / "pq-4.kmz"));
}

TEST(KmzWriter, NewerTypesGetFoldersAfterTheRowsWithTheirIcons) {
  CacheList list;
  list.titles = {"pq"};
  for (const char* type :
       {"Lab Cache", "Giga-Event Cache", "Traditional Cache", "lab cache",
        "Project APE Cache", "Community Celebration Event", "Benchmark"}) {
    const std::string code = "GC" + std::to_string(list.GetSize() + 1);
    CacheRecord record = Wpt(code, code, type);
    record.file = "pq";
    list.Append(std::move(record));
  }
  list.records[6].unavailable = true;
  TempDir dir;
  WriteOneMap(list, dir.path());
  const KmzMap map = ReadKmzMap(dir / "pq");
  ASSERT_EQ(map.folders.size(), 13u + 5u);
  EXPECT_EQ(
      std::vector<std::string>(map.folders.begin() + 13, map.folders.end()),
      (std::vector<std::string>{"Lab Cache", "Giga-Event Cache",
                                "Project APE Cache",
                                "Community Celebration Event", "Benchmark"}));
  std::map<std::string, std::pair<std::string, std::string>> seen;
  for (const Mark& mark : map.marks) seen[mark.name] = {mark.folder, mark.icon};
  const std::map<std::string, std::pair<std::string, std::string>> expected = {
      {"GC1", {"Lab Cache", "icon_lab.png"}},
      {"GC2", {"Giga-Event Cache", "icon_gigaevent.png"}},
      {"GC3", {"Traditional Cache", "icon_traditional.png"}},
      {"GC4", {"Lab Cache", "icon_lab.png"}},
      {"GC5", {"Project APE Cache", "icon_generic.png"}},
      {"GC6", {"Community Celebration Event", "icon_celebration.png"}},
      {"GC7", {"Benchmark", "icon_unavailable.png"}},
  };
  EXPECT_EQ(seen, expected);

  // In the per-type mode they share one more file; without them there is
  // none.
  TempDir per_type;
  ConversionSettings settings;
  settings.OutputKmlDirFileMode = 1;
  WriteKmz(list, per_type / "pq.kml", 1, settings);
  EXPECT_EQ(ReadKmzMap(per_type / "pq_Other").marks.size(), 6u);
  list.records = {list.records[2]};  // the Traditional Cache alone
  TempDir without;
  WriteKmz(list, without / "pq.kml", 1, settings);
  EXPECT_FALSE(fs::exists(without / "pq_Other.kmz"));
  EXPECT_EQ(testing::FilesBelow(without.path()).size(), 11u);
}

// Texts no writer should trust: every one still gives a document that
// parses, and the reader sees the text itself (bad bytes as U+FFFD).
TEST(KmzWriter, HostileTextsStayWellFormedAndReadBackAsWritten) {
  struct Case {
    std::string raw;       // as it stands in the GPX element
    std::string expected;  // what a reader of the map sees
  };
  const std::string fffd = "\xEF\xBF\xBD";
  const Case cases[] = {
      {"a ]]> b", "a ]]> b"},
      {"x</description><b>", "x</description><b>"},
      {"<![CDATA[<i>]]>]]>", "<i>]]>"},
      {"bell\x07 nul-free \x1F end",
       "bell" + fffd + " nul-free " + fffd + " end"},
      {"latin1 \xE4 and \xC3", "latin1 " + fffd + " and " + fffd},
      {"overlong \xC0\xAF, surrogate \xED\xA0\x80",
       "overlong " + fffd + fffd + ", surrogate " + fffd + fffd + fffd},
      {"&amp;lt; &bogus; &#228; &#x1F600; &",
       "&lt; &bogus; \xC3\xA4 \xF0\x9F\x98\x80 &"},
      {"tab\tline\ncr\r", "tab\tline\ncr\r"},
  };
  CacheList list;
  list.titles = {"pq"};
  for (size_t i = 0; i < std::size(cases); ++i) {
    CacheRecord record =
        Wpt("GC" + std::to_string(i), "n", "Traditional Cache");
    record.urlname = cases[i].raw;
    record.raw_description = cases[i].raw;
    record.url = "https://x.example/?a=1&amp;b=\"2\"";
    record.file = "pq";
    list.Append(std::move(record));
  }
  TempDir dir;
  WriteOneMap(list, dir.path());
  const KmzArchive archive = testing::ReadKmz(dir / "pq.kmz");
  const auto kml = ParseXml(archive.entries.at("doc.kml"));
  std::vector<const testing::XmlNode*> placemarks;
  for (const auto* folder : kml->Child("Document")->Children("Folder")) {
    if (folder->TextAt("name") == "Traditional Cache") {
      placemarks = folder->Children("Placemark");
    }
  }
  ASSERT_EQ(placemarks.size(), std::size(cases));
  for (size_t i = 0; i < std::size(cases); ++i) {
    EXPECT_EQ(placemarks[i]->TextAt("name"), cases[i].expected) << i;
    EXPECT_EQ(placemarks[i]->TextAt("description"),
              "<a href=\"https://x.example/?a=1&amp;b=&quot;2&quot;\">GC" +
                  std::to_string(i) + "</a>: " + cases[i].expected)
        << i;
  }
}

// A process killed at any moment of its write leaves the earlier map or a
// complete new one, never a cut archive.
TEST(KmzWriter, KillWhileWritingLeavesOldOrCompleteFile) {
  const CacheList list = GeneratedList(9000);
  TempDir dir;
  const std::string path = dir / "pq.kmz";
  testing::WriteFileOrFail(path, "old map");
  for (int delay_ms : {0, 2, 5, 10, 20, 40, 80, 160}) {
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      for (;;) WriteOneMap(list, dir.path());
    }
    usleep(delay_ms * 1000);
    kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);
    const std::string bytes = ReadFileOrFail(path);
    if (bytes == "old map") continue;
    EXPECT_EQ(ReadKmzMap(dir / "pq").marks.size(), 9000u) << delay_ms;
  }
}

}  // namespace
}  // namespace korvelo

// The self-contained map: the same placemarks as the classic KML, in files a
// strict reader and a web importer accept. Both forms are read back as a
// reader sees them: parsed by libxml2 and asked with XPath, the archive's
// entries by the project's ZIP reader, each KMZ icon found by following its
// styleUrl through the shared styles.
#include "output/kmz_writer.h"

#include <gtest/gtest.h>
#include <libxml/parser.h>
#include <libxml/xpath.h>
#include <libxml/xpathInternals.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <iterator>
#include <map>
#include <memory>
#include <set>

#include "gpx_lists.h"
#include "input/text.h"
#include "input/zip_archive.h"
#include "output/cache_types.h"
#include "output/file_function.h"
#include "output/kml_writer.h"

namespace korvelo {
namespace {

namespace fs = std::filesystem;
using testing::ReadFileOrFail;
using testing::TempDir;
using testing::Wpt;

// A map document as libxml2 reads it, asked with XPath in which "k:" stands
// for the root's namespace. Text that is not well-formed XML in UTF-8 fails
// the test with libxml2's reason and answers nothing; nothing is fetched
// from outside.
class Kml {
 public:
  explicit Kml(const std::string& text)
      : doc_(xmlReadMemory(text.data(), static_cast<int>(text.size()), nullptr,
                           nullptr,
                           XML_PARSE_NONET | XML_PARSE_NOERROR |
                               XML_PARSE_NOWARNING | XML_PARSE_HUGE),
             xmlFreeDoc) {
    if (doc_ == nullptr) {
      const xmlError* error = xmlGetLastError();
      ADD_FAILURE() << "not well-formed: line " << (error ? error->line : 0)
                    << ": " << (error ? error->message : "no XML");
      return;
    }
    xpath_.reset(xmlXPathNewContext(doc_.get()));
    const xmlNode* root = xmlDocGetRootElement(doc_.get());
    if (root != nullptr && root->ns != nullptr)
      xmlXPathRegisterNs(xpath_.get(), BAD_CAST "k", root->ns->href);
  }

  // The nodes `path` selects from `at` (from the root when none).
  std::vector<xmlNode*> Nodes(const std::string& path,
                              xmlNode* at = nullptr) const {
    const Result result = Eval(path, at);
    const xmlNodeSet* set = result ? result->nodesetval : nullptr;
    if (set == nullptr || set->nodeNr == 0) return {};
    return std::vector<xmlNode*>(set->nodeTab, set->nodeTab + set->nodeNr);
  }
  // The string value of `path` from `at`: "" when it selects nothing.
  std::string Text(const std::string& path, xmlNode* at = nullptr) const {
    const Result result = Eval("string(" + path + ")", at);
    return result && result->stringval
               ? reinterpret_cast<const char*>(result->stringval)
               : "";
  }

 private:
  using Result = std::unique_ptr<xmlXPathObject, void (*)(xmlXPathObject*)>;
  Result Eval(const std::string& path, xmlNode* at) const {
    if (xpath_ == nullptr) return Result(nullptr, xmlXPathFreeObject);
    return Result(xmlXPathNodeEval(at ? at : xmlDocGetRootElement(doc_.get()),
                                   BAD_CAST path.c_str(), xpath_.get()),
                  xmlXPathFreeObject);
  }

  std::unique_ptr<xmlDoc, void (*)(xmlDoc*)> doc_;
  std::unique_ptr<xmlXPathContext, void (*)(xmlXPathContext*)> xpath_{
      nullptr, xmlXPathFreeContext};
};

constexpr char kFolders[] = "/k:kml/k:Document/k:Folder";

std::vector<std::string> FolderNames(const Kml& kml) {
  std::vector<std::string> names;
  for (xmlNode* folder : kml.Nodes(kFolders))
    names.push_back(kml.Text("k:name", folder));
  return names;
}

// Every entry of the archive file, read and CRC-checked by the project's
// ZIP reader, by name and in archive order; fails the test when it is no
// archive.
struct KmzArchive {
  std::vector<std::string> names;
  std::map<std::string, std::string> entries;
};

KmzArchive ReadKmz(const std::string& path) {
  KmzArchive archive;
  try {
    const ZipArchive zip(ReadFileOrFail(path), path, 1);
    for (size_t index = 0; index < zip.entries().size(); ++index) {
      const std::string& name = zip.entries()[index].name;
      archive.names.push_back(name);
      archive.entries[name] = zip.ReadEntry(static_cast<int>(index));
    }
  } catch (const CZipException& e) {
    ADD_FAILURE() << path << ": not a readable archive (" << e.what() << ")";
  }
  return archive;
}

// One placemark as a reader shows it.
struct Mark {
  std::string folder;
  std::string name;
  std::string coordinates;  // "lon,lat,height"
  std::string icon;         // icon file name, "" for none

  bool operator==(const Mark&) const = default;
};

// The listing site's icon paths and the names of our drawings of them.
const std::map<std::string, std::string> kStandardIcons = {
    {"2.png", "icon_traditional.png"},
    {"3.png", "icon_multi.png"},
    {"4.png", "icon_virtual.png"},
    {"5.png", "icon_letterbox.png"},
    {"6.png", "icon_event.png"},
    {"8.png", "icon_unknown.png"},
    {"11.png", "icon_webcam.png"},
    {"13.png", "icon_cito.png"},
    {"earthcache.png", "icon_earthcache.png"},
};

std::string FileOfUrl(const std::string& url) {
  if (url.empty()) return "";
  const std::string file = url.substr(url.rfind('/') + 1);
  const auto standard = kStandardIcons.find(file);
  if (url.find("/images/kml/") != std::string::npos &&
      standard != kStandardIcons.end()) {
    return standard->second;
  }
  return file;
}

// The path of the style or style map that `url` ("#id") names; a failure
// when the document has none.
std::string StylePath(const Kml& kml, const std::string& url) {
  const std::string path =
      "/k:kml/k:Document/*[@id='" + url.substr(url.empty() ? 0 : 1) + "']";
  EXPECT_TRUE(url.starts_with("#") && !kml.Nodes(path).empty())
      << "no style " << url;
  return path;
}

// The icon of the normal state of that style, through a style map.
std::string NormalIconHref(const Kml& kml, const std::string& url) {
  const std::string style = StylePath(kml, url);
  const std::string normal =
      kml.Text(style + "/k:Pair[k:key='normal']/k:styleUrl");
  return normal.empty() || normal == url
             ? kml.Text(style + "/k:IconStyle/k:Icon/k:href")
             : NormalIconHref(kml, normal);
}

// The placemarks of a map document. A classic one's standard icon URLs are
// translated to the file names of the program's own drawings of them; a KMZ
// one's icons are found through each styleUrl, a failure for an href that
// names no entry of `archive`.
std::vector<Mark> MarksOf(const Kml& kml, const KmzArchive* archive = nullptr) {
  std::vector<Mark> marks;
  std::map<std::string, std::string> hrefs;  // icon by style, looked up once
  for (xmlNode* folder : kml.Nodes(kFolders)) {
    if (archive != nullptr) {
      const std::string href =
          kml.Text(StylePath(kml, kml.Text("k:styleUrl", folder)) +
                   "/k:ListStyle/k:ItemIcon/k:href");
      EXPECT_TRUE(href.empty() || archive->entries.count(href)) << href;
    }
    for (xmlNode* placemark : kml.Nodes("k:Placemark", folder)) {
      std::string icon =
          FileOfUrl(kml.Text("k:Style/k:IconStyle/k:Icon/k:href", placemark));
      if (archive != nullptr) {
        const std::string url = kml.Text("k:styleUrl", placemark);
        auto [known, added] = hrefs.try_emplace(url);
        if (added) known->second = NormalIconHref(kml, url);
        const std::string& href = known->second;
        EXPECT_TRUE(href.empty() || (archive->entries.count(href) &&
                                     href.starts_with("icons/")))
            << "href " << href << " is no icon entry";
        icon = href.substr(href.rfind('/') + 1);
      }
      marks.push_back({kml.Text("k:name", folder),
                       kml.Text("k:name", placemark),
                       kml.Text("k:Point/k:coordinates", placemark), icon});
    }
  }
  return marks;
}

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
    const KmzArchive archive = ReadKmz(path);
    if (archive.names.empty() || archive.names.front() != "doc.kml") {
      ADD_FAILURE() << path << ": doc.kml is not the first entry";
      break;
    }
    EXPECT_EQ(std::set<std::string>(archive.names.begin(), archive.names.end())
                  .size(),
              archive.names.size())
        << path << ": duplicates";
    const Kml kml(archive.entries.at("doc.kml"));
    EXPECT_EQ(kml.Text("namespace-uri(/*)"), "http://www.opengis.net/kml/2.2");
    EXPECT_LE(
        kml.Nodes(std::string(kFolders) + " | " + kFolders + "/k:Placemark")
                .size() +
            1,
        10000u)
        << path << ": features";
    const std::vector<Mark> marks = MarksOf(kml, &archive);
    map.marks.insert(map.marks.end(), marks.begin(), marks.end());
    // A folder the cut goes through goes on as the next part's first.
    const std::vector<std::string> folders = FolderNames(kml);
    for (size_t i = 0; i < folders.size(); ++i) {
      if (i > 0 || map.folders.empty() || map.folders.back() != folders[i])
        map.folders.push_back(folders[i]);
    }
  }
  return map;
}

// Writes both forms of one case and compares every map file; the classic
// files hold one placemark for each cache of a known type.
void CompareForms(const CacheList& list, int function,
                  const ConversionSettings& settings) {
  TempDir classic_dir, kmz_dir;
  WriteKml(list, classic_dir / "pq.kml", function, settings);
  WriteKmz(list, kmz_dir / "pq.kml", function, settings);
  ASSERT_TRUE(list.records.empty() || !fs::is_empty(classic_dir.path()))
      << "no classic map written";
  size_t newer_marks = 0, classic_marks = 0;
  for (const auto& entry : fs::directory_iterator(classic_dir.path())) {
    const std::string stem = entry.path().stem();
    SCOPED_TRACE(stem);
    const Kml classic(ReadFileOrFail(entry.path()));
    const KmzMap kmz = ReadKmzMap(kmz_dir / stem);
    ASSERT_GE(kmz.parts, 1u);
    std::vector<Mark> rows;
    std::copy_if(kmz.marks.begin(), kmz.marks.end(), std::back_inserter(rows),
                 [](const Mark& mark) { return IsRowFolder(mark.folder); });
    EXPECT_EQ(rows, MarksOf(classic));
    classic_marks += rows.size();
    newer_marks += kmz.marks.size() - rows.size();
    std::vector<std::string> row_folders;
    std::copy_if(kmz.folders.begin(), kmz.folders.end(),
                 std::back_inserter(row_folders), IsRowFolder);
    EXPECT_EQ(row_folders, FolderNames(classic));
  }
  if (function == 1 && settings.OutputKmlDirFileMode == 1 &&
      fs::exists(kmz_dir / "pq_Other.kmz")) {
    newer_marks += ReadKmzMap(kmz_dir / "pq_Other").marks.size();
  }
  size_t expected_newer = 0;
  for (const CacheRecord& record : list.records)
    expected_newer += IsNewerType(record.type);
  EXPECT_EQ(newer_marks, expected_newer);
  EXPECT_EQ(classic_marks, list.records.size() - expected_newer);
  // Nothing but the map files: no .kml, no leftover temporary file.
  for (const auto& entry : fs::directory_iterator(kmz_dir.path())) {
    EXPECT_EQ(entry.path().extension(), ".kmz") << entry.path();
  }
}

TEST(KmzWriter, CorpusMapsHoldTheClassicPlacemarksInEveryModeAndRole) {
  KORVELO_REQUIRE_CORPUS();
  for (const fs::path& path : testing::CorpusInputs()) {
    SCOPED_TRACE(path);
    CacheList list(path.string(), nullptr, "");
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

// Every hostile text still gives a document that parses, and the reader
// sees the text itself.
TEST(KmzWriter, HostileTextsStayWellFormedAndReadBackAsWritten) {
  TempDir dir;
  WriteOneMap(testing::HostileList("Traditional Cache"), dir.path());
  const Kml kml(ReadKmz(dir / "pq.kmz").entries.at("doc.kml"));
  const std::vector<xmlNode*> placemarks = kml.Nodes(
      std::string(kFolders) + "[k:name='Traditional Cache']/k:Placemark");
  const std::vector<testing::HostileText> texts = testing::HostileTexts();
  ASSERT_EQ(placemarks.size(), texts.size());
  for (size_t i = 0; i < texts.size(); ++i) {
    EXPECT_EQ(kml.Text("k:name", placemarks[i]), texts[i].read) << i;
    EXPECT_EQ(kml.Text("k:description", placemarks[i]),
              "<a href=\"https://x.example/?a=1&amp;b=&quot;2&quot;\">GC" +
                  std::to_string(i) + "</a>: " + texts[i].read)
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

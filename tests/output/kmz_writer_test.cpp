// The self-contained map: the same placemarks as the classic KML, in files a
// strict reader and a web importer accept. Both forms are read back as a
// reader sees them: parsed by libxml2, the archive's entries by the
// project's ZIP reader, each KMZ icon found by following its styleUrl
// through the shared styles.
#include "output/kmz_writer.h"

#include <gtest/gtest.h>
#include <libxml/parser.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <iterator>
#include <map>
#include <memory>
#include <set>
#include <stdexcept>

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

// One element as libxml2 reads it: its name without prefix, its namespace,
// its attributes and the text and CDATA directly inside it.
struct XmlNode {
  std::string name, ns, text;
  std::map<std::string, std::string> attributes;
  std::vector<XmlNode> children;

  std::vector<const XmlNode*> Children(std::string_view child) const {
    std::vector<const XmlNode*> found;
    for (const XmlNode& node : children) {
      if (node.name == child) found.push_back(&node);
    }
    return found;
  }
  const XmlNode* Child(std::string_view child) const {
    const std::vector<const XmlNode*> found = Children(child);
    return found.empty() ? nullptr : found.front();
  }
  // Text of the element the child names of `path` ("a/b/c") lead to, empty
  // when one is missing.
  std::string TextAt(std::string_view path) const {
    const size_t slash = path.find('/');
    const XmlNode* child = Child(path.substr(0, slash));
    if (child == nullptr) return "";
    return slash == std::string_view::npos
               ? child->text
               : child->TextAt(path.substr(slash + 1));
  }
};

std::string Text(const void* text) {
  return text == nullptr ? "" : static_cast<const char*>(text);
}

XmlNode Converted(const xmlNode* element) {
  XmlNode node{Text(element->name),
               element->ns ? Text(element->ns->href) : "",
               "",
               {},
               {}};
  for (const xmlAttr* a = element->properties; a != nullptr; a = a->next) {
    xmlChar* value = xmlNodeListGetString(element->doc, a->children, 1);
    node.attributes[Text(a->name)] = Text(value);
    xmlFree(value);
  }
  for (const xmlNode* child = element->children; child; child = child->next) {
    if (child->type == XML_ELEMENT_NODE)
      node.children.push_back(Converted(child));
    if (child->type == XML_TEXT_NODE || child->type == XML_CDATA_SECTION_NODE)
      node.text += Text(child->content);
  }
  return node;
}

// The root element of `document`. Text that is not well-formed XML in
// UTF-8 throws with libxml2's reason; nothing is fetched from outside.
XmlNode ParseXml(const std::string& document) {
  const std::unique_ptr<xmlDoc, void (*)(xmlDoc*)> doc(
      xmlReadMemory(document.data(), static_cast<int>(document.size()), nullptr,
                    nullptr,
                    XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING |
                        XML_PARSE_HUGE),
      xmlFreeDoc);
  if (doc == nullptr) {
    const xmlError* error = xmlGetLastError();
    throw std::runtime_error(error ? "line " + std::to_string(error->line) +
                                         ": " + Text(error->message)
                                   : "no XML");
  }
  return Converted(xmlDocGetRootElement(doc.get()));
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

// The style or style map with this id among the document's children; a
// failure for a reference without "#" or to no style.
const XmlNode* StyleById(const XmlNode& document, const std::string& url) {
  if (url.empty() || url[0] != '#') {
    ADD_FAILURE() << "style reference without '#': " << url;
    return nullptr;
  }
  for (const XmlNode& child : document.children) {
    if ((child.name == "Style" || child.name == "StyleMap") &&
        child.attributes.count("id") &&
        child.attributes.at("id") == url.substr(1)) {
      return &child;
    }
  }
  ADD_FAILURE() << "no style " << url;
  return nullptr;
}

std::string NormalIconHref(const XmlNode& document, const std::string& url) {
  const XmlNode* style = StyleById(document, url);
  if (style == nullptr) return "";
  if (style->name == "StyleMap") {
    for (const XmlNode* pair : style->Children("Pair")) {
      if (pair->TextAt("key") == "normal") {
        return NormalIconHref(document, pair->TextAt("styleUrl"));
      }
    }
    ADD_FAILURE() << "style map without normal pair: " << url;
    return "";
  }
  return style->TextAt("IconStyle/Icon/href");
}

// The placemarks of a map document. A classic one's standard icon URLs are
// translated to the file names of the program's own drawings of them; a KMZ
// one's icons are found through each styleUrl, a failure for an href that
// names no entry of `archive`.
std::vector<Mark> MarksOf(const XmlNode& kml,
                          const KmzArchive* archive = nullptr) {
  std::vector<Mark> marks;
  const XmlNode* document = kml.Child("Document");
  if (document == nullptr) {
    ADD_FAILURE() << "no Document";
    return marks;
  }
  for (const XmlNode* folder : document->Children("Folder")) {
    if (archive != nullptr) {
      const XmlNode* list = StyleById(*document, folder->TextAt("styleUrl"));
      const std::string href =
          list ? list->TextAt("ListStyle/ItemIcon/href") : "";
      EXPECT_TRUE(href.empty() || archive->entries.count(href)) << href;
    }
    for (const XmlNode* placemark : folder->Children("Placemark")) {
      std::string icon =
          FileOfUrl(placemark->TextAt("Style/IconStyle/Icon/href"));
      if (archive != nullptr) {
        const std::string href =
            NormalIconHref(*document, placemark->TextAt("styleUrl"));
        EXPECT_TRUE(href.empty() || (archive->entries.count(href) &&
                                     href.starts_with("icons/")))
            << "href " << href << " is no icon entry";
        icon = href.empty() ? "" : href.substr(href.rfind('/') + 1);
      }
      marks.push_back({folder->TextAt("name"), placemark->TextAt("name"),
                       placemark->TextAt("Point/coordinates"), icon});
    }
  }
  return marks;
}

// Features of a document: itself, its folders and its placemarks.
size_t FeatureCount(const XmlNode& kml) {
  const XmlNode* document = kml.Child("Document");
  if (document == nullptr) return 0;
  size_t count = 1;
  for (const XmlNode* folder : document->Children("Folder")) {
    count += 1 + folder->Children("Placemark").size();
  }
  return count;
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
    EXPECT_FALSE(archive.names.empty());
    if (archive.names.empty()) break;
    EXPECT_EQ(archive.names.front(), "doc.kml") << path;
    XmlNode kml;
    try {
      kml = ParseXml(archive.entries.at(archive.names.front()));
    } catch (const std::runtime_error& e) {
      ADD_FAILURE() << path << ": " << e.what();
      break;
    }
    EXPECT_EQ(kml.ns, "http://www.opengis.net/kml/2.2");
    EXPECT_LE(FeatureCount(kml), 10000u) << path;
    std::vector<Mark> marks = MarksOf(kml, &archive);
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
    const XmlNode* document = kml.Child("Document");
    for (const XmlNode* folder : document->Children("Folder")) {
      const std::string name = folder->TextAt("name");
      if (part == 1 || map.folders.empty() || map.folders.back() != name ||
          folder != document->Child("Folder")) {
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
    const XmlNode classic = ParseXml(ReadFileOrFail(entry.path()));
    const KmzMap kmz = ReadKmzMap(kmz_dir / stem);
    ASSERT_GE(kmz.parts, 1u);
    const auto [rows, others] = SplitRowMarks(kmz.marks);
    const std::vector<Mark> classic_rows = MarksOf(classic);
    EXPECT_EQ(rows, classic_rows);
    classic_marks += classic_rows.size();
    newer_marks += others;
    std::vector<std::string> classic_folders;
    for (const auto* folder : classic.Child("Document")->Children("Folder")) {
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
  EXPECT_EQ(classic_marks, list.records.size() - expected_newer);
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
      // A reader takes a CR for a line end and reads it as LF.
      {"tab\tline\ncr\r", "tab\tline\ncr\n"},
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
  const KmzArchive archive = ReadKmz(dir / "pq.kmz");
  const XmlNode kml = ParseXml(archive.entries.at("doc.kml"));
  std::vector<const XmlNode*> placemarks;
  for (const auto* folder : kml.Child("Document")->Children("Folder")) {
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

#include "output/kml_writer.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <functional>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "gpx_lists.h"
#include "input/paths.h"
#include "input/text.h"
#include "output/cache_types.h"
#include "output/icons.h"
#include "platform/file_error.h"

namespace korvelo {
namespace {

namespace fs = std::filesystem;
using testing::AppendGpxFile;
using testing::ReadFileOrFail;
using testing::ReferencePath;
using testing::TempDir;
using testing::WriteFileOrFail;

struct Input {
  std::string gpx;    // under tests/reference
  std::string title;  // the records' `file`, added to the titles
};

struct Output {
  std::string written;   // file name in the output folder
  std::string expected;  // reference file
};

struct KmlCase {
  std::string name;
  std::vector<Input> inputs;
  std::vector<std::string> extraTitles;  // titles inserted after the first
  int function;
  int mode;
  bool smallIcons;
  bool showDisabled;
  std::vector<Output> outputs;
};

// Moved to solved coordinates in every case: a Multi-cache, an Unknown
// Cache and a Traditional Cache (which keeps its folder and icon).
const std::set<std::string> kMoved = {"GC1002", "GC1004", "GC1008"};

std::vector<Output> PerTypeOutputs(const std::string& variant) {
  std::vector<Output> outputs;
  for (const CacheTypeRow& row : kCacheTypes) {
    const std::string shortName(row.short_name);
    outputs.push_back({"small_" + shortName + ".kml",
                       "small~all-mode1" + variant + "_" + shortName + ".kml"});
  }
  return outputs;
}

std::vector<Output> PerInputOutputs(const std::string& variant) {
  return {{"ost.kml", "mode0" + variant + "~ost.kml"},
          {"leer.kml", "mode0" + variant + "~leer.kml"},
          {"west.kml", "mode0" + variant + "~west.kml"}};
}

std::vector<KmlCase> Cases() {
  const std::vector<Input> small = {{"small.gpx", "pq"}};
  // Two titles equal ("ost" twice, as from two folders), one without caches.
  const std::vector<Input> twoFiles = {{"mode0-ost.gpx", "ost"},
                                       {"mode0-west.gpx", "west"}};
  const std::vector<std::string> noExtra;
  const std::vector<std::string> extra = {"leer", "ost"};
  std::vector<KmlCase> cases = {
      {"all-mode2",
       small,
       noExtra,
       1,
       2,
       false,
       true,
       {{"small.kml", "small~all-mode2.kml"}}},
      {"all-mode2-small",
       small,
       noExtra,
       1,
       2,
       true,
       false,
       {{"small.kml", "small~all-mode2-small.kml"}}},
      {"all-mode7-as-mode2",
       small,
       noExtra,
       1,
       7,
       false,
       true,
       {{"small.kml", "small~all-mode2.kml"}}},
      {"all-mode1", small, noExtra, 1, 1, false, true, PerTypeOutputs("")},
      {"all-mode1-small", small, noExtra, 1, 1, true, false,
       PerTypeOutputs("-small")},
      {"all-mode0", twoFiles, extra, 1, 0, false, true, PerInputOutputs("")},
      {"all-mode0-small", twoFiles, extra, 1, 0, true, false,
       PerInputOutputs("-small")},
      {"unknown-function",
       small,
       noExtra,
       9,
       1,
       false,
       true,
       {{"small.kml", "small~none.kml"}}},
  };
  const std::pair<int, std::string> roles[] = {
      {2, "found"}, {3, "mine"}, {4, "disabled"}, {5, "marked"}, {0, "none"}};
  for (const auto& [function, role] : roles) {
    for (int mode : {0, 1, 2}) {
      for (bool smallIcons : {false, true}) {
        const std::string variant = smallIcons ? "-small" : "";
        cases.push_back({role + "-mode" + std::to_string(mode) + variant,
                         small,
                         noExtra,
                         function,
                         mode,
                         smallIcons,
                         true,
                         {{"small.kml", "small~" + role + variant + ".kml"}}});
      }
    }
  }
  return cases;
}

CacheList BuildList(const KmlCase& c) {
  CacheList list;
  for (const Input& input : c.inputs) {
    AppendGpxFile(list, ReferencePath(input.gpx), input.title);
    if (&input == &c.inputs.front()) {
      list.titles.insert(list.titles.end(), c.extraTitles.begin(),
                         c.extraTitles.end());
    }
  }
  for (CacheRecord& record : list.records) {
    record.moved = kMoved.count(record.name) > 0;
  }
  return list;
}

// The reference files name the default icon hosts; a build configured with
// other hosts writes those instead.
std::string WithConfiguredHosts(std::string text) {
  text = ReplaceAll(text, "https://www.geocaching.com", kStandardIconBase);
  return ReplaceAll(text, "https://icons.korvelo.org", kExtraIconBase);
}

std::vector<std::string> FilesIn(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

TEST(KmlWriter, ReferenceCasesMatchByteForByte) {
  for (const KmlCase& c : Cases()) {
    SCOPED_TRACE(c.name);
    TempDir dir;
    ConversionSettings settings;
    settings.OutputKmlDirFileMode = c.mode;
    WriteKml(BuildList(c), dir.path() + "\\small.kml", c.function, c.smallIcons,
             c.showDisabled, settings);
    std::vector<std::string> expectedNames;
    for (const Output& output : c.outputs) {
      expectedNames.push_back(output.written);
      const std::string expected =
          WithConfiguredHosts(ReadFileOrFail(ReferencePath(output.expected)));
      EXPECT_TRUE(testing::SameBytes(expected,
                                     ReadFileOrFail(dir / output.written),
                                     c.name + "/" + output.written))
          << output.written << " against " << output.expected;
    }
    std::sort(expectedNames.begin(), expectedNames.end());
    EXPECT_EQ(FilesIn(dir.path()), expectedNames);
  }
}

// The document writer alone, into a string: the same bytes as the file.
TEST(KmlWriter, DocumentWrittenToAStreamHoldsTheFileBytes) {
  const KmlCase c = {"stream", {{"small.gpx", "pq"}}, {}, 2, 2, true, true, {}};
  KmlDocument document;
  document.name = "My finds";
  document.function = kFunctionFound;
  document.smallIcons = true;
  std::ostringstream out;
  WriteKmlDocument(out, BuildList(c), document);
  EXPECT_TRUE(testing::SameBytes(WithConfiguredHosts(ReadFileOrFail(
                                     ReferencePath("small~found-small.kml"))),
                                 out.str(), "stream/found-small.kml"));
}

// A Traditional Cache as the parser would leave it, for lists of any size.
CacheRecord Tradi(int number) {
  CacheRecord record;
  record.name = "GC" + std::to_string(number);
  record.urlname = "Cache " + std::to_string(number);
  record.type = "Traditional Cache";
  record.long_description = "<A HREF='u'>" + record.name + "</A>: text";
  record.lat = "50.00000";
  record.lon = "8.00000";
  return record;
}

TEST(KmlWriter, MissingFolderGivesInvalidHandleNamingTheKmlPath) {
  TempDir dir;
  CacheList list;
  list.records.push_back(Tradi(1));
  const std::string path = dir.path() + "\\missing\\pq.kml";
  for (int mode : {1, 2}) {
    ConversionSettings settings;
    settings.OutputKmlDirFileMode = mode;
    try {
      WriteKml(list, path, kFunctionComplete, false, true, settings);
      ADD_FAILURE() << "no error in mode " << mode;
    } catch (const FileError& e) {
      EXPECT_EQ(e.cause(), FileCause::kInvalidFile);
      EXPECT_EQ(e.path(),
                mode == 2 ? path : dir.path() + "\\missing\\pq_CITO.kml");
    }
  }
}

// Runs `body` in a child whose files may not grow beyond `limit` bytes;
// true when the body returned true there.
bool InChildWithFileSizeLimit(rlim_t limit, const std::function<bool()>& body) {
  const pid_t child = fork();
  if (child == 0) {
    signal(SIGXFSZ, SIG_IGN);
    const rlimit small = {limit, limit};
    bool ok = false;
    try {
      ok = setrlimit(RLIMIT_FSIZE, &small) == 0 && body();
    } catch (...) {
    }
    _exit(ok ? 0 : 1);
  }
  int status = 0;
  waitpid(child, &status, 0);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// Per-type files: the Traditional Cache file outgrows the limit. The files
// of the rows before it are written, it and the later ones keep what an
// earlier run left, and no temporary file remains.
TEST(KmlWriter, FailedFileKeepsItsEarlierVersionAndEarlierRowsStayWritten) {
  TempDir dir;
  CacheList list;
  for (int i = 0; i < 2000; ++i) list.records.push_back(Tradi(i));
  WriteFileOrFail(dir / "pq_Tradi.kml", "earlier Tradi");
  WriteFileOrFail(dir / "pq_Wherigo.kml", "earlier Wherigo");
  const std::string path = dir.path() + "\\pq.kml";
  ConversionSettings settings;
  settings.OutputKmlDirFileMode = 1;
  EXPECT_TRUE(InChildWithFileSizeLimit(64 * 1024, [&] {
    try {
      WriteKml(list, path, kFunctionComplete, false, false, settings);
    } catch (const FileError& e) {
      return e.cause() == FileCause::kDiskFull &&
             e.path() == dir.path() + "\\pq_Tradi.kml";
    }
    return false;
  })) << "the child saw no disk-full error naming the Traditional Cache file";
  EXPECT_EQ(ReadFileOrFail(dir / "pq_Tradi.kml"), "earlier Tradi");
  EXPECT_EQ(ReadFileOrFail(dir / "pq_Wherigo.kml"), "earlier Wherigo");
  EXPECT_EQ(FilesIn(dir.path()),
            (std::vector<std::string>{"pq_CITO.kml", "pq_Earth.kml",
                                      "pq_Event.kml", "pq_Letterbox.kml",
                                      "pq_MegaEvent.kml", "pq_Multi.kml",
                                      "pq_Tradi.kml", "pq_Wherigo.kml"}));
  EXPECT_TRUE(ReadFileOrFail(dir / "pq_Multi.kml").ends_with("</kml>\r\n"));
}

size_t Count(std::string_view text, std::string_view what) {
  size_t count = 0;
  for (size_t at = text.find(what); at != std::string_view::npos;
       at = text.find(what, at + what.size())) {
    ++count;
  }
  return count;
}

bool IsKnownType(const CacheRecord& record) {
  return std::any_of(
      std::begin(kCacheTypes), std::end(kCacheTypes),
      [&](const CacheTypeRow& row) { return IsOfType(record.type, row); });
}

std::vector<std::string> CorpusGpxFiles() {
  std::vector<std::string> files;
  for (const auto& entry :
       fs::recursive_directory_iterator(testing::CorpusPath())) {
    if (entry.is_regular_file() && entry.path().extension() == ".gpx") {
      files.push_back(entry.path().string());
    }
  }
  std::sort(files.begin(), files.end());
  return files;
}

// Whole-list KML of every real pocket query: well-formed XML, one placemark
// per cache of a known type, and the same bytes when written again.
TEST(KmlWriter, CorpusKmlIsWellFormedCompleteAndReproducible) {
  KORVELO_REQUIRE_CORPUS();
  if (std::system("xmllint --version >/dev/null 2>&1") != 0) {
    GTEST_SKIP() << "xmllint not installed (package libxml2-utils)";
  }
  ConversionSettings settings;
  settings.OutputKmlDirFileMode = 2;
  for (const std::string& gpx : CorpusGpxFiles()) {
    SCOPED_TRACE(gpx);
    TempDir dir;
    CacheList list;
    AppendGpxFile(list, gpx, BaseName(gpx));
    const size_t known =
        std::count_if(list.records.begin(), list.records.end(), IsKnownType);
    WriteKml(list, dir / "a.kml", kFunctionComplete, false, true, settings);
    WriteKml(list, dir / "b.kml", kFunctionComplete, false, true, settings);
    const std::string kml = ReadFileOrFail(dir / "a.kml");
    EXPECT_EQ(Count(kml, "<Placemark>"), known);
    EXPECT_TRUE(kml == ReadFileOrFail(dir / "b.kml"));
    const std::string check = "xmllint --noout '" + (dir / "a.kml") + "'";
    EXPECT_EQ(std::system(check.c_str()), 0) << check;
  }
}

}  // namespace
}  // namespace korvelo

// The original waypoint texts a load keeps for the GPX for devices: which
// text a code keeps, where additional waypoints come from, and that a load
// without them keeps nothing more than before. Texts kept in their plain GPX
// files are read back as the bytes the cut gave, in any reading order and
// across many files, and a file that changed after the load fails the read
// instead of giving other bytes.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "cachelist/cache_list.h"
#include "cachelist/original_text_reader.h"
#include "cachelist/original_waypoints_load.h"
#include "input/elements.h"
#include "platform/file_error.h"
#include "support/test_support.h"

namespace korvelo {
namespace {

using ::korvelo::testing::CorpusPath;
using ::korvelo::testing::ReadFileOrFail;
using ::korvelo::testing::TempDir;
using ::korvelo::testing::WriteFileOrFail;
using Texts = std::vector<std::string>;

std::string Wpt(const std::string& code, const std::string& body = "") {
  return "<wpt lat=\"50.1\" lon=\"8.6\"><name>" + code + "</name>" + body +
         "\n";
}

std::string Gpx(const Texts& wpts) {
  std::string text = "<?xml version=\"1.0\"?>\r\n<gpx>\r\n";
  for (const std::string& wpt : wpts) text += wpt + "</wpt>\r\n";
  return text + "</gpx>\r\n";
}

Texts Codes(const std::vector<AdditionalWaypoint>& waypoints) {
  Texts codes;
  for (const AdditionalWaypoint& w : waypoints) codes.emplace_back(w.code);
  return codes;
}

Texts RecordCodes(const CacheList& list) {
  Texts codes;
  for (const CacheRecord& r : list.records) codes.push_back(r.name);
  return codes;
}

// The text of `code` asked about on its own, without the order of a list.
const KeptText* Find(const OriginalWaypoints& originals,
                     const std::string& code) {
  size_t cursor = 0;
  return originals.CacheText(code, cursor);
}

std::string TextOf(const CacheList& list, const std::string& code) {
  const KeptText* text = Find(list.originals, code);
  if (text == nullptr) return "<none>";
  return std::string(OriginalTextReader(list.originals).Read(*text));
}

std::string AdditionalText(const OriginalWaypoints& originals, size_t index) {
  return std::string(
      OriginalTextReader(originals).Read(originals.additional()[index].text));
}

CacheList LoadKeeping(const std::string& path) {
  return CacheList(path, nullptr, "", RecordTexts::kAll,
                   WaypointOriginals::kKeep);
}

// The text kept for a code is that of the record the list kept, within one
// file and across merged lists alike.
TEST(OriginalsLoad, TheFirstWaypointOfACodeWinsAsInTheList) {
  TempDir dir;
  WriteFileOrFail(dir / "a.gpx", Gpx({Wpt("GC1", "first"), Wpt("GC1", "2")}));
  WriteFileOrFail(dir / "b.gpx", Gpx({Wpt("GC1", "third"), Wpt("GC2")}));
  CacheList run;
  run.Merge(LoadKeeping(dir / "a.gpx"));
  run.Merge(LoadKeeping(dir / "b.gpx"));
  ASSERT_EQ(RecordCodes(run), (Texts{"GC1", "GC2"}));
  EXPECT_EQ(TextOf(run, "GC1"), Wpt("GC1", "first"));
  EXPECT_EQ(TextOf(run, "GC2"), Wpt("GC2"));
}

TEST(OriginalsLoad, ReadsTheAdditionalWaypointsBesideAGpxFileOnly) {
  TempDir dir;
  WriteFileOrFail(dir / "12345.gpx", Gpx({Wpt("GC1"), Wpt("GC2")}));
  WriteFileOrFail(dir / "12345-wpts.gpx",
                  Gpx({Wpt("PK1"), Wpt("S12"), Wpt("PK1", "again")}));
  const CacheList list = LoadKeeping(dir / "12345.gpx");
  EXPECT_EQ(RecordCodes(list), (Texts{"GC1", "GC2"}));
  EXPECT_EQ(Codes(list.originals.additional()), (Texts{"PK1", "S12"}));
  EXPECT_EQ(AdditionalText(list.originals, 0), Wpt("PK1"));
}

// Without the GPX output nothing is kept, and the records are the same.
TEST(OriginalsLoad, ALoadThatDropsThemKeepsNothingAndTheSameRecords) {
  KORVELO_REQUIRE_CORPUS();
  for (const char* file :
       {"cachebox3/GS_PQ.zip", "cachebox3/6004539_HomeZone.gpx"}) {
    const CacheList dropped(CorpusPath(file), nullptr, "");
    const CacheList kept = LoadKeeping(CorpusPath(file));
    EXPECT_TRUE(dropped.originals.empty()) << file;
    EXPECT_TRUE(dropped.originals.namespaces().empty()) << file;
    EXPECT_EQ(RecordCodes(dropped), RecordCodes(kept)) << file;
    EXPECT_EQ(dropped.titles, kept.titles) << file;
    ASSERT_EQ(Codes(kept.originals.additional()).size(), 183u) << file;
    for (const CacheRecord& r : kept.records) {
      ASSERT_NE(Find(kept.originals, r.name), nullptr) << r.name;
    }
  }
}

TEST(OriginalWaypoints, ACopyKeepsItsTextsWhenTheOriginalIsGone) {
  auto original = std::make_unique<OriginalWaypoints>();
  original->AddCache("GC1", original->KeepCopy(std::string(300000, 'c')));
  original->AddAdditional("PK1", original->KeepCopy("p"));
  original->AddNamespaces("<gpx xmlns:a=\"1\">");
  const OriginalWaypoints copy = *original;
  original.reset();
  ASSERT_NE(Find(copy, "GC1"), nullptr);
  EXPECT_EQ(OriginalTextReader(copy).Read(*Find(copy, "GC1")),
            std::string(300000, 'c'));
  EXPECT_EQ(Codes(copy.additional()), (Texts{"PK1"}));
  EXPECT_EQ(AdditionalText(copy, 0), "p");
  ASSERT_EQ(copy.namespaces().size(), 1u);
  EXPECT_EQ(copy.namespaces()[0], "xmlns:a=\"1\"");
}

// The writer asks for the texts in list order, which is mostly the order
// they were kept in; any other order, a gap, an unknown code or a code asked
// twice must still find each code's own text, the first kept one.
TEST(OriginalWaypoints, EachCodeFindsItsOwnTextAskedInAnyOrder) {
  OriginalWaypoints originals, second;
  for (int i = 0; i < 20; ++i) {
    OriginalWaypoints& to = i < 12 ? originals : second;
    to.AddCache("GC" + std::to_string(i), to.KeepCopy("t" + std::to_string(i)));
  }
  second.AddCache("GC3", second.KeepCopy("later"));
  originals.Merge(std::move(second));
  const OriginalWaypoints copy = originals;
  const std::vector<std::vector<int>> asks = {
      {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19},
      {1, 2, 4, 5, 7, 8, 10, 11, 13, 14, 16, 17, 19},
      {0, 11, 12, 19, 3},
      {19, 18, 17, 5, 4, 3, 2, 1, 0},
      {2, 99, 3, 3, 42, 4}};
  for (const OriginalWaypoints* kept :
       std::initializer_list<const OriginalWaypoints*>{&originals, &copy}) {
    for (const std::vector<int>& codes : asks) {
      size_t cursor = 0;
      for (int i : codes) {
        const std::string code = "GC" + std::to_string(i);
        const KeptText* text = kept->CacheText(code, cursor);
        EXPECT_EQ(text ? std::string(text->data, text->size) : "none",
                  i < 20 ? "t" + std::to_string(i) : "none")
            << code;
      }
    }
  }
}

TEST(OriginalWaypoints, TheFirstDeclarationOfEachPrefixIsKept) {
  const std::pair<Texts, Texts> rows[] = {
      // Root tags, one file's each in load order, and the kept declarations.
      {{"<gpx xmlns=\"g\" xmlns:gsak=\"k\"\n\txmlns:c='c'>"},
       {"xmlns:gsak=\"k\"", "xmlns:c='c'"}},
      {{"<gpx xmlns:a=\"1\">", "<gpx xmlns:a=\"2\" xmlns:b=\"3\">"},
       {"xmlns:a=\"1\"", "xmlns:b=\"3\""}},
      // Not a declaration: part of a longer name, inside a value, unclosed.
      {{"<gpx zxmlns:a=\"1\" desc=\"xmlns:b\" xmlns:c=\"4>"}, {}},
      {{""}, {}}};
  for (const auto& [roots, expected] : rows) {
    OriginalWaypoints originals;
    for (const std::string& root : roots) {
      OriginalWaypoints file;
      file.AddNamespaces(root);
      originals.Merge(std::move(file));
    }
    Texts got;
    for (std::string_view d : originals.namespaces()) got.emplace_back(d);
    EXPECT_EQ(got, expected) << ::testing::PrintToString(roots);
  }
}

TEST(AdditionalWaypointsFile, IsNamedWithWptsAndEndsInGpx) {
  const struct {
    const char* path;
    bool additional;
  } rows[] = {
      {"/pq/12345-wpts.gpx", true},  {"12345-wpts.GPX", true},
      {"/pq/12345.gpx", false},      {"/pq-wpts/12345.gpx", false},
      {"/pq/12345-wpts.zip", false}, {"/pq/12345_wpts.gpx", false},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(IsAdditionalWaypointsFile(row.path), row.additional) << row.path;
  }
}

// A pocket query of `count` waypoints GC0, GC1, ... whose sizes vary from a
// few bytes to a few hundred kilobytes, so that texts start, end and lie
// across the pieces the loader reads.
std::string VariedGpx(int count, unsigned seed) {
  std::mt19937 random(seed);
  std::uniform_int_distribution<int> small(0, 3000);
  std::uniform_int_distribution<int> large(200000, 600000);
  std::string text = "<?xml version=\"1.0\"?>\r\n<gpx xmlns:a=\"1\">\r\n";
  for (int i = 0; i < count; ++i) {
    const int filler = i % 7 == 3 ? large(random) : small(random);
    text += "  <wpt lat=\"50." + std::to_string(i) + "\" lon=\"8.6\"><name>GC" +
            std::to_string(i) + "</name><desc>" +
            std::string(filler, static_cast<char>('a' + i % 26)) +
            "</desc>\r\n  </wpt>\r\n";
  }
  return text + "</gpx>\r\n";
}

// The waypoint texts of a whole text, cut the obvious way: from each "<wpt"
// up to, not including, the next "</wpt>".
std::vector<std::string_view> CutWaypoints(std::string_view text) {
  std::vector<std::string_view> waypoints;
  for (size_t start = text.find("<wpt"); start != std::string_view::npos;
       start = text.find("<wpt", start + 1)) {
    const size_t end = text.find("</wpt>", start);
    if (end == std::string_view::npos) break;
    waypoints.push_back(text.substr(start, end - start));
  }
  return waypoints;
}

// Every waypoint of `gpx` read back from `list` through one reader, in the
// order `order` gives (indexes into the waypoints), compared with the cut.
void ExpectTextsInOrder(const CacheList& list, const std::string& gpx,
                        const std::vector<size_t>& order) {
  const std::vector<std::string_view> cut = CutWaypoints(gpx);
  OriginalTextReader reader(list.originals);
  for (size_t i : order) {
    const std::string code = ExtractElement(cut[i], "name");
    const KeptText* text = Find(list.originals, code);
    ASSERT_NE(text, nullptr) << code;
    EXPECT_EQ(text->file, 0u) << code;  // kept in the file, not copied
    ASSERT_EQ(reader.Read(*text), cut[i]) << code;
  }
}

TEST(OriginalTextReader, ReadsTheTextsOfALargeFileInAnyOrderAlsoThroughACopy) {
  TempDir dir;
  const std::string gpx = VariedGpx(80, 7);
  ASSERT_GT(gpx.size(), size_t{3} << 20);
  WriteFileOrFail(dir / "q.gpx", gpx);
  auto list = std::make_unique<CacheList>(LoadKeeping(dir / "q.gpx"));
  std::vector<size_t> order(list->records.size());
  for (size_t i = 0; i < order.size(); ++i) order[i] = i;
  ExpectTextsInOrder(*list, gpx, order);
  std::reverse(order.begin(), order.end());
  ExpectTextsInOrder(*list, gpx, order);
  // A copy reads them after the list it came from is gone.
  const CacheList copy = *list;
  list.reset();
  std::shuffle(order.begin(), order.end(), std::mt19937(3));
  ExpectTextsInOrder(copy, gpx, order);
}

// A folder's lists are merged: each text is read from its own file, also
// when the reads go back and forth between more files than stay open.
TEST(OriginalTextReader, ReadsTextsOfMoreFilesThanItKeepsOpen) {
  TempDir dir;
  std::vector<std::string> files;
  for (int f = 0; f < 7; ++f) {
    Texts wpts;
    for (int i = 0; i < 3; ++i)
      wpts.push_back(Wpt("GC" + std::to_string(10 * f + i)));
    files.push_back(Gpx(wpts));
    WriteFileOrFail(dir / ("f/" + std::to_string(f) + ".gpx"), files.back());
  }
  const CacheList list = LoadKeeping(dir / "f");
  ASSERT_EQ(list.originals.files().size(), files.size());
  OriginalTextReader reader(list.originals);
  for (int i = 0; i < 3; ++i) {
    for (int f = 6; f >= 0; --f) {
      const KeptText* text =
          Find(list.originals, "GC" + std::to_string(10 * f + i));
      ASSERT_NE(text, nullptr);
      EXPECT_EQ(reader.Read(*text), CutWaypoints(files[f])[i]);
    }
  }
}

// One byte at `at` of the file replaced, the modification time put back to
// what it was, so that only the bytes tell the change.
void ReplaceByteKeepingTime(const std::string& path, size_t at) {
  struct stat info;
  ASSERT_EQ(stat(path.c_str(), &info), 0);
  std::string bytes = ReadFileOrFail(path);
  bytes[at] = bytes[at] == 'x' ? 'y' : 'x';
  WriteFileOrFail(path, bytes);
  const struct timespec times[2] = {{0, UTIME_OMIT}, info.st_mtim};
  ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
}

TEST(OriginalTextReader, FailsTheReadOfAChangedFileNamingTheFile) {
  const struct {
    const char* what;
    // Changes the file at the path; the loaded text of GC1 starts at `at`.
    std::function<void(const std::string& path, size_t at)> change;
    FileCause cause;  // kNone: the read still succeeds
  } rows[] = {{"rewritten longer",
               [](const std::string& path, size_t) {
                 WriteFileOrFail(path, ReadFileOrFail(path) + " ");
               },
               FileCause::kSharingViolation},
              {"a byte of the text, same size and time",
               [](const std::string& path, size_t at) {
                 ReplaceByteKeepingTime(path, at + 10);
               },
               FileCause::kSharingViolation},
              {"a byte outside every text, same size and time",
               [](const std::string& path, size_t) {
                 ReplaceByteKeepingTime(path, 25);
               },
               FileCause::kNone},
              {"removed",
               [](const std::string& path, size_t) {
                 ASSERT_EQ(unlink(path.c_str()), 0);
               },
               FileCause::kFileNotFound}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    TempDir dir;
    const std::string path = dir / "q.gpx";
    const std::string gpx = VariedGpx(3, 5);
    WriteFileOrFail(path, gpx);
    const CacheList list = LoadKeeping(path);
    row.change(path, gpx.find("<wpt", gpx.find("<wpt") + 1));
    const KeptText* text = Find(list.originals, "GC1");
    ASSERT_NE(text, nullptr);
    OriginalTextReader reader(list.originals);
    try {
      const std::string_view read = reader.Read(*text);
      EXPECT_EQ(row.cause, FileCause::kNone);
      EXPECT_EQ(read, CutWaypoints(gpx)[1]);
    } catch (const FileError& error) {
      EXPECT_EQ(error.cause(), row.cause);
      EXPECT_EQ(error.path(), path);
      if (error.cause() == FileCause::kSharingViolation) {
        EXPECT_EQ(error.os_error(), ESTALE);
      }
    }
  }
}

}  // namespace
}  // namespace korvelo

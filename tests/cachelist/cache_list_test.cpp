// The code index, Merge, the exclusions, the moves, and every waypoint of the
// real pocket queries, loaded; the loading constructor on GPX files,
// folders, self-built, real and hostile archives. Every load test points
// $TMPDIR at a folder that does not exist and must not come to: archives,
// nested ones too, are read in memory only.
#include "cachelist/cache_list.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <regex>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "cachelist/extraction_budget.h"
#include "cachelist/moves.h"
#include "cachelist/progress.h"
#include "platform/folders.h"
#include "support/test_support.h"
#include "support/zip_builder.h"

namespace korvelo {
namespace {

using ::korvelo::testing::BuildZip;
using ::korvelo::testing::CorpusInputs;
using ::korvelo::testing::CorpusPath;
using ::korvelo::testing::Deflate;
using ::korvelo::testing::With;
using ::korvelo::testing::WriteFileOrFail;
using E = ::korvelo::testing::ZipTestEntry;
using Texts = std::vector<std::string>;
using Rows = std::vector<std::tuple<Texts, Texts, std::string>>;

// A list as the loader fills one (duplicates too) with `values` in `field`;
// each record's urlname is the list's name and the record's position in it.
CacheList MakeList(const Texts& values, const std::string& name = "",
                   RecordText CacheRecord::*field = &CacheRecord::name) {
  CacheList list;
  list.name = name;
  list.titles = {name};
  for (const std::string& value : values) {
    CacheRecord record;
    record.*field = value;
    record.urlname = name + std::to_string(list.GetSize());
    list.Append(std::move(record));
  }
  return list;
}

// The urlnames of the records, joined by commas ("0,2").
std::string Left(const CacheList& list) {
  std::string urlnames;
  for (const CacheRecord& record : list.records)
    urlnames += (urlnames.empty() ? "" : ",") + record.urlname;
  return urlnames;
}

// The first records into an empty list lose their duplicates (case matters),
// later ones add only codes not seen; the first name not empty names the run.
TEST(CacheListMerge, KeepsFirstRecordPerCodeFirstNameAndEveryTitle) {
  CacheList run;
  run.Merge(MakeList({}));
  run.Merge(MakeList({}, "first"));  // no records, but a name
  run.Merge(MakeList({"GC2", "GC1", "GC2", "gc1", "", ""}, "a"));
  run.Merge(MakeList({"GC3", "GC2", ""}, "first"));
  run.Merge(MakeList({"GC1"}, "c"));  // nothing new
  EXPECT_EQ(Left(run), "a0,a1,a3,a4,first0");
  EXPECT_TRUE(run.Contains("GC3") && !run.Contains("GC9"));
  EXPECT_EQ(run.name, "first");
  EXPECT_EQ(run.titles, (Texts{"", "first", "a", "first", "c"}));
}

// A first list with unique codes hands over its index too; one whose removal
// left a code in its index loses its duplicate and not that code.
TEST(CacheListMerge, FirstListHandedOverWholeStillKeepsCodesUnique) {
  CacheList run;
  run.Merge(MakeList({"GC1", "GC2"}, "a"));
  run.Merge(MakeList({"GC2", "GC3", "GC1"}, "b"));
  EXPECT_EQ(Left(run), "a0,a1,b1");
  CacheList excluded = MakeList({"GC1", "GC1", "GC2"});
  excluded.ExcludeCaches(MakeList({"GC2"}));  // GC2 stays indexed
  CacheList other;
  other.Merge(std::move(excluded));
  EXPECT_EQ(Left(other), "0");
  EXPECT_TRUE(other.Contains("GC1") && !other.Contains("GC2"));
}

// Each excluded code, exact in case, takes the first record left with it.
TEST(ExcludeCaches, RemovesTheRecordsOfTheExcludedCodes) {
  for (const auto& [codes, excluded, left] :
       Rows{{{"GC1", "GC2", "GC3", "GC4", "GC5"}, {"GC4", "GC2"}, "0,2,4"},
            {{"GC1AB", "GC2"}, {"gc1ab", "GC9"}, "0,1"},
            {{"GC7", "GC1", "GC7"}, {"GC7", "GC7"}, "1"}}) {
    CacheList list = MakeList(codes);
    list.ExcludeCaches(MakeList(excluded));
    EXPECT_EQ(Left(list), left) << ::testing::PrintToString(codes);
    for (const std::string& code : codes) EXPECT_TRUE(list.Contains(code));
  }
}

// Whole fields compared, letter case ignored, Latin-1 letters included.
TEST(ExcludeOwners, RemovesEveryCacheOfTheNamedOwners) {
  for (const auto& [owners, names, left] :
       Rows{{{"A", "B", "C", "B", "A", "D"}, {"B", "A"}, "2,5"},
            {{"Anna & Bert", "anna"}, {"ANNA"}, "0"},
            {{"", "Anna", ""}, {""}, "1"},
            {{"J\xD6RG", "\xC9MILE"}, {"j\xF6rg", "\xE9mile"}, ""}}) {
    CacheList list = MakeList(owners, "", &CacheRecord::placed_by);
    list.ExcludeOwners(names);
    EXPECT_EQ(Left(list), left) << ::testing::PrintToString(owners);
  }
}

TEST(CorpusParse, EveryWaypointOfEveryFileKeepsTheInvariants) {
  KORVELO_REQUIRE_CORPUS();
  static const std::regex kMinutes(R"(\d\d\.\d\d\d)");
  static const std::regex kDecimal(R"([^.]*\..{5})");
  size_t files = 0, waypoints = 0;
  for (const auto& path : CorpusInputs(false)) {
    ++files;
    for (const CacheRecord& r : CacheList(path.string(), nullptr, "").records) {
      SCOPED_TRACE(path.string() + " " + r.name);
      EXPECT_TRUE(std::regex_match(r.lat_minutes.begin(), r.lat_minutes.end(),
                                   kMinutes) &&
                  std::regex_match(r.lon_minutes.begin(), r.lon_minutes.end(),
                                   kMinutes) &&
                  std::regex_match(r.lat.begin(), r.lat.end(), kDecimal) &&
                  std::regex_match(r.lon.begin(), r.lon.end(), kDecimal))
          << r.lat_minutes << " " << r.lon_minutes << " " << r.lat << " "
          << r.lon;
      ++waypoints;
    }
  }
  EXPECT_GE(files, 30u);
  EXPECT_GE(waypoints, 2000u);
}

CacheRecord Unmoved() {
  CacheRecord record;
  record.name = "G";
  record.unavailable = true;
  record.lat = record.lon = "0.00000";
  return record;
}

// The degree and minute texts, lat and lon, joined by "|"; "-" when the
// record was not moved and none of them changed.
std::string Coordinates(const CacheRecord& r) {
  const std::string all = r.lat_degrees + "|" + r.lat_minutes + "|" +
                          r.lon_degrees + "|" + r.lon_minutes + "|" + r.lat +
                          "|" + r.lon;
  return r.moved || all != "||||0.00000|0.00000" ? all : "-";
}

// Minutes are read like atol as thousandths and turned into 1e-5 degrees:
// 12.345 -> 12345 * 10 / 6 = 20575. Malformed lines change nothing.
TEST(MoveTo, SetsTheCoordinatesOfAWellFormedLineOnly) {
  const std::pair<std::string, std::string> rows[] = {
      {"G;S3\xC2\xB0 6;W1\xB0 6", "-3| 6|-1| 6|-3.00010|-1.00010"},
      {"G;N5\xB0.5;E8\xB0 abc", "5|.5|8| abc|5.00008|8.00000"},
      {"G;N1\xB0 12.345x;E2\xB0 1 2.3", "1| 12.345x|2| 1 2.3|1.20575|2.00001"},
      {"G;N5\xB0 6;E8\xB0 6;", "-"},
      {"G;N5 6;E8\xB0 6", "-"}};
  for (const auto& [line, expected] : rows) {
    CacheRecord record = Unmoved();
    MoveTo(record, line);
    EXPECT_EQ(Coordinates(record), expected) << line;
    EXPECT_TRUE(record.name == "G" && record.unavailable) << line;
  }
  // An absurd digit run must not overflow into a negative fraction.
  CacheRecord record = Unmoved();
  MoveTo(record, "G;N1\xB0 99999999999999999999999999;E2\xB0 0.000");
  EXPECT_EQ(record.lat.find('-'), std::string::npos) << record.lat;
}

// The longitude minutes of each record after the moves ("-" for a record not
// moved) tell which line was applied last.
TEST(MoveCaches, AppliesEveryMatchingLineInFileOrder) {
  const std::string a = ";N1\xB0 1.000;E1\xB0 1", b = ";N1\xB0 1.000;E1\xB0 2";
  const Texts rows[][3] = {
      {{"GC1AB", "gc2cd"}, {"gc1aB" + a, "GC2CD" + b}, {" 1", " 2"}},
      {{"GC1", "GC2"},
       {"GC1" + a, "GC2" + a, "GC1" + b, "GC2" + b + ";"},
       {" 2", " 1"}},
      {{"GC123", "GC1234", "GC12345"}, {"GC1234" + a}, {" 1", " 1", "-"}},
      {{"GC1", "GC2"}, {"//GC1" + a, "GC2 // " + a}, {"-", "-"}}};
  for (const auto& [codes, lines, expected] : rows) {
    CacheList list = MakeList(codes);
    Texts stripped = lines, minutes;
    list.MoveCaches(stripped);
    for (const CacheRecord& r : list.records)
      minutes.emplace_back(r.moved ? r.lon_minutes.view() : "-");
    EXPECT_EQ(minutes, expected) << ::testing::PrintToString(lines);
  }
}

// A small pocket query, one wpt element per code. The code stands right in
// front of "</wpt>", so every load checks that its last character is kept.
std::string Gpx(const Texts& codes) {
  std::string text = "<?xml version=\"1.0\"?>\r\n<gpx>\r\n";
  for (const std::string& code : codes) {
    text += "<wpt lat=\"50.1\" lon=\"8.6\">\r\n<urlname>Cache " + code +
            "</urlname>\r\n<name>" + code + "</name></wpt>\r\n";
  }
  return text + "</gpx>\r\n";
}

E Entry(std::string name, const Texts& codes, uint16_t method = 8) {
  return {std::move(name), Gpx(codes), method};
}

// One field of every record, in list order.
Texts Field(const CacheList& list,
            RecordText CacheRecord::*field = &CacheRecord::name) {
  Texts values;
  for (const CacheRecord& r : list.records) values.push_back(r.*field);
  return values;
}

std::string Join(const Texts& texts) {
  std::string joined;
  for (const std::string& text : texts) joined += " " + text;
  return joined;
}

// Also the progress window: it records every text.
class LoadTest : public ::testing::Test, public Progress {
 protected:
  void SetUp() override {
    if (const char* old = std::getenv("TMPDIR")) old_tmpdir_ = old;
    setenv("TMPDIR", (scratch_ / "tmp").c_str(), 1);
  }
  void TearDown() override {
    EXPECT_TRUE(ListFolder(scratch_.path()).empty()) << "temporary folder made";
    old_tmpdir_ ? setenv("TMPDIR", old_tmpdir_->c_str(), 1)
                : unsetenv("TMPDIR");
  }
  // Kept without the frame "Loading ...", or marked "!" when it has none.
  void SetText(const std::string& text) override {
    const bool framed = text.starts_with("Loading ") && text.ends_with("...");
    texts_.push_back(framed ? text.substr(8, text.size() - 11) : "!" + text);
    if (texts_.back() == throw_on_) throw std::bad_alloc();
  }

  CacheList LoadFile(const std::string& name, const std::string& bytes) {
    WriteFileOrFail(files_ / name, bytes);
    return CacheList(files_ / name, this, "");
  }

  // The load in one line: the list's name, titles, codes and files, then
  // the progress texts, which start anew.
  std::string Summary(const CacheList& list) {
    const std::string summary =
        list.name + " |" + Join(list.titles) + " |" + Join(Field(list)) + " |" +
        Join(Field(list, &CacheRecord::file)) + " |" + Join(texts_);
    texts_.clear();
    return summary;
  }

  testing::TempDir files_;
  testing::TempDir scratch_;  // holds $TMPDIR during the test, never made
  Texts texts_;
  std::string throw_on_ = "-";  // a progress text that runs out of memory
  std::optional<std::string> old_tmpdir_;
};

// Last four characters ".gpx" or ".zip" in any case; no subfolders.
TEST_F(LoadTest, FolderLoadsGpxFilesAndArchivesOnlyInByteOrder) {
  WriteFileOrFail(files_ / "Sommer/a.gpx", Gpx({"GC1", "GC2"}));
  WriteFileOrFail(files_ / "Sommer/b.zip", BuildZip({Entry("b.gpx", {"GC3"})}));
  WriteFileOrFail(files_ / "Sommer/c.gpx.bak", Gpx({"GC4"}));
  WriteFileOrFail(files_ / "Sommer/sub/d.gpx", Gpx({"GC5"}));
  WriteFileOrFail(files_ / "Sommer/B.GpX", Gpx({"GC2", "GC0"}));
  EXPECT_EQ(Summary(CacheList(files_ / "Sommer", this, "")),
            files_ /
                "Sommer/B.GpX | B a b | GC2 GC0 GC1 GC3 | B B a b"
                " | B.gpx a.gpx b.zip b.gpx");
}

// A GPX file that a folder lists but that is gone when it is opened stops the
// load with the platform's error.
TEST_F(LoadTest, UnreadableGpxRaisesFileErrorWithCauseAndPath) {
  WriteFileOrFail(files_ / "pq/a.gpx", Gpx({"GC1"}));
  ASSERT_EQ(symlink("gone.gpx", (files_ / "pq/b.gpx").c_str()), 0);
  EXPECT_TRUE(
      testing::ThrowsFileError([&] { CacheList(files_ / "pq", nullptr, ""); },
                               FileCause::kFileNotFound, files_ / "pq/b.gpx"));
}

// Running out of memory inside an archive is no broken archive to skip.
TEST_F(LoadTest, MemoryExhaustionInsideAnArchiveReachesTheCaller) {
  throw_on_ = "a.gpx";
  EXPECT_THROW(LoadFile("pq.zip", BuildZip({Entry("a.gpx", {"GC1"})})),
               std::bad_alloc);
}

// Every entry loads unless it is the waypoints of a pair; data in front that
// starts like an archive is skipped. An archive inside an archive is opened
// from the bytes it was inflated to: it fails alone, and its siblings still
// load, unless its own entry in the outer archive is broken, which fails the
// outer archive.
TEST_F(LoadTest, ArchivesLoadEveryEntryButTheWaypointsOfAPairAndFailAlone) {
  const std::string in_front = std::string("PK\x03\x04", 4) + "\x90\x90\x90";
  const E inner{"in.zip", BuildZip({Entry("x-wpts.gpx", {"WP1"}),
                                    Entry("x.gpx", {"GC1"}, 0)})};
  const E sibling = Entry("b.gpx", {"GC2"});
  const E broken_inner{"in.zip",
                       BuildZip({With(Entry("x.gpx", {"GC1"}), &E::crc, 0)})};
  const std::string in_out =
      "in | in out | GC1 GC2 | in out | out.zip in.zip x.gpx b.gpx";
  const std::tuple<std::string, std::string, std::string> rows[] = {
      {"12345.zip",
       in_front + BuildZip({Entry("12345-wpts.gpx", {"WP1"}),
                            Entry("12345.gpx", {"GC1"})}),
       "12345 | 12345 | GC1 | 12345 | 12345.zip 12345.gpx"},
      {"two.ZIP",
       BuildZip(
           {Entry("b.gpx", {"GC2", "GC1"}), Entry("a.gpx", {"GC1", "GC3"}, 0)}),
       "two | two two | GC2 GC1 GC3 | two two two | two.zip b.gpx a.gpx"},
      {"w.zip", BuildZip({Entry("1-wpts.gpx", {"WP1"})}),
       "w | w | WP1 | w | w.zip 1-wpts.gpx"},
      {"out.zip", BuildZip({inner, sibling}), in_out},
      {"out.zip", BuildZip({With(inner, &E::method, 0), sibling}), in_out},
      {"out.zip", BuildZip({broken_inner, sibling}),
       "out | out | GC2 | out | out.zip in.zip b.gpx"},
      {"out.zip", BuildZip({{"in.zip", "PK\x03\x04 no archive"}, sibling}),
       "out | out | GC2 | out | out.zip in.zip b.gpx"},
      {"out.zip", BuildZip({With(inner, &E::crc, 0), sibling}),
       " | | | | out.zip"}};
  for (const auto& [name, image, summary] : rows) {
    EXPECT_EQ(Summary(LoadFile(name, image)), summary);
  }
}

// The innermost archive names the list; eight levels deep at most.
TEST_F(LoadTest, ArchivesInArchivesLoadUnderTheInnermostNameEightLevelsDeep) {
  std::string archive = BuildZip({Entry("a.gpx", {"GC1"})});
  std::string texts;
  for (int level = 1; level <= 9; ++level) {
    const std::string name = "z" + std::to_string(level) + ".zip";
    texts = " " + name + texts;
    EXPECT_EQ(Summary(LoadFile(name, archive)),
              level <= 8 ? "z1 | z1 | GC1 | z1 |" + texts + " a.gpx"
                         : " | | | |" + texts);
    archive = BuildZip({{name, archive, 0}});
  }
}

// Every level holds the level below twice, 30 archives in archives in all;
// the first sixteen are unpacked, depth first: 8 innermost GPX files load.
TEST_F(LoadTest, ArchivesInArchivesStopAfterSixteenUnpacked) {
  std::string archive = BuildZip({Entry("a.gpx", {"GC1"})});
  for (int level = 1; level <= 4; ++level) {
    archive = BuildZip({{"x.zip", archive, 0}, {"y.zip", archive, 8}});
  }
  EXPECT_EQ(LoadFile("bomb.zip", archive).GetSize(), 1);
  EXPECT_EQ(std::count(texts_.begin(), texts_.end(), "a.gpx"), 8);
}

// An archive whose two entries declare `first` and `second` bytes and hold
// only about a megabyte each: it takes that much of the budget and loads
// nothing.
E Lying(std::string name, uint32_t first, uint32_t second) {
  const std::string data(1100000, 'x');
  return {std::move(name),
          BuildZip({{"1.bin", data, 0, 0, {}, {}, {}, first},
                    {"2.bin", data, 0, 0, {}, {}, {}, second}}),
          0};
}

// One budget for the whole load, whatever the nesting: out.zip holds a.zip
// and m.zip, m.zip holds b.zip and c.zip. What a.zip and b.zip declare
// leaves c.zip exactly the bytes of its entry, or one byte less.
TEST_F(LoadTest, ArchivesInArchivesShareOneBudget) {
  constexpr uint32_t kGiB = 1u << 30;
  const E a = Lying("a.zip", kGiB, kGiB);
  const E c = {"c.zip", BuildZip({Entry("c.gpx", {"GC1"})}), 0};
  const auto outer = [&](uint32_t rest) {
    return BuildZip(
        {a, {"m.zip", BuildZip({Lying("b.zip", kGiB, rest), c}), 0}});
  };
  // Declared before c.zip asks, b.zip's rest aside: the entries of out.zip,
  // a.zip, m.zip and b.zip. Sizes do not depend on the declared rest.
  const E b = Lying("b.zip", kGiB, 0);
  const uint64_t declared = a.data.size() + BuildZip({b, c}).size() +
                            2 * uint64_t{kGiB} + b.data.size() + c.data.size() +
                            kGiB;
  const uint64_t rest =
      ExtractionBudget::kMaxBytes - declared - Gpx({"GC1"}).size();
  EXPECT_EQ(LoadFile("out.zip", outer(rest)).GetSize(), 1);
  EXPECT_EQ(LoadFile("out.zip", outer(rest + 1)).GetSize(), 0);
}

// Record counts as the corpus's SOURCES.md lists them.
TEST_F(LoadTest, CorpusArchivesLoadTheirCachesEntryUnderTheArchiveName) {
  KORVELO_REQUIRE_CORPUS();
  const struct {
    std::string name, entry;  // the archive's and the loaded entry's
    int records;
  } rows[] = {
      {"cachebox3/GS_PQ", "6004539_HomeZone", 500},
      {"cgeo/pq_cp437", "17157344_Gro\u00DFer \u00DCmlaut T\u00E4st", 1},
      {"geocube/GCA - 7248", "7248", 2925}};
  for (const auto& row : rows) {
    const CacheList list(CorpusPath(row.name + ".zip"), this, "");
    const std::string name = row.name.substr(row.name.find('/') + 1);
    EXPECT_EQ(list.GetSize(), row.records) << row.name;
    EXPECT_EQ(
        list.name + " |" + Join(list.titles) + " |" + Join(texts_),
        name + " | " + name + " | " + name + ".zip " + row.entry + ".gpx");
    texts_.clear();
  }
  EXPECT_EQ(Field(CacheList(CorpusPath("cachebox3/GS_PQ.zip"), nullptr, "")),
            Field(CacheList(CorpusPath("cachebox3/6004539_HomeZone.gpx"),
                            nullptr, "")));
  EXPECT_EQ(Summary(CacheList(CorpusPath("cgeo/pq_error.zip"), this, "")),
            " | | | | pq_error.zip");  // no GPX entry
}

// One archive per defence: entry count, checksums (also of waypoints not
// loaded), method, deflate stream, structure, sizes, names that leave the
// folder. None may load anything or spend memory on what it declares.
TEST_F(LoadTest, HostileArchivesLoadNothing) {
  const std::string caches = Gpx({"GC1", "GC2"});
  const size_t n = caches.size();  // as one stored block not marked final:
  const std::string no_final_block =
      std::string{'\0', char(n), char(n >> 8), char(~n), char(~n >> 8)} +
      caches;
  const std::string zeros(1 << 20, '\0');
  const E wpts = Entry("pq-wpts.gpx", {"WP1"}), pq{"pq.gpx", caches};
  const std::pair<std::string, std::string> rows[] = {
      {"three entries", BuildZip({wpts, pq, Entry("c.gpx", {"GC3"})})},
      {"CRC wrong in the only entry", BuildZip({With(pq, &E::crc, 0)})},
      {"CRC wrong in the waypoints", BuildZip({With(wpts, &E::crc, 0), pq})},
      {"unsupported method", BuildZip({With(pq, &E::method, 12)})},
      {"cut deflate data",
       BuildZip({With(pq, &E::payload, Deflate(caches).substr(0, 40))})},
      {"no final block", BuildZip({With(pq, &E::payload, no_final_block)})},
      {"archive cut short", BuildZip({pq}).substr(0, 120)},
      {"end record cut off",
       "PK\x03\x04" + std::string(30, 'x') + "PK\x05\x06xx"},
      {"ZIP64 size", BuildZip({With(pq, &E::compressed_size, 0xFFFFFFFF)})},
      {"declares 1 GiB, holds 1 MiB",
       BuildZip({{"pq.gpx", zeros, 0, 0, {}, {}, {}, 1u << 30}})},
      // Its CRC fits the 4 KiB it declares.
      {"inflates to 1 GiB", BuildZip({{"pq.gpx", zeros.substr(0, 4096), 8, 0,
                                       Deflate(zeros, 1024)}})},
      {"archive entry declares 1 GiB, holds 1 MiB",
       BuildZip({{"in.zip", zeros, 0, 0, {}, {}, {}, 1u << 30}})},
      {"../ in entry 1", BuildZip({wpts, With(pq, &E::name, "../pq.gpx")})},
      {"/ in entry 0", BuildZip({With(wpts, &E::name, "x/pq-wpts.gpx"), pq})}};
  for (const auto& [what, image] : rows) {
    std::ofstream("/proc/self/clear_refs") << "5";  // peak := now, on Linux
    rusage before, after;
    getrusage(RUSAGE_SELF, &before);
    const CacheList list = LoadFile("pq.zip", image);
    getrusage(RUSAGE_SELF, &after);
    EXPECT_EQ(Summary(list), " | | | | pq.zip") << what;
    EXPECT_LT(after.ru_maxrss - before.ru_maxrss, 64 * 1024) << what << " KiB";
  }
}
}  // namespace
}  // namespace korvelo

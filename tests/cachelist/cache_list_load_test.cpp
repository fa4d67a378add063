// The loading constructor on GPX files, folders, self-built, real and hostile
// archives. Every test points $TMPDIR at a folder of its own, which must be
// empty again at the end: no archive load may leave a temporary folder.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <tuple>

#include "cachelist/cache_list.h"
#include "cachelist/progress.h"
#include "platform/file_error.h"
#include "platform/folders.h"
#include "support/test_support.h"
#include "support/zip_builder.h"

namespace korvelo {
namespace {

using ::korvelo::testing::BuildZip;
using ::korvelo::testing::CorpusPath;
using ::korvelo::testing::Deflate;
using ::korvelo::testing::WriteFileOrFail;
using E = ::korvelo::testing::ZipTestEntry;
using Texts = std::vector<std::string>;

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
            std::string CacheRecord::*field = &CacheRecord::name) {
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
    setenv("TMPDIR", scratch_.path().c_str(), 1);
  }
  void TearDown() override {
    EXPECT_TRUE(ListFolder(scratch_.path()).empty()) << "temporary folder left";
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
  testing::TempDir scratch_;  // $TMPDIR during the test
  Texts texts_;
  std::string throw_on_ = "-";  // a progress text that runs out of memory
  std::optional<std::string> old_tmpdir_;
};

TEST_F(LoadTest, GpxLoadsEachCompleteWaypointInOrder) {
  const CacheList list = LoadFile("pq.gpx", Gpx({"GC2", "GC1", "GC2"}));
  EXPECT_EQ(Summary(list),
            files_ / "pq.gpx" + " | pq | GC2 GC1 GC2 | pq pq pq | pq.gpx");
  EXPECT_TRUE(list.Contains("GC1"));
  // A backslash is an ordinary byte: that file is read, not odd/name.gpx.
  WriteFileOrFail(files_ / "odd/name.gpx", Gpx({"GC9"}));
  EXPECT_EQ(
      Summary(LoadFile("odd\\name.gpx", Gpx({"GC1"}))),
      files_ / "odd\\name.gpx | odd\\name | GC1 | odd\\name | odd\\name.gpx");
  const CacheList cut = LoadFile("cut.gpx", "<wpt lat=\"1\"><name>GC1</name>");
  EXPECT_TRUE(cut.records.empty() && cut.titles == Texts{"cut"});
}

TEST_F(LoadTest, ChoosesByLastFourCharactersIgnoringCase) {
  std::string sizes;
  for (const char* name :
       {"a.GPX", "b.Gpx", ".gpx", "c.gpx.bak", "d.txt", "egpx"}) {
    sizes += " " + std::to_string(LoadFile(name, Gpx({"GC1"})).GetSize());
  }
  EXPECT_EQ(sizes, " 1 1 1 0 0 0");
  EXPECT_TRUE(CacheList(files_ / "missing", this, "").titles.empty());
  EXPECT_EQ(Join(texts_), " a.gpx b.gpx .gpx");
}

// A GPX file that cannot be opened stops the load with the platform's error,
// at once for a FIFO, and also when a folder lists it but it is gone.
TEST_F(LoadTest, UnreadableGpxRaisesFileErrorWithCauseAndPath) {
  using enum FileCause;
  WriteFileOrFail(files_ / "pq/a.gpx", Gpx({"GC1"}));
  ASSERT_EQ(symlink("gone.gpx", (files_ / "pq/b.gpx").c_str()), 0);
  ASSERT_EQ(mkfifo((files_ / "fifo.gpx").c_str(), 0600), 0);
  const std::tuple<std::string, FileCause, std::string> rows[] = {
      {"x.gpx", kFileNotFound, "x.gpx"},
      {"fifo.gpx", kAccessDenied, "fifo.gpx"},
      {"pq", kFileNotFound, "pq/b.gpx"}};
  for (const auto& [input, cause, path] : rows) {
    try {
      CacheList list(files_ / input, nullptr, "");
      ADD_FAILURE() << input << " loaded";
    } catch (const FileError& e) {
      EXPECT_EQ(e.cause(), cause) << input;
      EXPECT_EQ(e.path(), files_ / path) << input;
    }
  }
}

// Running out of memory while an archive's entry loads is no broken archive:
// it reaches the caller.
TEST_F(LoadTest, MemoryExhaustionInsideAnArchiveReachesTheCaller) {
  throw_on_ = "a.gpx";
  EXPECT_THROW(LoadFile("pq.zip", BuildZip({Entry("a.gpx", {"GC1"})})),
               std::bad_alloc);
}

TEST_F(LoadTest, FolderLoadsGpxFilesAndArchivesOnlyInByteOrder) {
  WriteFileOrFail(files_ / "Sommer/a.gpx", Gpx({"GC1", "GC2"}));
  WriteFileOrFail(files_ / "Sommer/b.zip", BuildZip({Entry("b.gpx", {"GC3"})}));
  WriteFileOrFail(files_ / "Sommer/c.txt", Gpx({"GC4"}));
  WriteFileOrFail(files_ / "Sommer/sub/d.gpx", Gpx({"GC5"}));
  WriteFileOrFail(files_ / "Sommer/B.gpx", Gpx({"GC2", "GC0"}));
  // Archives that are no regular files load nothing, and at once.
  ASSERT_EQ(mkfifo((files_ / "Sommer/fifo.zip").c_str(), 0600), 0);
  ASSERT_EQ(symlink("/dev/urandom", (files_ / "Sommer/dev.zip").c_str()), 0);
  EXPECT_EQ(Summary(CacheList(files_ / "Sommer", this, "")),
            files_.path() +
                "/Sommer/B.gpx | B a b | GC2 GC0 GC1 GC3 | B B a b"
                " | B.gpx a.gpx b.zip b.gpx dev.zip fifo.zip");
}

// Every entry loads unless it is the waypoints of a pair: stored, deflated,
// and with data in front that starts like an archive.
TEST_F(LoadTest, ArchiveLoadsEveryEntryButTheAdditionalWaypointsOfAPair) {
  const std::string in_front = std::string("PK\x03\x04", 4) + "\x90\x90\x90";
  for (const auto& [method, prefix] :
       {std::pair{0, ""}, {8, ""}, {8, in_front.c_str()}}) {
    const std::string archive =
        prefix + BuildZip({Entry("12345-wpts.gpx", {"WP1"}, method),
                           Entry("12345.gpx", {"GC1", "GC2"}, method)});
    EXPECT_EQ(Summary(LoadFile("12345.zip", archive)),
              "12345 | 12345 | GC1 GC2 | 12345 12345 | 12345.zip 12345.gpx")
        << method << " " << prefix;
  }
  EXPECT_EQ(Summary(LoadFile("two.ZIP",
                             BuildZip({Entry("b.gpx", {"GC2", "GC1"}),
                                       Entry("a.gpx", {"GC1", "GC3"}, 0)}))),
            "two | two two | GC2 GC1 GC3 | two two two | two.zip b.gpx a.gpx");
  EXPECT_EQ(
      Summary(LoadFile("w.zip", BuildZip({Entry("1-wpts.gpx", {"WP1"})}))),
      "w | w | WP1 | w | w.zip 1-wpts.gpx");
}

// Each level holds the one below; the innermost names the list, and no
// archive is followed more than eight levels deep.
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

// An archive bomb: every level holds the level below twice, 30 archives in
// archives in all. Only the first sixteen of them are unpacked, depth
// first, so 8 of the 16 innermost GPX files load.
TEST_F(LoadTest, ArchivesInArchivesStopAfterSixteenUnpacked) {
  std::string archive = BuildZip({Entry("a.gpx", {"GC1"})});
  for (int level = 1; level <= 4; ++level) {
    archive = BuildZip({{"x.zip", archive, 0}, {"y.zip", archive, 8}});
  }
  EXPECT_EQ(LoadFile("bomb.zip", archive).GetSize(), 1);
  EXPECT_EQ(std::count(texts_.begin(), texts_.end(), "a.gpx"), 8);
}

TEST_F(LoadTest, ArchiveLoadsNothingWhenNoTemporaryFolderCanBeMade) {
  setenv("TMPDIR", (files_ / "missing").c_str(), 1);
  WriteFileOrFail(files_ / "pq.zip", BuildZip({Entry("pq.gpx", {"GC1"})}));
  EXPECT_EQ(CacheList(files_ / "pq.zip", nullptr, "").GetSize(), 0);
}

// Real pocket queries; record counts as SOURCES.md of the corpus lists them.
TEST_F(LoadTest, CorpusArchivesLoadTheirCachesEntryUnderTheArchiveName) {
  KORVELO_REQUIRE_CORPUS();
  const struct {
    const char* archive;
    std::string name, entry;  // the list's name, the loaded entry's
    int records;
    const char* plain = nullptr;  // a GPX file of the same caches
  } rows[] = {
      {"cachebox3/GS_PQ.zip", "GS_PQ", "6004539_HomeZone", 500,
       "cachebox3/6004539_HomeZone.gpx"},
      {"cgeo/pq7545915.zip", "pq7545915", "7545915", 1, "cgeo/gc31j2h.gpx"},
      {"cgeo/pq_cp437.zip", "pq_cp437",
       "17157344_Gro\u00DFer \u00DCmlaut T\u00E4st", 1},
      {"geocube/GC - 15670269_ACT-1.zip", "GC - 15670269_ACT-1",
       "15670269_ACT - 1", 980},
      {"geocube/GCA - 7248.zip", "GCA - 7248", "7248", 2925}};
  for (const auto& row : rows) {
    const CacheList list(CorpusPath(row.archive), this, "");
    EXPECT_EQ(list.GetSize(), row.records) << row.archive;
    EXPECT_EQ(Field(list, &CacheRecord::file), Texts(row.records, row.name));
    EXPECT_EQ(list.name + " |" + Join(list.titles) + " |" + Join(texts_),
              row.name + " | " + row.name + " | " + row.name + ".zip " +
                  row.entry + ".gpx");
    texts_.clear();
    if (row.plain != nullptr) {
      EXPECT_EQ(Field(list),
                Field(CacheList(CorpusPath(row.plain), nullptr, "")));
    }
  }
  EXPECT_EQ(Summary(CacheList(CorpusPath("cgeo/pq_error.zip"), this, "")),
            " | | | | pq_error.zip");  // no GPX entry
}

const std::string kCaches = Gpx({"GC1", "GC2"});
const E kWaypoints = Entry("pq-wpts.gpx", {"WP1"});
const E kPq{"pq.gpx", kCaches};

// `entry` with `field` set to `value`.
template <typename T, typename V>
E With(E entry, T E::*field, V value) {
  entry.*field = value;
  return entry;
}

template <typename... Entries>
std::string Zip(Entries... entries) {
  return BuildZip({entries...});
}

// What each archive is, and its bytes.
std::vector<std::pair<std::string, std::string>> HostileArchives() {
  const std::string deflated = Deflate(kCaches);
  const size_t n = kCaches.size();  // as one stored block not marked final:
  const std::string no_final_block =
      std::string{'\0', char(n), char(n >> 8), char(~n), char(~n >> 8)} +
      kCaches;
  const std::string zeros(1 << 20, '\0');
  std::vector<std::pair<std::string, std::string>> rows = {
      {"three entries", Zip(kWaypoints, kPq, Entry("c.gpx", {"GC3"}))},
      {"CRC wrong in the only entry", Zip(With(kPq, &E::crc, 0))},
      {"CRC wrong in entry 0", Zip(With(kWaypoints, &E::crc, 0), kPq)},
      {"CRC wrong in entry 1", Zip(kWaypoints, With(kPq, &E::crc, 0))},
      {"unsupported method", Zip(With(kPq, &E::method, 12))},
      {"encrypted entry 1", Zip(kWaypoints, With(kPq, &E::flags, 1))},
      {"corrupt deflate data", Zip(With(kPq, &E::payload, "\xFF\xFF"))},
      {"cut deflate data", Zip(With(kPq, &E::payload, deflated.substr(0, 40)))},
      {"no final block", Zip(With(kPq, &E::payload, no_final_block))},
      {"archive cut short", Zip(kPq).substr(0, 120)},
      {"garbage after the signature", "PK\x03\x04<gpx><wpt></wpt></gpx>"},
      {"end signature in eight bytes", "PK\x03\x04PK\x05\x06"},
      {"end record cut off",
       "PK\x03\x04" + std::string(30, 'x') + "PK\x05\x06xx"},
      {"stub in front of the signature", "MZ" + Zip(kPq)},
      {"name too long to write",
       Zip(With(kPq, &E::name, std::string(300, 'x')))},
      // Zip bombs; the last one's CRC fits the 4 KiB it declares.
      {"ZIP64 size", Zip(With(kPq, &E::compressed_size, 0xFFFFFFFF))},
      {"declares 3 GB",
       Zip(E{"pq.gpx", kCaches, 8, 0, {}, {}, 3000000, 3000000000u})},
      {"declares 1 GiB, holds 1 MiB",
       Zip(E{"pq.gpx", zeros, 0, 0, {}, {}, {}, 1u << 30})},
      {"inflates to 1 GiB",
       Zip(E{"pq.gpx", zeros.substr(0, 4096), 8, 0, Deflate(zeros, 1024)})},
      // Names that are not plain, in either entry, unpack nothing.
      {"../ in entry 1", Zip(kWaypoints, With(kPq, &E::name, "../pq.gpx"))},
      {"/ in entry 0", Zip(With(kWaypoints, &E::name, "x/pq-wpts.gpx"), kPq)},
      {"zero byte", Zip(With(kPq, &E::name, std::string("a.txt\0.gpx", 10)))}};
  for (const char* name : {"../evil.gpx", "sub/a.gpx", "sub\\a.gpx",
                           "/tmp/evil.gpx", "C:evil.gpx"}) {
    rows.push_back({name, Zip(With(kPq, &E::name, name))});
  }
  return rows;
}

// None may load anything (records, name, title or a nested archive) or
// spend memory on what it declares or inflates to.
TEST_F(LoadTest, HostileArchivesLoadNothing) {
  for (const auto& [what, image] : HostileArchives()) {
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

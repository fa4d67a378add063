#include <gtest/gtest.h>
#include <sys/resource.h>

#include "cachelist/cache_list.h"
#include "cachelist/load_fixture.h"
#include "support/test_support.h"
#include "support/zip_builder.h"

namespace korvelo {
namespace {

using ::korvelo::testing::BuildZip;
using ::korvelo::testing::Crc32;
using ::korvelo::testing::Deflate;
using ::korvelo::testing::DeflatedZeros;
using ::korvelo::testing::ZipLayout;
using ::korvelo::testing::ZipTestEntry;
using Texts = std::vector<std::string>;

using ArchiveLoad = LoadTest;

ZipTestEntry Entry(std::string name, std::vector<std::string> codes,
                   uint16_t method = 8) {
  return ZipTestEntry(std::move(name), Gpx(codes), method);
}

std::string PocketQuery(uint16_t method) {
  return BuildZip({Entry("12345-wpts.gpx", {"WP1"}, method),
                   Entry("12345.gpx", {"GC1", "GC2"}, method)});
}

TEST_F(ArchiveLoad, LoadsCachesButNotAdditionalWaypointsOfPocketQuery) {
  for (uint16_t method : {0, 8}) {
    progress_.texts.clear();
    const CacheList list = LoadFile("12345.zip", PocketQuery(method));
    EXPECT_EQ(Codes(list), (Texts{"GC1", "GC2"})) << "method " << method;
    EXPECT_EQ(FilesOf(list), (Texts{"12345", "12345"}));
    EXPECT_EQ(list.name, "12345");
    EXPECT_EQ(list.titles, (Texts{"12345"}));
    EXPECT_EQ(progress_.texts,
              (Texts{"Loading 12345.zip...", "Loading 12345.gpx..."}));
  }
}

TEST_F(ArchiveLoad, LoadsBothEntriesInOrderWhenNeitherIsWaypoints) {
  const CacheList list =
      LoadFile("two.ZIP", BuildZip({Entry("b.gpx", {"GC2", "GC1"}),
                                    Entry("a.gpx", {"GC1", "GC3"}, 0)}));
  EXPECT_EQ(Codes(list), (Texts{"GC2", "GC1", "GC3"}));
  EXPECT_EQ(list.titles, (Texts{"two", "two"}));
  EXPECT_EQ(progress_.texts, (Texts{"Loading two.zip...", "Loading b.gpx...",
                                    "Loading a.gpx..."}));
}

TEST_F(ArchiveLoad, LoadsSingleEntryEvenWhenNamedWaypoints) {
  const CacheList list =
      LoadFile("w.zip", BuildZip({Entry("12345-wpts.gpx", {"WP1"})}));
  EXPECT_EQ(Codes(list), (Texts{"WP1"}));
}

TEST_F(ArchiveLoad, LoadsArchiveWithDataInFrontWhenItStartsLikeOne) {
  ZipLayout layout;
  layout.prefix = std::string("PK\x03\x04", 4) + std::string(300, '\x90');
  const CacheList list =
      LoadFile("pre.zip", BuildZip({Entry("a.gpx", {"GC1"})}, layout));
  EXPECT_EQ(Codes(list), (Texts{"GC1"}));
}

TEST_F(ArchiveLoad, LoadsNestedArchiveUnderItsOwnName) {
  const std::string inner = BuildZip({Entry("inner.gpx", {"GC7"})});
  const CacheList list =
      LoadFile("outer.zip", BuildZip({ZipTestEntry("inner.zip", inner, 0)}));
  EXPECT_EQ(Codes(list), (Texts{"GC7"}));
  EXPECT_EQ(FilesOf(list), (Texts{"inner"}));
  EXPECT_EQ(list.name, "inner");
  EXPECT_EQ(progress_.texts,
            (Texts{"Loading outer.zip...", "Loading inner.zip...",
                   "Loading inner.gpx..."}));
}

// `levels` archives, each holding the next; the innermost holds a.gpx.
std::string NestedArchives(int levels) {
  std::string archive = BuildZip({Entry("a.gpx", {"GC1"})});
  for (int level = 1; level < levels; ++level) {
    archive = BuildZip({ZipTestEntry("n.zip", archive, 0)});
  }
  return archive;
}

TEST_F(ArchiveLoad, FollowsEightNestedArchivesButNoMore) {
  EXPECT_EQ(LoadFile("n.zip", NestedArchives(8)).GetSize(), 1);
  EXPECT_EQ(LoadFile("n.zip", NestedArchives(9)).GetSize(), 0);
}

TEST_F(ArchiveLoad, AbsorbsFileErrorOfEntryThatCannotBeWritten) {
  const CacheList list = LoadFile(
      "long.zip", BuildZip({Entry(std::string(300, 'x') + ".gpx", {"GC1"})}));
  EXPECT_EQ(list.GetSize(), 0);
}

TEST_F(ArchiveLoad, LoadsNothingWhenNoTemporaryFolderCanBeMade) {
  setenv("TMPDIR", (files_ / "missing").c_str(), 1);
  EXPECT_EQ(LoadFile("pq.zip", PocketQuery(8)).GetSize(), 0);
}

// Each row: one archive that must load nothing, quietly, and leave no
// temporary folder behind.
struct HostileRow {
  const char* what;
  std::string image;
};

void PrintTo(const HostileRow& row, std::ostream* out) { *out << row.what; }

class HostileArchiveRows : public LoadTest,
                           public ::testing::WithParamInterface<HostileRow> {};

TEST_P(HostileArchiveRows, LoadsNothing) {
  const CacheList list = LoadFile("pq.zip", GetParam().image);
  EXPECT_EQ(list.GetSize(), 0) << GetParam().what;
  EXPECT_TRUE(list.titles.empty()) << GetParam().what;
  EXPECT_EQ(list.name, "") << GetParam().what;
  EXPECT_EQ(progress_.texts, (Texts{"Loading pq.zip..."})) << GetParam().what;
}

ZipTestEntry WrongCrc(ZipTestEntry entry) {
  entry.crc = Crc32(entry.data) ^ 0x80000000;
  return entry;
}

ZipTestEntry Method(ZipTestEntry entry, uint16_t method) {
  entry.method = method;
  return entry;
}

ZipTestEntry CutDeflateData(ZipTestEntry entry) {
  const std::string deflated = Deflate(entry.data);
  entry.payload = deflated.substr(0, deflated.size() / 2);
  return entry;
}

ZipTestEntry Declared(ZipTestEntry entry, uint32_t compressed,
                      uint32_t uncompressed) {
  entry.compressed_size = compressed;
  entry.uncompressed_size = uncompressed;
  return entry;
}

std::string One(ZipTestEntry entry) { return BuildZip({entry}); }
std::string Two(ZipTestEntry first, ZipTestEntry second) {
  return BuildZip({first, second});
}
std::string Named(std::string name) { return One(Entry(name, {"GC1"})); }

ZipTestEntry Caches() { return Entry("pq.gpx", {"GC1", "GC2"}); }
ZipTestEntry Waypoints() { return Entry("pq-wpts.gpx", {"WP1"}); }

INSTANTIATE_TEST_SUITE_P(
    Broken, HostileArchiveRows,
    ::testing::Values(
        HostileRow{"three entries",
                   BuildZip({Waypoints(), Caches(), Entry("c.gpx", {"GC3"})})},
        HostileRow{"no entries", BuildZip({})},
        HostileRow{"wrong CRC in only entry", One(WrongCrc(Caches()))},
        HostileRow{"wrong CRC in entry 0",
                   Two(WrongCrc(Waypoints()), Caches())},
        HostileRow{"wrong CRC in entry 1",
                   Two(Waypoints(), WrongCrc(Caches()))},
        HostileRow{"unsupported method", One(Method(Caches(), 14))},
        HostileRow{"unsupported method in entry 1",
                   Two(Waypoints(), Method(Caches(), 12))},
        HostileRow{"deflate data cut short", One(CutDeflateData(Caches()))},
        HostileRow{"archive cut short", One(Caches()).substr(0, 120)},
        HostileRow{"garbage after signature",
                   std::string("PK\x03\x04", 4) + "<gpx><wpt></wpt></gpx>"},
        HostileRow{"signature only", std::string("PK\x03\x04", 4)},
        HostileRow{"self-extractor stub in front", "MZ" + BuildZip({Caches()})},
        HostileRow{"ZIP64 sizes", One(Declared(Caches(), 0xFFFFFFFF, 100))}));

// A plain name in the other entry, so that only the bad name can refuse.
INSTANTIATE_TEST_SUITE_P(
    BadNames, HostileArchiveRows,
    ::testing::Values(
        HostileRow{"empty", Named("")}, HostileRow{"dot", Named(".")},
        HostileRow{"dot dot", Named("..")},
        HostileRow{"parent", Named("../evil.gpx")},
        HostileRow{"folder part", Named("sub/a.gpx")},
        HostileRow{"backslash", Named("sub\\a.gpx")},
        HostileRow{"absolute", Named("/tmp/evil.gpx")},
        HostileRow{"drive", Named("C:evil.gpx")},
        HostileRow{"zero byte", Named(std::string("a.txt\0.gpx", 10))},
        HostileRow{"parent in entry 1",
                   Two(Caches(), Entry("../pq.gpx", {"GC9"}))},
        HostileRow{"folder in entry 0",
                   Two(Entry("x/pq-wpts.gpx", {"WP1"}), Caches())}));

ZipTestEntry ZerosDeclaring(int mebibytes, uint32_t declared) {
  ZipTestEntry entry("bomb.gpx", std::string(declared, '\0'), 8);
  entry.payload = DeflatedZeros(mebibytes);
  return entry;
}

INSTANTIATE_TEST_SUITE_P(
    Bombs, HostileArchiveRows,
    ::testing::Values(HostileRow{"declares three gigabytes",
                                 One(Declared(Caches(), 200, 3000000000u))},
                      HostileRow{"declares more than deflate can give",
                                 One(Declared(Caches(), 100, 103201))},
                      HostileRow{"inflates to a gigabyte, declares four KiB",
                                 One(ZerosDeclaring(1024, 4096))},
                      HostileRow{
                          "inflates to a gigabyte in entry 1",
                          Two(Waypoints(), ZerosDeclaring(1024, 4096))}));

TEST_F(ArchiveLoad, BombKeepsMemorySmall) {
  struct rusage before, after;
  getrusage(RUSAGE_SELF, &before);
  EXPECT_EQ(LoadFile("bomb.zip", One(ZerosDeclaring(1024, 1 << 20))).GetSize(),
            0);
  getrusage(RUSAGE_SELF, &after);
  EXPECT_LT(after.ru_maxrss - before.ru_maxrss, 64 * 1024) << "KiB";
}

}  // namespace
}  // namespace korvelo

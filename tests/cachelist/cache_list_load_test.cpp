#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "cachelist/cache_list.h"
#include "cachelist/load_fixture.h"
#include "platform/file_error.h"
#include "support/test_support.h"
#include "support/zip_builder.h"

namespace korvelo {
namespace {

using ::korvelo::testing::BuildZip;
using ::korvelo::testing::CorpusPath;
using ::korvelo::testing::WriteFileOrFail;
using Texts = std::vector<std::string>;

using GpxLoad = LoadTest;

TEST_F(GpxLoad, LoadsEveryWaypointInFileOrderDuplicatesIncluded) {
  const CacheList list = LoadFile("pq.gpx", Gpx({"GC2", "GC1", "GC2"}));
  EXPECT_EQ(Codes(list), (Texts{"GC2", "GC1", "GC2"}));
  EXPECT_EQ(FilesOf(list), (Texts{"pq", "pq", "pq"}));
  EXPECT_EQ(list.name, files_ / "pq.gpx");
  EXPECT_EQ(list.titles, (Texts{"pq"}));
  EXPECT_TRUE(list.Contains("GC1"));
  EXPECT_EQ(progress_.texts, (Texts{"Loading pq.gpx..."}));
}

TEST_F(GpxLoad, KeepsLastCharacterInFrontOfWaypointEnd) {
  const CacheList list =
      LoadFile("tight.gpx",
               "<gpx><wpt lat=\"1\" lon=\"2\"><name>GC1</name></wpt></gpx>");
  EXPECT_EQ(Codes(list), (Texts{"GC1"}));
}

TEST_F(GpxLoad, OverrideNamesListWhileProgressNamesActualFile) {
  WriteFileOrFail(files_ / "My Query.gpx", Gpx({"GC1"}));
  const CacheList list(files_.path() + "\\My Query.gpx", &progress_, "12345");
  EXPECT_EQ(list.name, "12345");
  EXPECT_EQ(list.titles, (Texts{"12345"}));
  EXPECT_EQ(FilesOf(list), (Texts{"12345"}));
  EXPECT_EQ(progress_.texts, (Texts{"Loading My Query.gpx..."}));
}

TEST_F(GpxLoad, WorksWithoutProgressWindow) {
  WriteFileOrFail(files_ / "a.gpx", Gpx({"GC1"}));
  EXPECT_EQ(CacheList(files_ / "a.gpx", nullptr, "").GetSize(), 1);
}

struct ClassifyRow {
  const char* name;
  bool loads;
};

void PrintTo(const ClassifyRow& row, std::ostream* out) { *out << row.name; }

class GpxClassifyRows : public LoadTest,
                        public ::testing::WithParamInterface<ClassifyRow> {};

TEST_P(GpxClassifyRows, DecidesByLastFourCharactersIgnoringCase) {
  const CacheList list = LoadFile(GetParam().name, Gpx({"GC1"}));
  EXPECT_EQ(list.GetSize(), GetParam().loads ? 1 : 0) << GetParam().name;
  EXPECT_EQ(list.titles.size(), GetParam().loads ? 1u : 0u);
}

INSTANTIATE_TEST_SUITE_P(Names, GpxClassifyRows,
                         ::testing::Values(ClassifyRow{"a.GPX", true},
                                           ClassifyRow{"a.Gpx", true},
                                           ClassifyRow{".gpx", true},
                                           ClassifyRow{"a.gpx.bak", false},
                                           ClassifyRow{"a.txt", false},
                                           ClassifyRow{"agpx", false}));

TEST_F(GpxLoad, EmptyOrMissingPathOfOtherKindLoadsNothing) {
  EXPECT_EQ(CacheList("", &progress_, "").titles.size(), 0u);
  EXPECT_EQ(CacheList(files_ / "missing", &progress_, "").titles.size(), 0u);
  EXPECT_TRUE(progress_.texts.empty());
}

TEST_F(GpxLoad, TextWithoutCompleteWaypointGivesTitleOnly) {
  const CacheList list =
      LoadFile("cut.gpx", "<gpx><wpt lat=\"1\" lon=\"2\"><name>GC1</name>");
  EXPECT_EQ(list.GetSize(), 0);
  EXPECT_EQ(list.titles, (Texts{"cut"}));
}

TEST_F(GpxLoad, StopsAtZeroByte) {
  const CacheList list =
      LoadFile("z.gpx", Gpx({"GC1"}) + std::string(1, '\0') + Gpx({"GC2"}));
  EXPECT_EQ(Codes(list), (Texts{"GC1"}));
}

// The cause a GPX load at `path` raises; kNone when it raises nothing.
FileCause LoadCause(const std::string& path, std::string* error_path) {
  try {
    CacheList list(path, nullptr, "");
  } catch (const FileError& e) {
    *error_path = e.path();
    return e.cause();
  }
  return FileCause::kNone;
}

TEST_F(GpxLoad, RaisesFileErrorForMissingFileOrFolderNamedLikeOne) {
  std::string path;
  EXPECT_EQ(LoadCause(files_ / "missing.gpx", &path), FileCause::kFileNotFound);
  EXPECT_EQ(path, files_ / "missing.gpx");
  ASSERT_TRUE(CreateFolder(files_ / "folder.gpx"));
  EXPECT_EQ(LoadCause(files_ / "folder.gpx", &path), FileCause::kAccessDenied);
  EXPECT_EQ(path, files_ / "folder.gpx");
}

TEST_F(GpxLoad, RaisesAccessDeniedForUnreadableFile) {
  WriteFileOrFail(files_ / "locked.gpx", Gpx({"GC1"}));
  ASSERT_EQ(chmod((files_ / "locked.gpx").c_str(), 0), 0);
  if (access((files_ / "locked.gpx").c_str(), R_OK) == 0) {
    GTEST_SKIP() << "running with rights that read a file of mode 000 "
                    "(root); the folder row of the test before covers "
                    "access denied";
  }
  std::string path;
  EXPECT_EQ(LoadCause(files_ / "locked.gpx", &path), FileCause::kAccessDenied);
  EXPECT_EQ(path, files_ / "locked.gpx");
}

using FolderLoad = LoadTest;

TEST_F(FolderLoad, LoadsGpxFilesAndArchivesOnlyInByteOrder) {
  WriteFileOrFail(files_ / "Sommer/a.gpx", Gpx({"GC1", "GC2"}));
  WriteFileOrFail(files_ / "Sommer/b.zip", BuildZip({{"b.gpx", Gpx({"GC3"})}}));
  WriteFileOrFail(files_ / "Sommer/c.txt", Gpx({"GC4"}));
  WriteFileOrFail(files_ / "Sommer/sub/d.gpx", Gpx({"GC5"}));
  WriteFileOrFail(files_ / "Sommer/B.gpx", Gpx({"GC2", "GC0"}));

  const CacheList list(files_ / "Sommer", &progress_, "");
  EXPECT_EQ(Codes(list), (Texts{"GC2", "GC0", "GC1", "GC3"}));
  EXPECT_EQ(FilesOf(list), (Texts{"B", "B", "a", "b"}));
  EXPECT_EQ(list.name, files_.path() + "/Sommer\\B.gpx");
  EXPECT_EQ(list.titles, (Texts{"B", "a", "b"}));
  EXPECT_EQ(progress_.texts, (Texts{"Loading B.gpx...", "Loading a.gpx...",
                                    "Loading b.zip...", "Loading b.gpx..."}));
}

TEST_F(FolderLoad, RaisesFileErrorForListedFileThatIsGone) {
  WriteFileOrFail(files_ / "pq/a.gpx", Gpx({"GC1"}));
  ASSERT_EQ(symlink("vanished.gpx", (files_ / "pq/b.gpx").c_str()), 0);
  std::string path;
  EXPECT_EQ(LoadCause(files_ / "pq", &path), FileCause::kFileNotFound);
  EXPECT_EQ(path, files_.path() + "/pq\\b.gpx");
}

TEST_F(FolderLoad, EmptyFolderLoadsNothing) {
  ASSERT_TRUE(CreateFolder(files_ / "empty"));
  const CacheList list(files_ / "empty", &progress_, "");
  EXPECT_EQ(list.GetSize(), 0);
  EXPECT_EQ(list.name, "");
  EXPECT_TRUE(list.titles.empty());
}

// Real pocket queries: an archive against the same caches as a plain file.
struct CorpusRow {
  const char* archive;
  const char* list_name;
  const char* entry_progress;  // the loaded entry's progress text
  const char* plain;           // a plain GPX file of the same caches, or null
  int records;
};

void PrintTo(const CorpusRow& row, std::ostream* out) { *out << row.archive; }

class CorpusArchiveRows : public LoadTest,
                          public ::testing::WithParamInterface<CorpusRow> {};

TEST_P(CorpusArchiveRows, LoadsCachesEntryNamedAfterArchive) {
  KORVELO_REQUIRE_CORPUS();
  const CorpusRow& row = GetParam();
  const CacheList list(CorpusPath(row.archive), &progress_, "");
  EXPECT_EQ(list.GetSize(), row.records);
  EXPECT_EQ(list.name, row.list_name);
  EXPECT_EQ(list.titles, (Texts{row.list_name}));
  EXPECT_EQ(FilesOf(list), Texts(row.records, row.list_name));
  EXPECT_EQ(progress_.texts,
            (Texts{"Loading " + std::string(row.list_name) + ".zip...",
                   row.entry_progress}));
  if (row.plain != nullptr) {
    EXPECT_EQ(Codes(list),
              Codes(CacheList(CorpusPath(row.plain), nullptr, "")));
  }
}

INSTANTIATE_TEST_SUITE_P(
    PocketQueries, CorpusArchiveRows,
    ::testing::Values(
        CorpusRow{"cachebox3/GS_PQ.zip", "GS_PQ",
                  "Loading 6004539_HomeZone.gpx...",
                  "cachebox3/6004539_HomeZone.gpx", 500},
        CorpusRow{"cgeo/pq7545915.zip", "pq7545915", "Loading 7545915.gpx...",
                  "cgeo/gc31j2h.gpx", 1},
        CorpusRow{"cgeo/pq_cp437.zip", "pq_cp437",
                  "Loading 17157344_Gro\xC3\x9F"
                  "er \xC3\x9Cmlaut "
                  "T\xC3\xA4st.gpx...",
                  nullptr, 1},
        CorpusRow{"geocube/13746815-myfinds.zip", "13746815-myfinds",
                  "Loading 13746815.gpx...", nullptr, 466},
        CorpusRow{"geocube/16171009_iossimulator-freewaydrive.zip",
                  "16171009_iossimulator-freewaydrive",
                  "Loading 16171009_ios simulator - freeway drive.gpx...",
                  nullptr, 999},
        CorpusRow{"geocube/GC - 15670269_ACT-1.zip", "GC - 15670269_ACT-1",
                  "Loading 15670269_ACT - 1.gpx...", nullptr, 980},
        CorpusRow{"geocube/GCA - 7248.zip", "GCA - 7248", "Loading 7248.gpx...",
                  nullptr, 2925},
        CorpusRow{"cgeo/pq_entities.zip", "pq_entities",
                  "Loading 17157285_Gro&#223;er &#220;mlaut T&#228;st.gpx...",
                  nullptr, 1}));

TEST_F(GpxLoad, CorpusArchiveWithoutGpxEntryLoadsNothing) {
  KORVELO_REQUIRE_CORPUS();
  const CacheList list(CorpusPath("cgeo/pq_error.zip"), &progress_, "");
  EXPECT_EQ(list.GetSize(), 0);
  EXPECT_TRUE(list.titles.empty());
  EXPECT_EQ(list.name, "");
  EXPECT_EQ(progress_.texts, (Texts{"Loading pq_error.zip..."}));
}

}  // namespace
}  // namespace korvelo

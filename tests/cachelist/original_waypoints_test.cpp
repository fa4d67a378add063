// The original waypoint texts a load keeps for the GPX for devices: which
// text a code keeps, where additional waypoints come from, and that a load
// without them keeps nothing more than before.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "cachelist/cache_list.h"
#include "cachelist/original_text_reader.h"
#include "cachelist/original_waypoints_load.h"
#include "support/test_support.h"
#include "support/zip_builder.h"

namespace korvelo {
namespace {

using ::korvelo::testing::BuildZip;
using ::korvelo::testing::CorpusPath;
using ::korvelo::testing::TempDir;
using ::korvelo::testing::WriteFileOrFail;
using Texts = std::vector<std::string>;

constexpr auto kKeep = WaypointOriginals::kKeep;

std::string Wpt(const std::string& code, const std::string& body = "") {
  return "<wpt lat=\"50.1\" lon=\"8.6\"><name>" + code + "</name>" + body +
         "\n";
}

// The waypoints as a GPX text; `root` is the gpx start tag.
std::string Gpx(const Texts& wpts, const std::string& root = "<gpx>") {
  std::string text = "<?xml version=\"1.0\"?>\r\n" + root + "\r\n";
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

std::string TextOf(const CacheList& list, const std::string& code) {
  const KeptText* text = list.originals.CacheText(code);
  if (text == nullptr) return "<none>";
  return std::string(OriginalTextReader(list.originals).Read(*text));
}

std::string AdditionalText(const OriginalWaypoints& originals, size_t index) {
  return std::string(
      OriginalTextReader(originals).Read(originals.additional()[index].text));
}

class OriginalsLoad : public ::testing::Test {
 protected:
  CacheList Load(const std::string& name, WaypointOriginals originals = kKeep) {
    return CacheList(dir_ / name, nullptr, "", RecordTexts::kAll, originals);
  }
  TempDir dir_;
};

TEST_F(OriginalsLoad, EachCacheKeepsItsTextUpToTheEndTag) {
  const std::string a = Wpt("GC1", "<sym>Geocache</sym>");
  const std::string b = "<wpt lon='8' lat='50'><name>GC2</name>";
  WriteFileOrFail(dir_ / "q.gpx", Gpx({a, b}));
  const CacheList list = Load("q.gpx");
  EXPECT_EQ(TextOf(list, "GC1"), a);
  EXPECT_EQ(TextOf(list, "GC2"), b);
  EXPECT_TRUE(list.originals.additional().empty());
}

// The text kept for a code is that of the record the list kept, within one
// file and across merged lists alike.
TEST_F(OriginalsLoad, TheFirstWaypointOfACodeWinsAsInTheList) {
  WriteFileOrFail(dir_ / "a.gpx", Gpx({Wpt("GC1", "first"), Wpt("GC1", "2")}));
  WriteFileOrFail(dir_ / "b.gpx", Gpx({Wpt("GC1", "third"), Wpt("GC2")}));
  CacheList run;
  run.Merge(Load("a.gpx"));
  run.Merge(Load("b.gpx"));
  ASSERT_EQ(RecordCodes(run), (Texts{"GC1", "GC2"}));
  EXPECT_EQ(TextOf(run, "GC1"), Wpt("GC1", "first"));
  EXPECT_EQ(TextOf(run, "GC2"), Wpt("GC2"));
}

TEST_F(OriginalsLoad, ReadsTheAdditionalWaypointsBesideAGpxFileOnly) {
  WriteFileOrFail(dir_ / "12345.gpx", Gpx({Wpt("GC1"), Wpt("GC2")}));
  WriteFileOrFail(dir_ / "12345-wpts.gpx",
                  Gpx({Wpt("PK1"), Wpt("S12"), Wpt("PK1", "again")}));
  const CacheList list = Load("12345.gpx");
  EXPECT_EQ(RecordCodes(list), (Texts{"GC1", "GC2"}));
  EXPECT_EQ(Codes(list.originals.additional()), (Texts{"PK1", "S12"}));
  EXPECT_EQ(AdditionalText(list.originals, 0), Wpt("PK1"));
}

// A folder loads the additional file as records, as it always has; its
// waypoints are additional ones all the same, and kept once although the
// cache file beside it reads them again.
TEST_F(OriginalsLoad, AFolderWithBothFilesKeepsEachAdditionalWaypointOnce) {
  WriteFileOrFail(dir_ / "f/1-wpts.gpx", Gpx({Wpt("PK1")}));
  WriteFileOrFail(dir_ / "f/1.gpx", Gpx({Wpt("GC1")}));
  const CacheList list = Load("f");
  EXPECT_EQ(RecordCodes(list), (Texts{"PK1", "GC1"}));
  EXPECT_EQ(TextOf(list, "PK1"), "<none>");
  EXPECT_EQ(TextOf(list, "GC1"), Wpt("GC1"));
  EXPECT_EQ(Codes(list.originals.additional()), (Texts{"PK1"}));
}

TEST_F(OriginalsLoad, ReadsTheAdditionalEntryOfAPocketQueryArchive) {
  WriteFileOrFail(dir_ / "pq.zip",
                  BuildZip({{"7-wpts.gpx", Gpx({Wpt("PK7"), Wpt("FN7")})},
                            {"7.gpx", Gpx({Wpt("GC7")})}}));
  const CacheList kept = Load("pq.zip");
  EXPECT_EQ(RecordCodes(kept), (Texts{"GC7"}));
  EXPECT_EQ(TextOf(kept, "GC7"), Wpt("GC7"));
  EXPECT_EQ(Codes(kept.originals.additional()), (Texts{"PK7", "FN7"}));
}

// Without the GPX output nothing is kept, and the records are the same.
TEST_F(OriginalsLoad, ALoadThatDropsThemKeepsNothingAndTheSameRecords) {
  KORVELO_REQUIRE_CORPUS();
  for (const char* file :
       {"cachebox3/GS_PQ.zip", "cachebox3/6004539_HomeZone.gpx"}) {
    const CacheList dropped(CorpusPath(file), nullptr, "");
    const CacheList kept(CorpusPath(file), nullptr, "", RecordTexts::kAll,
                         kKeep);
    EXPECT_TRUE(dropped.originals.empty()) << file;
    EXPECT_TRUE(dropped.originals.namespaces().empty()) << file;
    EXPECT_EQ(RecordCodes(dropped), RecordCodes(kept)) << file;
    EXPECT_EQ(dropped.titles, kept.titles) << file;
    ASSERT_EQ(Codes(kept.originals.additional()).size(), 183u) << file;
    for (const CacheRecord& r : kept.records) {
      ASSERT_NE(kept.originals.CacheText(r.name), nullptr) << r.name;
    }
  }
}

TEST(OriginalWaypoints, ACopyKeepsItsTextsWhenTheOriginalIsGone) {
  auto original = std::make_unique<OriginalWaypoints>();
  original->AddCache("GC1", std::string(300000, 'c'));
  original->AddAdditional("PK1", "p");
  original->AddNamespaces("<gpx xmlns:a=\"1\">");
  const OriginalWaypoints copy = *original;
  original.reset();
  ASSERT_NE(copy.CacheText("GC1"), nullptr);
  EXPECT_EQ(OriginalTextReader(copy).Read(*copy.CacheText("GC1")),
            std::string(300000, 'c'));
  EXPECT_EQ(Codes(copy.additional()), (Texts{"PK1"}));
  EXPECT_EQ(AdditionalText(copy, 0), "p");
  ASSERT_EQ(copy.namespaces().size(), 1u);
  EXPECT_EQ(copy.namespaces()[0], "xmlns:a=\"1\"");
}

struct NamespaceRow {
  std::vector<std::string> roots;  // one file's root tag each, in load order
  Texts expected;
};

class Namespaces : public ::testing::TestWithParam<NamespaceRow> {};

TEST_P(Namespaces, TheFirstDeclarationOfEachPrefixIsKept) {
  OriginalWaypoints originals;
  for (const std::string& root : GetParam().roots) {
    OriginalWaypoints file;
    file.AddNamespaces(root);
    originals.Merge(std::move(file));
  }
  Texts got;
  for (std::string_view d : originals.namespaces()) got.emplace_back(d);
  EXPECT_EQ(got, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    RootTags, Namespaces,
    ::testing::Values(
        NamespaceRow{{"<gpx xmlns=\"g\" xmlns:gsak=\"k\"\n\txmlns:c='c'>"},
                     {"xmlns:gsak=\"k\"", "xmlns:c='c'"}},
        NamespaceRow{
            {"<gpx xmlns:a=\"1\">", "<gpx xmlns:a=\"2\" xmlns:b=\"3\">"},
            {"xmlns:a=\"1\"", "xmlns:b=\"3\""}},
        // Not a declaration: part of a longer name, inside a value, unclosed.
        NamespaceRow{{"<gpx zxmlns:a=\"1\" desc=\"xmlns:b\" xmlns:c=\"4>"}, {}},
        NamespaceRow{{""}, {}}));

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

}  // namespace
}  // namespace korvelo

// Real readers of the classic KML: xmllint and GDAL's two KML drivers read
// what the program writes for every corpus file. A reader that is not
// installed skips its test with the reason; `make check-consumers` installs
// them all.
#include <gtest/gtest.h>

#include <string>

#include "consumers/readers.h"
#include "support/test_support.h"

namespace korvelo::testing {
namespace {

// The KML copies the owners' texts as they stand, so only a well-formed input
// promises a well-formed KML (the corpus's truncated query writes none).
TEST(ClassicKmlReaders, XmllintAcceptsTheKmlOfEveryWellFormedInput) {
  KORVELO_REQUIRE_CORPUS();
  if (!HaveTool("xmllint"))
    GTEST_SKIP() << "xmllint is not installed (Debian libxml2-utils)";
  int checked = 0;
  for (const CorpusConversion& file : ConvertedCorpus()) {
    if (!InputWellFormed(file)) continue;
    for (const std::string& kml : file.kmls) {
      const ToolRun run = RunTool("xmllint --noout " + ShellWord(kml));
      EXPECT_EQ(run.status, 0) << file.input << ":\n" << run.output;
      ++checked;
    }
  }
  EXPECT_GT(checked, 40);
}

class GdalDriver : public ::testing::TestWithParam<const char*> {
 protected:
  // ogrinfo with this driver alone: the other KML driver is skipped.
  std::string Ogrinfo(const std::string& path) const {
    const std::string other =
        std::string(GetParam()) == "KML" ? "LIBKML" : "KML";
    return "ogrinfo --config GDAL_SKIP " + other + " -ro -so -al " +
           ShellWord(path);
  }
};

// Each driver opens every KML with itself and lists every placemark the
// program wrote, spread over the folders it reads as layers.
TEST_P(GdalDriver, ListsEveryPlacemarkOfEveryCorpusKml) {
  KORVELO_REQUIRE_CORPUS();
  if (!HaveTool("ogrinfo"))
    GTEST_SKIP() << "ogrinfo is not installed (Debian gdal-bin)";
  const std::string driver = GetParam();
  if (RunTool("ogrinfo --formats").output.find(" " + driver + " -vector-") ==
      std::string::npos) {
    GTEST_SKIP() << "this GDAL has no " << driver << " driver";
  }
  int placemarks = 0;
  for (const CorpusConversion& file : ConvertedCorpus()) {
    for (const std::string& kml : file.kmls) {
      const int written = CountOf(ReadFileOrFail(kml), "<Placemark>");
      const ToolRun run = RunTool(Ogrinfo(kml));
      EXPECT_EQ(run.status, 0) << file.input << ":\n" << run.output;
      EXPECT_NE(run.output.find("using driver `" + driver + "' successful"),
                std::string::npos)
          << file.input << ":\n"
          << run.output;
      EXPECT_EQ(FeatureCount(run.output), written) << file.input;
      placemarks += written;
    }
  }
  EXPECT_GT(placemarks, 5000);
}

INSTANTIATE_TEST_SUITE_P(KmlAndLibkml, GdalDriver,
                         ::testing::Values("KML", "LIBKML"));

}  // namespace
}  // namespace korvelo::testing

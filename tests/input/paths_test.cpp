#include "input/paths.h"

#include <gtest/gtest.h>

#include <string>

namespace korvelo {
namespace {

struct PathRow {
  std::string path;
  std::string expected;
};

class WithTrailingBackslashTest : public ::testing::TestWithParam<PathRow> {};

TEST_P(WithTrailingBackslashTest, EndsInOneSeparator) {
  EXPECT_EQ(WithTrailingBackslash(GetParam().path), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Rows, WithTrailingBackslashTest,
                         ::testing::Values(PathRow{"C:\\out", "C:\\out\\"},
                                           PathRow{"C:\\out\\", "C:\\out\\"},
                                           PathRow{"C:/out/", "C:/out/"},
                                           PathRow{"/tmp/a", "/tmp/a\\"},
                                           PathRow{"", "\\"}));

class BaseNameTest : public ::testing::TestWithParam<PathRow> {};

TEST_P(BaseNameTest, CutsFolderAndEverythingFromTheFirstPoint) {
  EXPECT_EQ(BaseName(GetParam().path), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, BaseNameTest,
    ::testing::Values(PathRow{"C:\\GPX\\12345.gpx", "12345"},
                      PathRow{"C:\\GPX\\pq.2008.zip", "pq"},
                      PathRow{"C:\\GPX\\noext", "noext"},
                      PathRow{"12345.gpx", "12345.gpx"},  // no folder part
                      PathRow{"/home/u/pq/4711.gpx", "4711"},
                      PathRow{"C:\\my.dir\\file", "file"},
                      PathRow{"a\\b/c.d", "c"}, PathRow{"a/b\\c.d", "c"},
                      PathRow{"folder/", ""}, PathRow{"x/.hidden", ""},
                      PathRow{"", ""}));

class FolderOfTest : public ::testing::TestWithParam<PathRow> {};

TEST_P(FolderOfTest, DropsTheLastSeparatorAndWhatFollows) {
  EXPECT_EQ(FolderOf(GetParam().path), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, FolderOfTest,
    ::testing::Values(PathRow{"C:\\GPX\\12345.gpx", "C:\\GPX"},
                      PathRow{"a/b\\c", "a/b"}, PathRow{"a\\b/c", "a\\b"},
                      PathRow{"/top", ""}, PathRow{"x.gpx", "x.gpx"},
                      PathRow{"C:\\out\\", "C:\\out"}, PathRow{"", ""}));

}  // namespace
}  // namespace korvelo

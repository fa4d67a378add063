// The byte-string and path helpers.
#include "input/text.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "input/paths.h"
#include "support/test_support.h"

namespace korvelo {
namespace {

using testing::ExpectRows;

TEST(ReplaceAll, ReplacesEveryOccurrenceInOnePass) {
  const struct {
    std::string text, from, to, expected;
  } rows[] = {{"aaa", "aa", "b", "ba"},  // non-overlapping, left first
              {"abab", "ab", "abab", "abababab"},  // inserted, not searched
              {"abc", "", "x", "abc"},
              {" <br> <br><br>", " <br>", "|", "||<br>"}};
  for (const auto& row : rows) {
    EXPECT_EQ(ReplaceAll(row.text, row.from, row.to), row.expected);
    std::string in_place = row.text;
    ReplaceAllIn(in_place, row.from, row.to);
    EXPECT_EQ(in_place, row.expected) << row.text;
  }
}

// Only the given bytes go, and only at the ends.
TEST(Trim, DropsTheGivenBytesAtBothEndsOnly) {
  ExpectRows([](std::string_view text) { return std::string(Trim(text)); },
             {{" \t\r\n\v\fa b\f\v\n\r\t ", "a b"},
              {"\n\n", ""},
              {"", ""},
              {"x", "x"}});
  ExpectRows(
      [](std::string_view text) { return std::string(Trim(text, " \t")); },
      {{" \t\ra\n\t ", "\ra\n"}, {"\t\t", ""}});
}

TEST(FormatText, FormatsAtAnyLength) {
  const std::string long_text = std::string(199999, 'a') + "z";
  EXPECT_EQ(FormatText("<%s>", long_text.c_str()), "<" + long_text + ">");
}

// Only "/" separates folders; a backslash is an ordinary byte of a name.
TEST(Paths, CutAndAddSeparatorsAndExtensions) {
  ExpectRows(WithTrailingBackslash,
             {{"/out/", "/out/"}, {"/out\\", "/out\\/"}});
  ExpectRows(BaseName, {{"/GPX/pq.2008.zip", "pq"},
                        {"12345.gpx", "12345.gpx"},
                        {"/my.dir/file", "file"},
                        {"a/b\\c.d", "b\\c"}});
  ExpectRows(FolderOf, {{"a\\b/c", "a\\b"}, {"x.gpx", "x.gpx"}});
}

// Only the 26 ASCII letters fold: the signs beside them and the bytes above
// 127 stay, so that an Ä never equals an ä in a code or a file name.
TEST(AsciiCase, FoldsTheAsciiLettersOnly) {
  std::string folded;
  for (char c : std::string("@AZ[`az{\xC4\xE4")) {
    folded += {AsciiLower(c), AsciiUpper(c)};
  }
  EXPECT_EQ(folded, "@@aAzZ[[``aAzZ{{\xC4\xC4\xE4\xE4");
}

}  // namespace
}  // namespace korvelo

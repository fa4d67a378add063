// The byte-string and path helpers, the text searches held to
// std::string_view::find, and the line files (the moves and owners lists).
#include "input/text.h"

#include <gtest/gtest.h>

#include <iterator>
#include <random>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "input/elements.h"
#include "input/find_text.h"
#include "input/input_files.h"
#include "input/paths.h"
#include "support/test_support.h"

namespace korvelo {
namespace {

using testing::ExpectRows;
using testing::TempDir;
using testing::WriteFileOrFail;
using Lines = std::vector<std::string>;

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

// Both forms of the many-at-once search against the standard one, on texts
// of a few letters so that partial matches abound, at every start position,
// with matches on both sides of each sixteen- and thirty-two-byte step and
// at the very end, and patterns longer than a step.
TEST(FindText, BothFormsFindWhatStringViewFindFinds) {
  std::mt19937 random(7);
  const auto text_of = [&random](size_t length) {
    std::string text;
    for (size_t i = 0; i < length; ++i) text += "ab<"[random() % 3];
    return text;
  };
  for (int i = 0; i < 3000; ++i) {
    const std::string text = text_of(random() % 200);
    const std::string pattern =
        text_of(i % 10 == 0 ? random() % 40 : random() % 6);
    for (size_t from = 0; from <= text.size() + 1; ++from) {
      const size_t expected = std::string_view(text).find(pattern, from);
      ASSERT_EQ(FindText(text, pattern, from), expected)
          << text << " / " << pattern << " / " << from;
      ASSERT_EQ(FindTextNarrow(text, pattern, from), expected)
          << text << " / " << pattern << " / " << from;
    }
  }
}

// The one-pass search finds for every tag the start that a search of its
// own finds, prefixes and tags inside other elements included; the text of
// the element there is trimmed, and empty when it is not closed.
TEST(FindFirstTags, FindsEachTagWhereItsOwnSearchDoes) {
  static constexpr std::string_view kTags[] = {"name", "url", "urlname",
                                               "a:b",  "x",   ""};
  const std::pair<std::string, std::string> rows[] = {
      // text, its name
      {"<urlname>T</urlname><url>U</url><name>N</name>", "N"},
      {"<<url<x<a:bc><a:b>", ""},
      {"<wpt><name>GC1</wpt>", ""},
      {"<NAME>GC1</NAME>", ""},
      {"<name html=\"True\">a &lt;b&gt;</name>", "a &lt;b&gt;"},
      {"<names>T</names><name>U</name>", "T</names><name>U"},
      {"<name> \t\n\v\f\rx y\r\n\f\v\t </name>", "x y"}};
  for (const auto& [text, name] : rows) {
    size_t starts[std::size(kTags)];
    FindFirstTags(text, kTags, starts);
    for (size_t i = 0; i < std::size(kTags); ++i) {
      EXPECT_EQ(starts[i], text.find("<" + std::string(kTags[i])))
          << text << " / " << kTags[i];
    }
    EXPECT_EQ(ExtractElementAt(text, "name", starts[0]), name) << text;
  }
}

TEST(SplitLines, SplitsAtEveryRunOfLineEnds) {
  const struct {
    std::string bytes;
    Lines lines;
  } rows[] = {{"\nX", {"", "X"}},
              {"A\rB\nC\x1aZ", {"A", "B", "C", "Z"}},
              {"A\n\x1a\r\n\rB\x1a", {"A", "B"}},
              {"\tkey; 1 ;2\t\r\nnext", {"\tkey; 1 ;2\t", "next"}},
              {std::string("A\0B\nC\0", 6), {"A", "C"}}};
  for (const auto& row : rows) {
    Lines lines{"previous content"};
    SplitLines(row.bytes, lines);
    EXPECT_EQ(lines, row.lines) << row.bytes;
  }
}

TEST(ReadLines, ReadsTheFileOrLeavesTheLinesAlone) {
  TempDir dir;
  WriteFileOrFail(dir / "moves.txt", "A\r\n\r\nB");
  Lines lines;
  ASSERT_TRUE(ReadLines(dir / "moves.txt", lines));
  EXPECT_EQ(lines, (Lines{"A", "B"}));
  EXPECT_FALSE(ReadLines(dir / "missing.txt", lines));
  EXPECT_FALSE(ReadLines(dir.path(), lines));
  EXPECT_EQ(lines, (Lines{"A", "B"}));
}

}  // namespace
}  // namespace korvelo

// Finding start tags and reading the text of their elements.
#include "input/elements.h"

#include <gtest/gtest.h>

#include <iterator>
#include <string>
#include <string_view>
#include <utility>

namespace korvelo {
namespace {

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

}  // namespace
}  // namespace korvelo

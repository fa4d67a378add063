// The pieces of the self-contained map below the writer: safe XML text,
// text read out of GPX content, the cut into parts.
#include <gtest/gtest.h>

#include "output/kmz_plan.h"
#include "output/xml_text.h"

namespace korvelo {
namespace {

const std::string kFffd = "\xEF\xBF\xBD";

TEST(XmlText, EscapesMarkupAndReplacesWhatXmlCannotHold) {
  struct Case {
    std::string in, text, attribute;
  };
  const std::string two = kFffd + kFffd;
  const Case cases[] = {
      {"plain", "plain", "plain"},
      {"a<b>&\"c'", "a&lt;b&gt;&amp;\"c'", "a&lt;b&gt;&amp;&quot;c'"},
      {"\t\n\r", "\t\n\r", "\t\n\r"},
      {std::string("n\0l\x01\x1F\x7F", 6), "n" + kFffd + "l" + two + "\x7F",
       "n" + kFffd + "l" + two + "\x7F"},
      {"\xC3\xA4\xE2\x82\xAC\xF0\x9F\x98\x80",
       "\xC3\xA4\xE2\x82\xAC\xF0\x9F\x98\x80",
       "\xC3\xA4\xE2\x82\xAC\xF0\x9F\x98\x80"},
      {"\xE2\x82x", two + "x", two + "x"},  // a sequence cut short
  };
  for (const Case& c : cases) {
    std::string text, attribute;
    AppendXmlText(text, c.in);
    AppendXmlText(attribute, c.in, true);
    EXPECT_EQ(text, c.text) << c.in;
    EXPECT_EQ(attribute, c.attribute) << c.in;
  }
  // Every byte of these is replaced on its own.
  const std::string broken[] = {
      "\x80",                      // a lone continuation byte
      "\xE2\x82",                  // cut at the end
      "\xC1\xBF",                  // overlong two-byte form
      "\xE0\x9F\xBF",              // overlong three-byte form
      "\xED\xBF\xBF",              // a surrogate
      "\xEF\xBF\xBE\xEF\xBF\xBF",  // U+FFFE and U+FFFF
      "\xF4\x90\x80\x80",          // above U+10FFFF
      "\xF8\x88\x80\x80\x80",      // five-byte form
  };
  for (const std::string& in : broken) {
    std::string every;
    for (size_t i = 0; i < in.size(); ++i) every += kFffd;
    std::string text;
    AppendXmlText(text, in);
    EXPECT_EQ(text, every) << in.size();
  }
}

TEST(XmlText, CdataKeepsMarkupAndSplitsEveryEndMarker) {
  const std::pair<std::string, std::string> cases[] = {
      {"<p>a & b</p>", "<![CDATA[<p>a & b</p>]]>"},
      {"a]]>b", "<![CDATA[a]]]]><![CDATA[>b]]>"},
      {"]]]>", "<![CDATA[]]]]]><![CDATA[>]]>"},
      {"]]>]]>", "<![CDATA[]]]]><![CDATA[>]]]]><![CDATA[>]]>"},
      {"] ]> >", "<![CDATA[] ]> >]]>"},
      {"\x01\xFF", "<![CDATA[" + kFffd + kFffd + "]]>"},
      {"", "<![CDATA[]]>"},
  };
  for (const auto& [in, expected] : cases) {
    std::string out;
    AppendXmlCdata(out, in);
    EXPECT_EQ(out, expected) << in;
  }
}

TEST(XmlText, DecodesGpxContentAsAParserReadsIt) {
  const std::pair<std::string, std::string> cases[] = {
      {"&lt;p&gt;Hi &amp; bye&lt;/p&gt;", "<p>Hi & bye</p>"},
      {"&quot;&apos;", "\"'"},
      {"&#228;&#xE4;&#XE4;", "\xC3\xA4\xC3\xA4&#XE4;"},
      {"&#x1F600;", "\xF0\x9F\x98\x80"},
      {"&#0; &#x110000; &#; &#x;", "&#0; &#x110000; &#; &#x;"},
      {"&nbsp; & &amp", "&nbsp; & &amp"},
      {"<![CDATA[<b>&amp;</b>]]> &amp;", "<b>&amp;</b> &"},
      {"a<![CDATA[x]]>b<![CDATA[y", "axby"},
      {"<br> ]]> plain", "<br> ]]> plain"},
      {"", ""},
  };
  for (const auto& [in, out] : cases)
    EXPECT_EQ(DecodeXmlContent(in), out) << in;
}

// Folders of the given sizes, named by their index.
std::vector<KmzFolder> Folders(const std::vector<size_t>& sizes,
                               std::vector<CacheRecord>& records) {
  size_t total = 0;
  for (size_t size : sizes) total += size;
  records.assign(total, CacheRecord());
  std::vector<KmzFolder> folders;
  size_t next = 0;
  for (size_t i = 0; i < sizes.size(); ++i) {
    KmzFolder folder{"F" + std::to_string(i), "S" + std::to_string(i), "", {}};
    for (size_t k = 0; k < sizes[i]; ++k)
      folder.placemarks.push_back({&records[next++], ""});
    folders.push_back(folder);
  }
  return folders;
}

TEST(KmzPlan, PartsStayWithinTheLimitAndKeepEveryPlacemarkInOrder) {
  struct Case {
    std::vector<size_t> sizes;
    size_t limit;
    size_t parts;
  };
  const Case cases[] = {
      {{}, 10, 1},        // the document alone
      {{0, 0, 0}, 4, 1},  // 1 + 3 folders fills it exactly
      {{0, 0, 0}, 3, 2},  // the third folder opens a second part
      {{8}, 10, 1},       // 1 + 1 + 8
      {{9}, 10, 2},       // one placemark over: the folder goes on
      {{3, 0, 5, 2}, 5, 4}, {{1, 1, 1, 1, 1, 1}, 3, 6},
  };
  for (const Case& c : cases) {
    std::vector<CacheRecord> records;
    const std::vector<KmzFolder> folders = Folders(c.sizes, records);
    const std::vector<KmzPart> parts =
        SplitIntoParts(folders, MapDocument(), c.limit);
    EXPECT_EQ(parts.size(), c.parts) << c.limit;
    std::vector<const CacheRecord*> seen;
    std::vector<std::string> names;
    for (const KmzPart& part : parts) {
      size_t features = 1;
      for (const KmzFolder& folder : part.folders) {
        features += 1 + folder.placemarks.size();
        // A folder cut by the split continues, same name and style.
        if (names.empty() || names.back() != folder.name ||
            &folder != &part.folders.front()) {
          names.push_back(folder.name);
        }
        EXPECT_EQ(folder.style_id, "S" + folder.name.substr(1));
        for (const KmzPlacemark& p : folder.placemarks)
          seen.push_back(p.record);
      }
      EXPECT_LE(features, c.limit);
    }
    ASSERT_EQ(seen.size(), records.size());
    for (size_t i = 0; i < seen.size(); ++i) EXPECT_EQ(seen[i], &records[i]);
    EXPECT_EQ(names.size(), c.sizes.size()) << c.limit;
  }
}

TEST(KmzPlan, PartPathsNumberFromTheSecond) {
  EXPECT_EQ(KmzPartPath("/out/pq.kml", 0), "/out/pq.kmz");
  EXPECT_EQ(KmzPartPath("/out/pq.kml", 1), "/out/pq-2.kmz");
  EXPECT_EQ(KmzPartPath("/out/a.b.kml", 9), "/out/a.b-10.kmz");
}

}  // namespace
}  // namespace korvelo

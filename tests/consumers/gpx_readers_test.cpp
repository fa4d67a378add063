// Real readers of the GPX for devices: xmllint, and GPSBabel as the usual
// converter, which must see every written cache with the cache fields it
// sees in the pocket query itself. A reader that is not installed skips its
// test with the reason; `make check-consumers` installs them.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "consumers/readers.h"
#include "support/test_support.h"

namespace korvelo::testing {
namespace {

namespace fs = std::filesystem;

using Row = std::map<std::string, std::string>;  // column name -> value

// The fields of one line of GPSBabel's unicsv: separated by commas, quoted
// ones may hold commas and doubled quotes.
std::vector<std::string> CsvFields(const std::string& line) {
  std::vector<std::string> fields(1);
  bool quoted = false;
  for (size_t i = 0; i < line.size(); ++i) {
    const char c = line[i];
    if (quoted && c == '"' && i + 1 < line.size() && line[i + 1] == '"') {
      fields.back() += '"';
      ++i;
    } else if (c == '"') {
      quoted = !quoted;
    } else if (c == ',' && !quoted) {
      fields.emplace_back();
    } else if (c != '\r') {
      fields.back() += c;
    }
  }
  return fields;
}

// GPSBabel's rows of a GPX file by waypoint name (the first of a name).
std::map<std::string, Row> GpsbabelRows(const std::string& path) {
  const ToolRun run = RunTool("gpsbabel -i gpx -f " + ShellWord(path) +
                              " -o unicsv -F - 2>/dev/null");
  std::map<std::string, Row> rows;
  std::vector<std::string> header;
  size_t start = 0;
  while (start < run.output.size()) {
    size_t end = run.output.find('\n', start);
    if (end == std::string::npos) end = run.output.size();
    const std::vector<std::string> fields =
        CsvFields(run.output.substr(start, end - start));
    start = end + 1;
    if (header.empty()) {
      header = fields;
      continue;
    }
    Row row;
    for (size_t i = 0; i < header.size() && i < fields.size(); ++i)
      row[header[i]] = fields[i];
    rows.emplace(row["Name"], row);
  }
  return rows;
}

// The five predefined entities decoded, as an XML reader gives the text.
std::string XmlText(std::string text) {
  const std::pair<const char*, const char*> entities[] = {{"&quot;", "\""},
                                                          {"&apos;", "'"},
                                                          {"&lt;", "<"},
                                                          {"&gt;", ">"},
                                                          {"&amp;", "&"}};
  for (const auto& [entity, character] : entities) {
    for (size_t at = text.find(entity); at != std::string::npos;
         at = text.find(entity, at + 1)) {
      text.replace(at, std::string_view(entity).size(), character);
    }
  }
  return text;
}

// The names of the written caches (waypoints with a cache element).
std::vector<std::string> WrittenCaches(const std::string& gpx) {
  std::vector<std::string> codes;
  for (size_t at = gpx.find("<wpt"); at != std::string::npos;
       at = gpx.find("<wpt", at + 1)) {
    const size_t end = gpx.find("</wpt>", at);
    if (gpx.substr(at, end - at).find("<groundspeak:cache") ==
        std::string::npos) {
      continue;
    }
    const size_t name = gpx.find("<name>", at) + 6;
    codes.push_back(
        XmlText(gpx.substr(name, gpx.find("</name>", name) - name)));
  }
  return codes;
}

const char* const kCacheFields[] = {"Type", "Container", "Difficulty",
                                    "Terrain", "Placer"};

TEST(GpxReaders, GpsbabelReadsEveryCacheWithItsCacheFields) {
  KORVELO_REQUIRE_CORPUS();
  if (!HaveTool("gpsbabel"))
    GTEST_SKIP() << "gpsbabel is not installed (Debian gpsbabel)";
  int files = 0, caches_with_fields = 0;
  for (const CorpusConversion& file : ConvertedCorpus()) {
    if (file.gpx_outputs.empty()) continue;
    SCOPED_TRACE(file.input);
    ASSERT_EQ(file.gpx_outputs.size(), 1u);
    std::map<std::string, Row> in_input;
    for (const std::string& document : file.gpx_documents)
      in_input.merge(GpsbabelRows(document));
    const std::map<std::string, Row> read = GpsbabelRows(file.gpx_outputs[0]);
    const std::vector<std::string> caches =
        WrittenCaches(ReadFileOrFail(file.gpx_outputs[0]));
    int with_fields = 0;
    for (const std::string& code : caches) {
      const auto got = read.find(code);
      ASSERT_NE(got, read.end()) << code << " not read";
      const auto expected = in_input.find(code);
      if (expected == in_input.end()) continue;
      for (const char* field : kCacheFields) {
        const auto want = expected->second.find(field);
        if (want == expected->second.end()) continue;
        const auto have = got->second.find(field);
        ASSERT_NE(have, got->second.end()) << code << " " << field;
        EXPECT_EQ(have->second, want->second) << code << " " << field;
      }
      with_fields += expected->second.count("Type") != 0 &&
                     !expected->second.at("Type").empty();
    }
    std::printf("gpsbabel %s: %zu caches read, %d with cache fields\n",
                fs::relative(file.input, CorpusPath()).c_str(), caches.size(),
                with_fields);
    caches_with_fields += with_fields;
    ++files;
  }
  EXPECT_GT(files, 30);
  EXPECT_GT(caches_with_fields, 2000);
}

TEST(GpxReaders, XmllintAcceptsTheGpxOfEveryWellFormedInput) {
  KORVELO_REQUIRE_CORPUS();
  if (!HaveTool("xmllint"))
    GTEST_SKIP() << "xmllint is not installed (Debian libxml2-utils)";
  int checked = 0;
  for (const CorpusConversion& file : ConvertedCorpus()) {
    // The additional waypoints beside a pocket query are copied too.
    const std::string beside =
        file.input.substr(0, file.input.size() - 4) + "-wpts.gpx";
    if (!InputWellFormed(file) ||
        (fs::exists(beside) && !XmllintAccepts(beside)))
      continue;
    for (const std::string& gpx : file.gpx_outputs) {
      const ToolRun run = RunTool("xmllint --noout " + ShellWord(gpx));
      EXPECT_EQ(run.status, 0) << file.input << ":\n" << run.output;
      std::printf("xmllint %s: %s\n",
                  fs::relative(file.input, CorpusPath()).c_str(),
                  run.status == 0 ? "accepted" : "REFUSED");
      ++checked;
    }
  }
  EXPECT_GT(checked, 30);
}

}  // namespace
}  // namespace korvelo::testing

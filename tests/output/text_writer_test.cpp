// The text sheets: their folders and files, the logs and hints in them, and
// the plain-text forms of a listing's texts (markup removed, umlauts
// converted, the description built from them).
#include "output/text_writer.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <map>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "gpx_lists.h"
#include "input/cache_record.h"
#include "input/text.h"
#include "output/html_text.h"
#include "output/text_description.h"
#include "output/text_sheet.h"
#include "output/umlauts.h"

namespace korvelo {
namespace {

namespace fs = std::filesystem;
using testing::ExpectRows;
using testing::ReadFileOrFail;
using testing::TempDir;

// One Traditional Cache at 50.1 N 8.2 E, placed by Anna.
CacheList One(const std::string& title, std::string description = "") {
  CacheList list;
  list.records = {testing::Wpt("GC1", title, "Traditional Cache")};
  list.records[0].placed_by = "Anna";
  list.records[0].difficulty = "1";
  list.records[0].terrain = "2";
  list.records[0].container = "Small";
  list.records[0].raw_description = std::move(description);
  return list;
}

const std::string kEmptyLog = "  \r\n\r\n\r\n\r\n";
const std::string kNoLogs =
    kEmptyLog + kEmptyLog + kEmptyLog + kEmptyLog + kEmptyLog;

// The sheet of One("Uebe", description) laid out by hand (\260 is B0).
std::string UebeSheet(const std::string& description,
                      const std::string& hints = "",
                      const std::string& logs = kNoLogs) {
  return "=\t\t\t\t=\r\n=\t\t\t\t=\r\n=\t\t\t\t=\r\nGC1: Uebe\r\n=\t\t\t\t=\r\n"
         "by Anna (d:1 / t:2)\r\nSmall Traditional Cache\r\n=\t\t\t\t=\r\n"
         "50\26006.000 / 8\26012.000\r\n=\t\t\t\t=\r\n\r\n" +
         description + "\r\n\r\n-\t\t\t\t-\r\n\r\nHints:\r\n" + hints +
         "\r\n\r\n-\t\t\t\t-\r\n\r\nLogs:\r\n\r\n" + logs;
}

// The sheet tests below pin the folders and files the key names.
TEST(TextWriter, TitleKeySpellsOutUmlautsAndKeepsLettersAndDigitsOnly) {
  const std::pair<std::string, std::string> cases[] = {
      {"\303\234ber den Wolken", "UEBE"},  // UTF-8
      {"\334ber den Wolken", "UEBE"},      // ANSI
      {"!!! ???", "____"},
      {"Fu\303\237ball", "FUSS"},
      {"a/b\\c:d", "ABCD"}};
  for (const auto& [title, key] : cases) {
    EXPECT_EQ(DirectoryKey(title), key) << title;
  }
}

// The first `files` files of the series hold `size` bytes each; files 001
// and 100 keep what they held: sheets are only ever appended.
TEST(TextWriter, SheetGoesToFirstFileStayingBelowTheLimit) {
  const struct {
    int files, size;
    size_t sheet;
    int file;
  } cases[] = {{1, 27000, 648, 2},
               {1, 27000, 647, 1},
               {1, 100, 30000, 2},
               {100, 27600, 600, 100}};
  for (const auto& c : cases) {
    TempDir dir;
    const std::string series = dir / "U/E/B/E_caches", old(c.size, 'o');
    for (int n = 1; n <= c.files; ++n) {
      testing::WriteFileOrFail(series + FormatText("%03d.txt", n), old);
    }
    const std::string description(c.sheet - UebeSheet("").size(), 'x');
    WriteText(One("Uebe", description), dir.path() + "/");
    EXPECT_EQ(ReadFileOrFail(series + FormatText("%03d.txt", c.file)),
              (c.file <= c.files ? old : "") + UebeSheet(description))
        << c.files << " files of " << c.size << " + " << c.sheet;
  }
}

// 1000 sheets of 600 bytes (several batches) of three interleaved keys, and
// "Uebe" 001 already holds 26400 bytes: each key's files hold its sheets in
// list order, and every file but a key's last is filled to 46 sheets.
TEST(TextWriter, SheetsOfOneRunKeepListOrderAndFillEachFileInTurn) {
  const std::string titles[] = {"Uebe", "Feld", "Gras"};
  TempDir dir;
  const std::string old(26400, 'o');
  testing::WriteFileOrFail(dir / "U/E/B/E_caches001.txt", old);
  std::map<std::string, std::string> expected{{"U", old}};
  CacheList list;
  for (int i = 0; i < 1000; ++i) {
    const std::string& title = titles[(i * 7 + i / 3) % 3];
    CacheRecord record = testing::Wpt(FormatText("GC%04d", i), title, "Tradi");
    record.raw_description = std::string(600 - TextSheet(record).size(), 'd');
    expected[title.substr(0, 1)] += TextSheet(record);
    list.records.push_back(std::move(record));
  }
  WriteText(list, dir.path() + "/");
  const auto files = testing::FilesBelow(dir.path());
  std::map<std::string, std::string> written;
  for (auto it = files.begin(); it != files.end(); ++it) {
    written[it->first.substr(0, 1)] += it->second;  // names sort by number
    const auto next = std::next(it);
    if (next != files.end() && next->first[0] == it->first[0]) {
      ASSERT_EQ(it->second.size(), 46 * 600u) << it->first;
    }
  }
  EXPECT_TRUE(written == expected);  // a diff of these would take minutes
}

std::string Log(std::string date, std::string type, std::string finder,
                std::string text) {
  return "<groundspeak:log id=\"1\">\r\n  <groundspeak:date>" + date +
         "T19:00:00Z</groundspeak:date>\r\n  <groundspeak:type>" + type +
         "</groundspeak:type>\r\n  <groundspeak:finder id=\"7\">" + finder +
         "</groundspeak:finder>\r\n  <groundspeak:text encoded=\"False\">" +
         text + "</groundspeak:text>\r\n</groundspeak:log>\r\n";
}

// Three logs give three entries and two empty ones. Only the log text is
// transliterated; escapes and bare LFs stay. The type replacements are
// case-sensitive and replace every occurrence. Hints lose their CDATA
// markers before the tags go.
TEST(TextWriter, LogsGiveFiveEntriesWithRewordedTypes) {
  CacheList list = One("Uebe");
  list.records[0].logs =
      Log("2008-03-15", "Found it", "J\303\274rgen", "Sch\303\266n!\n&lt;br>") +
      Log("2008-03-16", "Write note", "A&amp;B", "Notiz &amp; mehr") +
      Log("2008-03-17", "Publish Listing, write note, Not Found Found", "Anna",
          "");
  list.records[0].encoded_hints =
      "<![CDATA[Unter dem <b>Stein</b> bei der Br\303\274cke, Gr&#252;n]]>";
  TempDir dir;
  WriteText(list, dir.path() + "/");
  EXPECT_EQ(
      ReadFileOrFail(dir / "U/E/B/E_caches001.txt"),
      UebeSheet("", "Unter dem Stein bei der Bruecke, Gruen",
                "J\303\274rgen found it 2008-03-15\r\nSchoen!\n&lt;br>"
                "\r\n\r\n\r\nA&amp;B wrote note 2008-03-16\r\nNotiz &amp; mehr"
                "\r\n\r\n\r\nAnna published Listing, write note, Not found "
                "found 2008-03-17\r\n\r\n\r\n\r\n" +
                    kEmptyLog + kEmptyLog));
}

// Planted in the sheet tree of "Feld" by another user of a shared folder:
// refused with the sheet named, the link's target untouched, no FIFO block.
TEST(TextWriter, RefusesLinksFifosAndFilesPlantedInTheSheetTree) {
  const std::string sheet = "F/E/L/D_caches001.txt";
  enum Kind { kLink, kFifo, kFile };
  const struct {
    Kind kind;
    std::string at;  // below the text folder
  } rows[] = {{kLink, sheet}, {kLink, "F"}, {kFifo, sheet}, {kFile, "F/E"}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.at + " planted as " + std::to_string(row.kind));
    TempDir dir;
    testing::WriteFileOrFail(dir / "victim/.profile", "precious");
    const std::string at = dir / ("out/" + row.at);
    fs::create_directories(fs::path(at).parent_path());
    if (row.kind == kLink) {
      fs::create_symlink(dir / (row.at == sheet ? "victim/.profile" : "victim"),
                         at);
    }
    if (row.kind == kFifo) {
      ASSERT_EQ(mkfifo(at.c_str(), 0600), 0);
    }
    if (row.kind == kFile) testing::WriteFileOrFail(at, "not a folder");
    EXPECT_TRUE(testing::ThrowsFileError(
        [&] { WriteText(One("Feld"), dir / "out/"); }, FileCause::kInvalidFile,
        dir / "out/" + sheet));
    EXPECT_EQ(testing::FilesBelow(dir / "victim"),
              (std::map<std::string, std::string>{{".profile", "precious"}}));
  }
}

// Markup removed (three umlauts decoded), CDATA markers dropped, and the
// descriptions a broken or hostile file can hold ended as the steps say,
// never reading outside the text (the sanitizer build checks that).
TEST(PlainText, RemovesMarkupAndEndsBrokenMarkupAsTheStepsSay) {
  ExpectRows(HtmlToText,
             {{"a<b>b</b>c", "abc"},
              {"x<y", "x"},
              {"A<STYLE>p{}</Style>B<style>q{}</style>C", "ABC"},
              {"<style type=\"t\">p{}</style>x", "p{}x"},
              // A removal joins "<sty" and "le>" into a new tag: start tag,
              // then end tag in front of the next start tag (no more blocks).
              {"<sty<style>x</style>le>A</style>B", "B"},
              {"&#252;&#246;&#228;a&nbsp;b",
               "\xFC\xF6\xE4"
               "a b"},
              {"&#223;&quot;&amp;&lt;", "&#223;&quot;&amp;&lt;"}});
  ExpectRows(DropCdataMarkers, {{"a<![CDATA[b]]>c<![CDATA[d]]>e", "abcde"},
                                {"<![CDATA[a]]>]]>", "a]]>"},
                                {"<![CDATA[open", "open"}});
  ExpectRows(TextDescription, {{"&lt;b", ""},
                               {"&lt;style&gt;x<![CDATA[x", "xx"},
                               {"a&amp;nbsp;b<", "a b"},
                               {"<![CDATA[<b>", ""}});
}

// Ten megabytes of description come out whole, and removing many style
// blocks does not grow with their square.
TEST(TextDescription, TenMegabyteDescriptionComesOutWhole) {
  std::string raw, expected;
  while (raw.size() < 10 * 1024 * 1024) {
    raw += "&lt;style&gt;p{}&lt;/style&gt;&lt;p&gt;Gr\u00FC\u00DFe&lt;br&gt;";
    expected += " Gruesse\r\n";
  }
  const CacheRecord record("<wpt><groundspeak:long_description>" + raw +
                           "</groundspeak:long_description>");
  EXPECT_EQ(TextDescription(record.raw_description), expected);
}

// The plain-text description and ConvertUmlauts merge several replacement
// steps into single passes; this holds them to the steps one by one, on
// random texts built from the pieces the steps look for.
// The seven letters in the order of the steps: UTF-8, ANSI, spelled out.
constexpr std::string_view kUmlauts[][3] = {
    {"\xC3\xBC", "\xFC", "ue"}, {"\xC3\xA4", "\xE4", "ae"},
    {"\xC3\xB6", "\xF6", "oe"}, {"\xC3\x9F", "\xDF", "ss"},
    {"\xC3\x9C", "\xDC", "Ue"}, {"\xC3\x96", "\xD6", "Oe"},
    {"\xC3\x84", "\xC4", "Ae"}};

std::string UmlautsInTurn(std::string text, bool spellOut) {
  for (const auto& u : kUmlauts) text = ReplaceAll(text, u[0], u[1]);
  for (const auto& u : kUmlauts) {
    if (spellOut) text = ReplaceAll(text, u[1], u[2]);
  }
  return text;
}

// The description's replacements, each a pass of its own, in their order.
std::string DescriptionInTurn(const std::string& raw) {
  static constexpr std::string_view kSteps[][2] = {
      {"\r\n ", "\r\n"}, {" \r\n", "\r\n"}, {"\r\n", " "},
      {"\r", " "},       {"\n", ""},        {"&lt;", "<"},
      {"&gt;", ">"},     {"&amp;", "&"},    {"&nbsp;", " "},
      {" <br>", "<br>"}, {" <BR>", "<br>"}, {"<br> ", "<br>"},
      {"<BR> ", "<br>"}, {"<br>", "\r\n"},  {"<BR>", "\r\n"},
      {"</p>", "\r\n"},  {"</P>", "\r\n"},  {"<p>", " "},
      {"<A ", "[[<B "},  {"</A>", "]]"},    {"<a ", "[[<B "},
      {"</a>", "]]"}};
  std::string text = DropCdataMarkers(raw);
  for (const auto& [from, to] : kSteps) text = ReplaceAll(text, from, to);
  return UmlautsInTurn(HtmlToText(text), true);
}

TEST(OnePassSteps, GiveWhatTheStepsGiveOneByOne) {
  static constexpr std::string_view kPieces[] = {
      "\r",    "\n",      " ",        "&",     "amp;",   "lt;",  "gt;",
      "nbsp;", "&lt;",    "&gt;",     "&amp;", "&nbsp;", "<br>", "<BR>",
      "</p>",  "<p>",     "<A ",      "</a>",  "<",      ">",    "x",
      "\xC3",  "\xBC",    "\x84",     "\xFC",  "\xC4",   "\xE9", "br",
      "/",     "<style>", "</style>", "\xA4",  "\xB6",   "\x9F", "\x9C",
      "\x96",  "\xE4",    "\xF6",     "\xDF",  "\xDC",   "\xD6"};
  std::mt19937 random(20261207);
  for (int i = 0; i < 20000; ++i) {
    std::string text;
    for (int n = random() % 12; n > 0; --n)
      text += kPieces[random() % std::size(kPieces)];
    ASSERT_EQ(TextDescription(text), DescriptionInTurn(text))
        << ::testing::PrintToString(text);
    for (bool spellOut : {false, true}) {
      ASSERT_EQ(ConvertUmlauts(text, spellOut), UmlautsInTurn(text, spellOut))
          << ::testing::PrintToString(text) << " " << spellOut;
    }
  }
}

}  // namespace
}  // namespace korvelo

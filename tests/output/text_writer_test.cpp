#include "output/text_writer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "gpx_lists.h"
#include "platform/file_error.h"

namespace korvelo {
namespace {

namespace fs = std::filesystem;
using testing::ReadFileOrFail;
using testing::TempDir;
using testing::WriteFileOrFail;

CacheRecord Cache(std::string title, std::string description = "") {
  CacheRecord record;
  record.name = "GC1";
  record.urlname = std::move(title);
  record.placed_by = "Anna";
  record.difficulty = "1";
  record.terrain = "2";
  record.container = "Small";
  record.type = "Traditional Cache";
  record.lat_degrees = "50";
  record.lat_minutes = "07.407";
  record.lon_degrees = "8";
  record.lon_minutes = "30.000";
  record.text_description = std::move(description);
  return record;
}

const std::string kEmptyLog = "  \r\n\r\n\r\n\r\n";

// The sheet of Cache("Uebe", description), laid out by hand.
std::string UebeSheet(const std::string& description) {
  return "=\t\t\t\t=\r\n=\t\t\t\t=\r\n=\t\t\t\t=\r\n"
         "GC1: Uebe\r\n"
         "=\t\t\t\t=\r\n"
         "by Anna (d:1 / t:2)\r\n"
         "Small Traditional Cache\r\n"
         "=\t\t\t\t=\r\n"
         "50\xB0"
         "07.407 / 8\xB0"
         "30.000\r\n"
         "=\t\t\t\t=\r\n\r\n" +
         description +
         "\r\n\r\n-\t\t\t\t-\r\n\r\n"
         "Hints:\r\n"
         "\r\n\r\n-\t\t\t\t-\r\n\r\n"
         "Logs:\r\n\r\n" +
         kEmptyLog + kEmptyLog + kEmptyLog + kEmptyLog + kEmptyLog;
}

// A description that makes the Uebe sheet exactly `length` bytes long.
std::string DescriptionFor(size_t length) {
  return std::string(length - UebeSheet("").size(), 'x');
}

void Write(const std::string& folder, const std::vector<CacheRecord>& records) {
  CacheList list;
  list.records = records;
  WriteText(list, folder + "/");
}

// Every file below the folder, as paths relative to it.
std::vector<std::string> FilesBelow(const std::string& folder) {
  std::vector<std::string> files;
  for (const auto& entry : fs::recursive_directory_iterator(folder)) {
    if (entry.is_regular_file()) {
      files.push_back(fs::relative(entry.path(), folder).string());
    }
  }
  return files;
}

TEST(TextWriter, TitleKeyChoosesFoldersAndFile) {
  const struct {
    std::string title;
    std::string file;
  } cases[] = {
      {"\xC3\x9C"
       "ber den Wolken",
       "U/E/B/E_caches001.txt"},
      {"\xDC"
       "ber den Wolken",
       "U/E/B/E_caches001.txt"},
      {"A1!", "A/1/_/__caches001.txt"},
      {"!!! ???", "_/_/_/__caches001.txt"},
      {"", "_/_/_/__caches001.txt"},
      {"st. peter-kirche", "S/T/P/E_caches001.txt"},
      {"Stra\xC3\x9F"
       "e",
       "S/T/R/A_caches001.txt"},
      {"Caf\xC3\xA9 Paris", "C/A/F/P_caches001.txt"},
      {"a/b\\c:d", "A/B/C/D_caches001.txt"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.title);
    TempDir dir;
    Write(dir.path(), {Cache(c.title)});
    EXPECT_EQ(FilesBelow(dir.path()), std::vector<std::string>{c.file});
  }
}

TEST(TextWriter, SheetIsLaidOutExactlyAndAppendedOnEveryRun) {
  TempDir dir;
  Write(dir.path(), {Cache("Uebe", "Text.\r\n")});
  Write(dir.path(), {Cache("Uebe", "Text.\r\n")});
  EXPECT_TRUE(testing::SameBytes(
      UebeSheet("Text.\r\n") + UebeSheet("Text.\r\n"),
      ReadFileOrFail(dir / "U/E/B/E_caches001.txt"), "text/uebe.txt"));
}

TEST(TextWriter, TitlesAgreeingInFirstFourLettersShareTheirFile) {
  TempDir dir;
  Write(dir.path(),
        {Cache("Alte Muehle"), Cache("ALTE-muehle!"), Cache("Al Tee")});
  EXPECT_EQ(FilesBelow(dir.path()),
            std::vector<std::string>{"A/L/T/E_caches001.txt"});
}

TEST(TextWriter, SheetGoesToFirstFileStayingBelowTheLimit) {
  const struct {
    int existing;  // bytes already in file 001, -1 for none
    size_t sheet;
    const char* file;
  } cases[] = {
      {27000, 700, "E_caches002.txt"}, {27000, 600, "E_caches001.txt"},
      {27000, 648, "E_caches002.txt"}, {27000, 647, "E_caches001.txt"},
      {100, 30000, "E_caches002.txt"}, {-1, 30000, "E_caches001.txt"},
      {0, 30000, "E_caches001.txt"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.existing) + " + " + std::to_string(c.sheet));
    TempDir dir;
    const std::string series = dir / "U/E/B/E_caches";
    if (c.existing >= 0) {
      WriteFileOrFail(series + "001.txt", std::string(c.existing, 'o'));
    }
    Write(dir.path(), {Cache("Uebe", DescriptionFor(c.sheet))});
    const std::string chosen = ReadFileOrFail(dir / "U/E/B/" + c.file);
    EXPECT_TRUE(chosen.ends_with(UebeSheet(DescriptionFor(c.sheet))));
    const bool intoOne = std::string(c.file) == "E_caches001.txt";
    EXPECT_EQ(chosen.size(), c.sheet + (intoOne ? std::max(c.existing, 0) : 0));
  }
}

TEST(TextWriter, FileHundredTakesWhatTheOthersCannot) {
  TempDir dir;
  const std::string series = dir / "U/E/B/E_caches";
  for (int n = 1; n <= 100; ++n) {
    char number[4];
    std::snprintf(number, sizeof number, "%03d", n);
    const std::string file = series + number + ".txt";
    WriteFileOrFail(file, "");
    fs::resize_file(file, n == 100 ? 40000 : 27600);
  }
  Write(dir.path(), {Cache("Uebe")});
  EXPECT_EQ(fs::file_size(series + "099.txt"), 27600u);
  EXPECT_EQ(fs::file_size(series + "100.txt"), 40000 + UebeSheet("").size());
}

TEST(TextWriter, FewerThanFiveLogsStillGiveFiveEntries) {
  CacheRecord record = Cache("Uebe");
  record.logs =
      "<groundspeak:log id=\"1\">\r\n"
      "  <groundspeak:date>2008-03-15T19:00:00Z</groundspeak:date>\r\n"
      "  <groundspeak:type>Found it</groundspeak:type>\r\n"
      "  <groundspeak:finder id=\"7\">Anna</groundspeak:finder>\r\n"
      "  <groundspeak:text "
      "encoded=\"False\">Sch\xC3\xB6n!</groundspeak:text>\r\n"
      "</groundspeak:log>\r\n"
      "<groundspeak:log id=\"2\">\r\n"
      "  <groundspeak:date>2008-03-16T08:00:00Z</groundspeak:date>\r\n"
      "  <groundspeak:type>Write note</groundspeak:type>\r\n"
      "  <groundspeak:finder id=\"7\">Anna</groundspeak:finder>\r\n"
      "  <groundspeak:text encoded=\"False\">Notiz &amp; "
      "mehr</groundspeak:text>\r\n"
      "</groundspeak:log>";
  TempDir dir;
  Write(dir.path(), {record});
  EXPECT_TRUE(ReadFileOrFail(dir / "U/E/B/E_caches001.txt")
                  .ends_with("Logs:\r\n\r\n"
                             "Anna found it 2008-03-15\r\nSchoen!\r\n\r\n\r\n"
                             "Anna wrote note 2008-03-16\r\n"
                             "Notiz &amp; mehr\r\n\r\n\r\n" +
                             kEmptyLog + kEmptyLog + kEmptyLog));
}

TEST(TextWriter, LogTypesAreReworded) {
  const struct {
    std::string type;
    std::string shown;
  } cases[] = {
      {"Found it", "found it"},
      {"Write note", "wrote note"},
      {"Publish Listing", "published Listing"},
      {"Didn't find it", "Didn't find it"},
      {"Not Found Found", "Not found found"},
      {"write note", "write note"},
  };
  for (const auto& c : cases) {
    CacheRecord record = Cache("Uebe");
    record.logs =
        "<groundspeak:log><groundspeak:date>2009-12-24</groundspeak:"
        "date><groundspeak:type>" +
        c.type + "</groundspeak:type></groundspeak:log>";
    TempDir dir;
    Write(dir.path(), {record});
    EXPECT_NE(ReadFileOrFail(dir / "U/E/B/E_caches001.txt")
                  .find("Logs:\r\n\r\n " + c.shown + " 2009-12-24\r\n"),
              std::string::npos)
        << c.type;
  }
}

TEST(TextWriter, HintsLoseCdataMarkersTagsAndUmlauts) {
  CacheRecord record = Cache("Uebe");
  record.encoded_hints =
      "<![CDATA[Unter dem <b>Stein</b> bei der Br\xC3\xBC"
      "cke, Gr&#252;n]]>";
  TempDir dir;
  Write(dir.path(), {record});
  EXPECT_NE(ReadFileOrFail(dir / "U/E/B/E_caches001.txt")
                .find("Hints:\r\nUnter dem Stein bei der Bruecke, Gruen\r\n"),
            std::string::npos);
}

TEST(TextWriter, MissingOutputFolderGivesInvalidHandleNamingTheSheetFile) {
  TempDir dir;
  CacheList list;
  list.records = {Cache("Uebe")};
  const std::string folder = dir.path() + "\\missing\\";
  try {
    WriteText(list, folder);
    FAIL() << "no error";
  } catch (const FileError& e) {
    EXPECT_EQ(e.cause(), FileCause::kInvalidFile);
    EXPECT_EQ(e.path(), folder + "U\\E\\B\\E_caches001.txt");
  }
  EXPECT_FALSE(fs::exists(dir / "missing"));
}

// OC5952 of the corpus, worked out by hand from its GPX text: the LF line
// ends of the description vanish, the XHTML breaks go as tags, "</p>"
// becomes CR LF and "<p>" a blank; "&amp;ouml;" ends as the text
// "&ouml;". The logs keep their raw LFs and escapes, with spelled umlauts;
// there are three, so two empty entries follow. No hints element.
TEST(TextWriter, CorpusCacheSheetMatchesHandWorkedText) {
  KORVELO_REQUIRE_CORPUS();
  CacheList list;
  testing::AppendGpxFile(list, testing::CorpusPath("cgeo/oc5952_gpx.gpx"),
                         "oc5952_gpx");
  ASSERT_EQ(list.records.size(), 1u);
  TempDir dir;
  WriteText(list, dir.path() + "/");
  const std::string expected =
      "=\t\t\t\t=\r\n=\t\t\t\t=\r\n=\t\t\t\t=\r\n"
      "OC5952: Die Schatzinsel / treasure island\r\n"
      "=\t\t\t\t=\r\n"
      "by Die unbesiegbaren Geo - Geparden (d:1 / t:4)\r\n"
      "Small Traditional Cache\r\n"
      "=\t\t\t\t=\r\n"
      "48\xB0"
      "51.580 / 9\xB0"
      "11.244\r\n"
      "=\t\t\t\t=\r\n\r\n"
      "Startinhalt:LogbuchTaschenmesserFeuerzeugZiegeWalrossL&ouml;we Bitte "
      "achtet am Uferbereich auf br&uuml;tende V&ouml;gel, passt auch "
      "aufeure Kinder auf.\r\n"
      "\r\n\r\n-\t\t\t\t-\r\n\r\n"
      "Hints:\r\n"
      "\r\n\r\n-\t\t\t\t-\r\n\r\n"
      "Logs:\r\n\r\n"
      "bommel-abg found it 2009-01-12\r\n"
      "Bei guenstigen Witterungsbedingung, der See war zugefrorenen, hab ich "
      "die Chance genutzt diesen Cache zu loggen. Danke fuer diesen einfachen "
      "T4.&lt;br /&gt;\nbommel-abg\r\n\r\n\r\n"
      "bambuz found it 2009-01-11\r\n"
      "Juhu, mein erster T5. Erstaunlich leicht wenn man nur lange genug "
      "wartet. Die Wathosen haetten auch schon bereit gelegen, aber so wars "
      "dann doch leichter.&lt;br /&gt;\n&lt;br /&gt;\nTFTC&lt;br /&gt;\n"
      "&lt;br /&gt;\nIst die Schatzdose fuer Kuchen oder fuer Kaese gedacht "
      "gewesen? *gruebel*\r\n\r\n\r\n"
      "Schulze&amp;Schultze found it 2008-04-29\r\n"
      "Punkt 13:13 naeherten sich unauffaellig mehrere Personen aus "
      "verschiedenen Richtungen dem Ort des Geschehens.[8D]&lt;br /&gt;\n"
      "Unter den Augen der Owner wurde das Schlauchboot ordnungsgemaess "
      "aufgepumpt und zu Wasser gelassen. Paddel waeren zwar durchaus "
      "hilfreich gewesen, aber echte Kerle lassen sich davon nicht "
      "abhalten.[:D]&lt;br /&gt;\n"
      "Sorgen um die bruetenden Voegel mussten wir uns an der ausgewaehlten "
      "Einstiegstelle in das Gewaesser nicht machen. Die Wasserqualitaet ist "
      "dort so anruechig, dass sogar die Teichbewohner diese Gegend "
      "meiden.[:(]&lt;br /&gt;\n"
      "Das Schlauchboot war klein, so waren fuer die Schatzsuche mehrere "
      "Runden noetig. Wobei die hilfreichen Herren netterweise dafuer "
      "sorgten, dass meine im Moment ohnehin angeschickerte Bandscheibe "
      "nicht weiter beansprucht wurde und ich nicht paddeln musste. Vielen "
      "Dank![:D]&lt;br /&gt;\n"
      "Von stoerenden Muggels blieben wir wundersamer Weise weitgehend "
      "verschont, obwohl halb Kornwestheim heute den Stadtpark "
      "frequentierte.&lt;br /&gt;\n&lt;br /&gt;\nTFTC&lt;br /&gt;\n"
      "&lt;br /&gt;\n &lt;br /&gt;\r\n\r\n\r\n" +
      kEmptyLog + kEmptyLog;
  EXPECT_TRUE(testing::SameBytes(expected,
                                 ReadFileOrFail(dir / "D/I/E/S_caches001.txt"),
                                 "text/oc5952.txt"));
  EXPECT_EQ(FilesBelow(dir.path()),
            std::vector<std::string>{"D/I/E/S_caches001.txt"});
}

}  // namespace
}  // namespace korvelo

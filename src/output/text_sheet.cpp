#include "output/text_sheet.h"

#include "input/elements.h"
#include "input/text.h"
#include "output/html_text.h"
#include "output/text_description.h"
#include "output/umlauts.h"

namespace korvelo {
namespace {

constexpr int kLogEntries = 5;
constexpr std::string_view kRule = "=\t\t\t\t=\r\n";
constexpr std::string_view kSectionBreak = "\r\n\r\n-\t\t\t\t-\r\n\r\n";
constexpr std::string_view kDegree = "\xB0";
constexpr std::string_view kLogEnd = "</groundspeak:log>";

std::string Spelled(std::string_view text) {
  return ConvertUmlauts(text, true);
}

bool IsKeyCharacter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
         (c >= '0' && c <= '9');
}

}  // namespace

std::string DirectoryKey(std::string_view urlname) {
  std::string key;
  for (char c : Spelled(urlname)) {
    if (key.size() == 4) break;
    if (IsKeyCharacter(c)) key += AsciiUpper(c);
  }
  key.resize(4, '_');
  return key;
}

namespace {

// The five log entries; missing logs still give their (empty) entry.
void AppendLogs(std::string& sheet, std::string_view logs) {
  // The four elements of a log, found together in one pass per entry.
  static constexpr std::string_view kTags[] = {
      "groundspeak:date", "groundspeak:type", "groundspeak:finder",
      "groundspeak:text"};
  for (int entry = 0; entry < kLogEntries; ++entry) {
    size_t starts[std::size(kTags)];
    FindFirstTags(logs, kTags, starts);
    const std::string date = ExtractElementAt(logs, kTags[0], starts[0]);
    std::string type = ExtractElementAt(logs, kTags[1], starts[1]);
    const std::string finder = ExtractElementAt(logs, kTags[2], starts[2]);
    const std::string text = ExtractElementAt(logs, kTags[3], starts[3]);
    const size_t end = logs.find(kLogEnd);
    if (end != std::string_view::npos && end > 0) {
      logs = logs.substr(end + kLogEnd.size());
    }
    type = ReplaceAll(type, "Write note", "wrote note");
    type = ReplaceAll(type, "Publish Listing", "published Listing");
    type = ReplaceAll(type, "Found", "found");
    sheet += finder + " " + type + " " + date.substr(0, 10) + "\r\n";
    sheet += Spelled(text) + "\r\n\r\n\r\n";
  }
}

}  // namespace

std::string TextSheet(const CacheRecord& record) {
  std::string sheet;
  sheet.append(kRule).append(kRule).append(kRule);
  sheet += Spelled(record.name) + ": " + Spelled(record.urlname) + "\r\n";
  sheet += kRule;
  sheet += "by " + Spelled(record.placed_by) + " (d:" + record.difficulty +
           " / t:" + record.terrain + ")\r\n";
  sheet += record.container + " " + record.type + "\r\n";
  sheet += kRule;
  sheet.append(record.lat_degrees).append(kDegree).append(record.lat_minutes);
  sheet.append(" / ").append(record.lon_degrees).append(kDegree);
  sheet.append(record.lon_minutes).append("\r\n");
  sheet += "=\t\t\t\t=\r\n\r\n";
  sheet += TextDescription(record.raw_description);
  sheet += kSectionBreak;
  // Some exporters wrap the hints in CDATA; the tag stripping would swallow
  // them whole.
  sheet += "Hints:\r\n" +
           Spelled(HtmlToText(DropCdataMarkers(record.encoded_hints)));
  sheet += kSectionBreak;
  sheet += "Logs:\r\n\r\n";
  AppendLogs(sheet, record.logs);
  return sheet;
}

}  // namespace korvelo

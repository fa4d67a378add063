#include "output/text_writer.h"

#include <cstdint>

#include "input/text.h"
#include "platform/folders.h"
#include "platform/output_file.h"

namespace korvelo {
namespace {

// A sheet file takes further sheets while it stays below this size; the
// last file of a key takes everything.
constexpr int64_t kFileSizeLimit = 0x6C00;
constexpr int kLastFile = 100;
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

char AsciiUpper(char c) { return (c >= 'a' && c <= 'z') ? c - 'a' + 'A' : c; }

// The first four letters or digits of the spelled-out title, filled with
// "_" and in upper case: "Über den Wolken" gives UEBE.
std::string DirectoryKey(std::string_view urlname) {
  std::string key;
  for (char c : Spelled(urlname)) {
    if (key.size() == 4) break;
    if (IsKeyCharacter(c)) key += AsciiUpper(c);
  }
  key.resize(4, '_');
  return key;
}

// Creates D\K1, D\K1\K2 and D\K1\K2\K3 one level at a time, ignoring the
// results (a failure shows when the sheet file cannot be opened); returns
// the last one with a trailing backslash.
std::string CreateKeyFolders(const std::string& folder, std::string_view key) {
  std::string path = folder;
  for (size_t level = 0; level < 3; ++level) {
    if (level > 0) path += '\\';
    path += key[level];
    CreateFolder(path);
  }
  return path + '\\';
}

// The five log entries; missing logs still give their (empty) entry.
void AppendLogs(std::string& sheet, std::string_view logs) {
  for (int entry = 0; entry < kLogEntries; ++entry) {
    const std::string date = ExtractElement(logs, "groundspeak:date");
    std::string type = ExtractElement(logs, "groundspeak:type");
    const std::string finder = ExtractElement(logs, "groundspeak:finder");
    const std::string text = ExtractElement(logs, "groundspeak:text");
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

std::string Sheet(const CacheRecord& record) {
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
  sheet += record.text_description;
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

// The first file of the series that takes a sheet of `length` bytes.
std::string ChooseFile(const std::string& series, size_t length) {
  for (int number = 1;; ++number) {
    const std::string path = series + FormatText("%03d.txt", number);
    const int64_t size = FileSizeOrZero(path);
    if (number == kLastFile || size == 0 ||
        size + static_cast<int64_t>(length) < kFileSizeLimit) {
      return path;
    }
  }
}

}  // namespace

void WriteText(const CacheList& list, const std::string& folder) {
  for (const CacheRecord& record : list.records) {
    const std::string key = DirectoryKey(record.urlname);
    const std::string keyFolder = CreateKeyFolders(folder, key);
    const std::string sheet = Sheet(record);
    AppendToFile(ChooseFile(keyFolder + key[3] + "_caches", sheet.size()),
                 sheet);
  }
}

}  // namespace korvelo

// Helpers shared by the output tests: records and lists read with the record
// parser, and folder contents.
#ifndef KORVELO_TESTS_OUTPUT_GPX_LISTS_H_
#define KORVELO_TESTS_OUTPUT_GPX_LISTS_H_

#include <filesystem>
#include <map>
#include <string>

#include "cachelist/cache_list.h"
#include "input/waypoints.h"
#include "platform/input_file.h"
#include "support/test_support.h"

namespace korvelo::testing {

// A record parsed from a wpt element at 50.1 N 8.2 E with these texts.
inline CacheRecord Wpt(const std::string& code, const std::string& title,
                       const std::string& type) {
  return CacheRecord(
      "<wpt lat=\"50.1\" lon=\"8.2\"><name>" + code + "</name><urlname>" +
      title + "</urlname><groundspeak:type>" + type + "</groundspeak:type>");
}

// Adds `title` to the titles and one record per complete wpt element of the
// file, each with `file` set to `title`.
inline void AppendGpxFile(CacheList& list, const std::string& path,
                          const std::string& title) {
  InputFile input(path);
  WaypointCutter cutter(
      [&input](char* data, size_t size) { return input.Read(data, size); });
  list.titles.push_back(title);
  std::string_view wpt;
  while (cutter.Next(wpt)) {
    CacheRecord record(wpt);
    record.file = title;
    list.Append(std::move(record));
  }
}

// Every file below `dir`, by its path relative to it, with its bytes.
inline std::map<std::string, std::string> FilesBelow(const std::string& dir) {
  namespace fs = std::filesystem;
  std::map<std::string, std::string> files;
  for (const auto& entry : fs::recursive_directory_iterator(dir)) {
    if (!entry.is_regular_file()) continue;
    files[fs::relative(entry.path(), dir)] = ReadFileOrFail(entry.path());
  }
  return files;
}

}  // namespace korvelo::testing

#endif  // KORVELO_TESTS_OUTPUT_GPX_LISTS_H_

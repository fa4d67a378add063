// Helpers shared by the output and reader tests: records and lists read
// with the record parser, hostile texts, and folder contents.
#ifndef KORVELO_TESTS_OUTPUT_GPX_LISTS_H_
#define KORVELO_TESTS_OUTPUT_GPX_LISTS_H_

#include <filesystem>
#include <map>
#include <string>
#include <vector>

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

// Texts no writer should trust, as they stand in a GPX element, and what a
// reader of the map made of them sees (bad bytes as U+FFFD).
struct HostileText {
  std::string raw, read;
};

inline std::vector<HostileText> HostileTexts() {
  const std::string fffd = "\xEF\xBF\xBD";
  return {{"a ]]> b", "a ]]> b"},
          {"x</description><b>", "x</description><b>"},
          {"<![CDATA[<i>]]>]]>", "<i>]]>"},
          {"bell\x07 nul-free \x1F end",
           "bell" + fffd + " nul-free " + fffd + " end"},
          {"latin1 \xE4 and \xC3", "latin1 " + fffd + " and " + fffd},
          {"overlong \xC0\xAF, surrogate \xED\xA0\x80",
           "overlong " + fffd + fffd + ", surrogate " + fffd + fffd + fffd},
          {"U+FFFE \xEF\xBF\xBE", "U+FFFE " + fffd + fffd + fffd},
          {"&amp;lt; &bogus; &#228; &#x1F600; &",
           "&lt; &bogus; \xC3\xA4 \xF0\x9F\x98\x80 &"},
          // A reader takes a CR for a line end and reads it as LF.
          {"tab\tline\ncr\r", "tab\tline\ncr\n"}};
}

// A cache of `type` per hostile text, GC0 ..., with it as title and
// description, in the file "pq".
inline CacheList HostileList(const std::string& type) {
  CacheList list;
  list.titles = {"pq"};
  for (const HostileText& text : HostileTexts()) {
    CacheRecord record(Wpt("GC" + std::to_string(list.GetSize()), "n", type));
    record.urlname = text.raw;
    record.raw_description = text.raw;
    record.url = "https://x.example/?a=1&amp;b=\"2\"";
    record.file = "pq";
    list.Append(std::move(record));
  }
  return list;
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

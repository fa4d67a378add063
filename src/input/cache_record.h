// CacheRecord: one geocache as read from one GPX wpt element.
#ifndef KORVELO_INPUT_CACHE_RECORD_H_
#define KORVELO_INPUT_CACHE_RECORD_H_

#include <string>
#include <string_view>

namespace korvelo {

struct CacheRecord {
  CacheRecord() = default;
  // A default record parsed from the text of one wpt element.
  explicit CacheRecord(std::string_view wpt) { Parse(wpt); }

  // Fills every field but `file` and `moved` from the text of one wpt
  // element (from "<wpt" up to, not including, "</wpt>"). Never reads outside
  // `wpt` and never fails: missing elements give empty fields.
  void Parse(std::string_view wpt);

  std::string file;  // base name of the input file (set by the loader)
  std::string name;  // waypoint code: the record's key
  std::string desc;
  std::string url;
  std::string urlname;  // cache title
  std::string type;
  std::string long_description;  // link prefix + raw description
  std::string placed_by;
  std::string container;
  std::string difficulty;
  std::string terrain;
  std::string encoded_hints;
  std::string logs;
  std::string owner;  // equals placed_by after parsing
  std::string raw_description;
  std::string text_description;
  std::string padded_title;
  std::string search_title;
  std::string lat_degrees;
  std::string lon_degrees;
  std::string lat_minutes;
  std::string lon_minutes;
  std::string lat;
  std::string lon;
  bool moved = false;
  bool unavailable = false;
};

}  // namespace korvelo

#endif  // KORVELO_INPUT_CACHE_RECORD_H_

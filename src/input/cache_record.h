// CacheRecord: one geocache as read from one GPX wpt element.
#ifndef KORVELO_INPUT_CACHE_RECORD_H_
#define KORVELO_INPUT_CACHE_RECORD_H_

#include <string>
#include <string_view>

namespace korvelo {

// What a load copies out of each waypoint. A run copies only what its
// outputs read: without the plain-text sheets the hints, the logs and the
// short description stay behind in the file, and a list that is only matched
// by code (the exclusion folder's) keeps the code alone.
enum class RecordTexts { kAll, kNoSheetTexts, kCodeOnly };

// Only what the file holds is stored; the forms derived from it (the
// description with its link, the plain-text description, the keyword titles)
// are made by the functions below where they are written, so a record costs
// its texts and a small fixed size.
struct CacheRecord {
  CacheRecord() = default;
  // A default record parsed from the text of one wpt element.
  explicit CacheRecord(std::string_view wpt,
                       RecordTexts texts = RecordTexts::kAll) {
    Parse(wpt, texts);
  }

  // Fills every field that `texts` takes but `file` and `moved` from the text
  // of one wpt element (from "<wpt" up to, not including, "</wpt>"); the
  // others stay empty. Never reads outside `wpt` and never fails: missing
  // elements give empty fields.
  void Parse(std::string_view wpt, RecordTexts texts = RecordTexts::kAll);

  std::string file;  // base name of the input file (set by the loader)
  std::string name;  // waypoint code: the record's key
  std::string desc;
  std::string url;
  std::string urlname;  // cache title
  std::string type;
  std::string placed_by;  // also the owner that the owner exclusion compares
  std::string container;
  std::string difficulty;
  std::string terrain;
  std::string encoded_hints;
  std::string logs;
  std::string raw_description;  // the long description as the file holds it
  std::string lat_degrees;
  std::string lon_degrees;
  std::string lat_minutes;
  std::string lon_minutes;
  std::string lat;
  std::string lon;
  bool moved = false;
  bool unavailable = false;
};

// "<A HREF='" + url + "'>" + name + "</A>: ", which the KML description
// puts in front of the raw description.
std::string LinkPrefix(const CacheRecord& record);
// The same appended to `out`.
void AppendLinkPrefix(std::string& out, const CacheRecord& record);

// The description as plain text: line breaks normalised, entities and
// breaks decoded, links marked "[[" "]]", tags stripped, umlauts spelled.
std::string TextDescription(std::string_view raw_description);

// The title between two blanks, with , . : - " ( ) ! turned into blanks.
std::string PaddedTitle(std::string_view urlname);

}  // namespace korvelo

#endif  // KORVELO_INPUT_CACHE_RECORD_H_

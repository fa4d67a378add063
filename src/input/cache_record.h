// CacheRecord: one geocache as read from one GPX wpt element.
#ifndef KORVELO_INPUT_CACHE_RECORD_H_
#define KORVELO_INPUT_CACHE_RECORD_H_

#include <memory>
#include <string>
#include <string_view>

#include "input/record_text.h"

namespace korvelo {

// What a load copies out of each waypoint. A run copies only what its
// outputs read: without the plain-text sheets the hints, the logs and the
// short description stay behind in the file, and a list that is only matched
// by code (the exclusion folder's) keeps the code alone.
enum class RecordTexts { kAll, kNoSheetTexts, kCodeOnly };

// Only what the file holds is stored; the forms derived from it (the
// description with its link, the plain-text description, the keyword titles)
// are made by the functions below where they are written. A record is a
// plain value of at most 168 bytes: its texts are views of one block that
// the parser fills with all of a waypoint's texts at once, and an empty text
// costs nothing, so a file of millions of empty waypoints stays small.
// Fields are read like std::string_view; assigning one (the moves, tests)
// gives it its own copy, and copying a record copies its block.
struct CacheRecord {
  CacheRecord() = default;
  // A default record parsed from the text of one wpt element.
  explicit CacheRecord(std::string_view wpt,
                       RecordTexts texts = RecordTexts::kAll) {
    Parse(wpt, texts);
  }
  CacheRecord(const CacheRecord& other);
  CacheRecord& operator=(const CacheRecord& other);
  CacheRecord(CacheRecord&&) noexcept = default;
  CacheRecord& operator=(CacheRecord&& other) noexcept;
  ~CacheRecord() = default;

  // Fills every field that `texts` takes but `file` and `moved` from the text
  // of one wpt element (from "<wpt" up to, not including, "</wpt>"); the
  // others become empty. Never reads outside `wpt` and never fails on its
  // content: missing elements give empty fields.
  void Parse(std::string_view wpt, RecordTexts texts = RecordTexts::kAll);

 private:
  // The texts of the fields that point into it; null when none does.
  // Declared first, so it goes after the fields that look into it.
  std::unique_ptr<char[], RecordBlockDeleter> block_;

 public:
  RecordText file;  // base name of the input file (set by the loader)
  RecordText name;  // waypoint code: the record's key
  RecordText desc;
  RecordText url;
  RecordText urlname;  // cache title
  RecordText type;
  RecordText placed_by;  // also the owner that the owner exclusion compares
  RecordText container;
  RecordText difficulty;
  RecordText terrain;
  RecordText encoded_hints;
  RecordText logs;
  RecordText raw_description;  // the long description as the file holds it
  RecordText lat_degrees;
  RecordText lon_degrees;
  RecordText lat_minutes;
  RecordText lon_minutes;
  RecordText lat;
  RecordText lon;
  bool moved = false;
  bool unavailable = false;
};

// Appends "<A HREF='" + url + "'>" + name + "</A>: ", which the KML
// description puts in front of the raw description, to `out`.
void AppendLinkPrefix(std::string& out, const CacheRecord& record);

// The title between two blanks, with , . : - " ( ) ! turned into blanks.
std::string PaddedTitle(std::string_view urlname);

}  // namespace korvelo

#endif  // KORVELO_INPUT_CACHE_RECORD_H_

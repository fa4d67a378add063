#include "output/gpx_writer.h"

#include <charconv>
#include <optional>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "input/paths.h"
#include "output/file_function.h"
#include "output/gpx_waypoint.h"
#include "platform/output_file.h"

#ifndef KORVELO_VERSION
#error "the version comes from the build (KORVELO_VERSION)"
#endif

namespace korvelo {
namespace {

constexpr std::string_view kDeclaration =
    "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n";
constexpr std::string_view kRootStart =
    "<gpx xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" "
    "xmlns:xsd=\"http://www.w3.org/2001/XMLSchema\" version=\"1.0\" "
    "creator=\"Korvelo " KORVELO_VERSION
    "\" "
    "xsi:schemaLocation=\"http://www.topografix.com/GPX/1/0 "
    "http://www.topografix.com/GPX/1/0/gpx.xsd "
    "http://www.groundspeak.com/cache/1/0/1 "
    "http://www.groundspeak.com/cache/1/0/1/cache.xsd\" "
    "xmlns=\"http://www.topografix.com/GPX/1/0\"";

// One waypoint as written: its original text or, when edited, the edit.
struct Piece {
  std::string_view text;
  std::optional<std::string> edited;
  std::string_view lat, lon;  // the coordinate texts it is written with

  std::string_view bytes() const { return edited ? *edited : text; }
};

// A waypoint's code without the two letters that tell what kind of point
// it is (GC for the cache, PK for its parking, S1 for a stage ...).
std::string_view Key(std::string_view code) {
  return code.size() > 2 ? code.substr(2) : std::string_view();
}

// The additional waypoints of each key, in file order.
using ByKey = std::unordered_map<std::string_view, std::vector<size_t>>;

Piece CachePiece(const CacheRecord& record, std::string_view text,
                 int function) {
  Piece piece{text, std::nullopt, {}, {}};
  if (record.moved) {
    piece.edited = MovedWaypoint(text, record.lat, record.lon);
    piece.lat = record.lat;
    piece.lon = record.lon;
  } else {
    piece.lat = StartTagAttribute(text, "lat");
    piece.lon = StartTagAttribute(text, "lon");
  }
  if (function == kFunctionFound) {
    piece.edited = FoundWaypoint(piece.bytes());
  }
  return piece;
}

// Every waypoint to write, in writing order.
std::vector<Piece> PlanPieces(const CacheList& list, int function) {
  const OriginalWaypoints& originals = list.originals;
  const std::vector<AdditionalWaypoint>& additional = originals.additional();
  ByKey by_key;
  for (size_t i = 0; i < additional.size(); ++i) {
    const std::string_view key = Key(additional[i].code);
    if (!key.empty()) by_key[key].push_back(i);
  }
  // A waypoint that is also written as a cache is not written again.
  std::unordered_set<std::string_view> cache_codes;
  for (const CacheRecord& record : list.records) {
    if (originals.CacheText(record.name) != nullptr) {
      cache_codes.insert(record.name);
    }
  }
  std::vector<Piece> pieces;
  std::vector<bool> written(additional.size(), false);
  for (const CacheRecord& record : list.records) {
    const std::string_view* text = originals.CacheText(record.name);
    if (text == nullptr) continue;
    pieces.push_back(CachePiece(record, *text, function));
    const auto found = by_key.find(Key(record.name));
    if (found == by_key.end()) continue;
    for (size_t i : found->second) {
      if (written[i] || cache_codes.count(additional[i].code) != 0) continue;
      written[i] = true;
      const std::string_view wpt = additional[i].text;
      pieces.push_back({wpt, std::nullopt, StartTagAttribute(wpt, "lat"),
                        StartTagAttribute(wpt, "lon")});
    }
  }
  return pieces;
}

// The smallest and largest value of one axis, kept as the texts written.
struct Range {
  double low = 0, high = 0;
  std::string_view low_text, high_text;
  bool any = false;

  void Add(std::string_view text) {
    double value = 0;
    const auto [end, error] =
        std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) return;
    if (!any || value < low) low = value, low_text = text;
    if (!any || value > high) high = value, high_text = text;
    any = true;
  }
};

void WriteHeader(std::ostream& out, const CacheList& list,
                 const std::vector<Piece>& pieces) {
  out << kDeclaration << kRootStart;
  for (std::string_view declaration : list.originals.namespaces()) {
    // The root declares these two itself.
    if (declaration.starts_with("xmlns:xsi=") ||
        declaration.starts_with("xmlns:xsd=")) {
      continue;
    }
    out << ' ' << declaration;
  }
  out << ">\r\n  <name>" << EscapeXml(BaseName(list.name)) << "</name>\r\n";
  Range lat, lon;
  for (const Piece& piece : pieces) {
    lat.Add(piece.lat);
    lon.Add(piece.lon);
  }
  if (lat.any && lon.any) {
    out << "  <bounds minlat=\"" << EscapeXml(lat.low_text) << "\" minlon=\""
        << EscapeXml(lon.low_text) << "\" maxlat=\"" << EscapeXml(lat.high_text)
        << "\" maxlon=\"" << EscapeXml(lon.high_text) << "\" />\r\n";
  }
}

}  // namespace

void WriteGpx(const CacheList& list, int function, std::ostream& out) {
  const std::vector<Piece> pieces = PlanPieces(list, function);
  WriteHeader(out, list, pieces);
  for (const Piece& piece : pieces) {
    const std::string_view bytes = piece.bytes();
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out << "</wpt>\r\n";
  }
  out << "</gpx>\r\n";
}

void WriteGpxFile(const CacheList& list, const std::string& path,
                  int function) {
  WriteFileAtomically(
      path, [&](std::ostream& out) { WriteGpx(list, function, out); });
}

}  // namespace korvelo

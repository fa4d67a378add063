#include "output/gpx_writer.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <functional>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "cachelist/original_text_reader.h"
#include "input/paths.h"
#include "input/read_ahead.h"
#include "output/file_function.h"
#include "output/gpx_waypoint.h"
#include "output/xml_text.h"
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

// One waypoint to write: its kept text, the record whose edits it takes
// (null for an additional waypoint), and the coordinate texts it is written
// with.
struct Piece {
  const KeptText* text;
  const CacheRecord* record;
  std::string_view lat, lon;
};

// A waypoint's code without the two letters that tell what kind of point
// it is (GC for the cache, PK for its parking, S1 for a stage ...).
std::string_view Key(std::string_view code) {
  return code.size() > 2 ? code.substr(2) : std::string_view();
}

// The additional waypoints of each key, in file order.
using ByKey = std::unordered_map<std::string_view, std::vector<size_t>>;

Piece CachePiece(const CacheRecord& record, const KeptText& text) {
  if (record.moved) return {&text, &record, record.lat, record.lon};
  return {&text, &record, StartTagAttribute(text.start_tag, "lat"),
          StartTagAttribute(text.start_tag, "lon")};
}

// The additional waypoints that follow the cache `code`, each once, none
// that is written as a cache itself.
void AppendAdditional(std::string_view code, const OriginalWaypoints& originals,
                      const ByKey& by_key,
                      const std::unordered_set<std::string_view>& cache_codes,
                      std::vector<bool>& written, std::vector<Piece>& pieces) {
  const auto found = by_key.find(Key(code));
  if (found == by_key.end()) return;
  const std::vector<AdditionalWaypoint>& additional = originals.additional();
  for (size_t i : found->second) {
    if (written[i] || cache_codes.count(additional[i].code) != 0) continue;
    written[i] = true;
    const KeptText& text = additional[i].text;
    pieces.push_back({&text, nullptr, StartTagAttribute(text.start_tag, "lat"),
                      StartTagAttribute(text.start_tag, "lon")});
  }
}

// Every waypoint to write, in writing order.
std::vector<Piece> PlanPieces(const CacheList& list) {
  const OriginalWaypoints& originals = list.originals;
  std::vector<Piece> caches;
  caches.reserve(list.records.size());
  size_t cursor = 0;
  for (const CacheRecord& record : list.records) {
    const KeptText* text = originals.CacheText(record.name, cursor);
    if (text != nullptr) caches.push_back(CachePiece(record, *text));
  }
  const std::vector<AdditionalWaypoint>& additional = originals.additional();
  if (additional.empty()) return caches;
  ByKey by_key;
  for (size_t i = 0; i < additional.size(); ++i) {
    const std::string_view key = Key(additional[i].code);
    if (!key.empty()) by_key[key].push_back(i);
  }
  // A waypoint that is also written as a cache is not written again.
  std::unordered_set<std::string_view> cache_codes;
  for (const Piece& cache : caches) cache_codes.insert(cache.record->name);
  std::vector<Piece> pieces;
  pieces.reserve(caches.size() + additional.size());
  std::vector<bool> written(additional.size(), false);
  for (const Piece& cache : caches) {
    pieces.push_back(cache);
    AppendAdditional(cache.record->name, originals, by_key, cache_codes,
                     written, pieces);
  }
  return pieces;
}

// The waypoints of a plan as the bytes of the document's body, each text
// as it stands or, for a moved or found cache, edited, and its end tag. It
// runs on a ReadAhead thread, so that reading the kept texts again and
// checking them overlaps with writing the bytes before them.
class GpxBody {
 public:
  GpxBody(const std::vector<Piece>& pieces, const OriginalWaypoints& originals,
          int function)
      : pieces_(pieces), reader_(originals), function_(function) {}

  // Fills `size` bytes unless the body ends first; 0 at its end.
  size_t operator()(char* data, size_t size) {
    size_t filled = 0;
    while (filled < size) {
      if (pending_.empty() && !NextPiece()) break;
      const size_t count = std::min(size - filled, pending_.size());
      std::memcpy(data + filled, pending_.data(), count);
      pending_.remove_prefix(count);
      filled += count;
    }
    return filled;
  }

 private:
  static constexpr std::string_view kEndTag = "</wpt>\r\n";

  // Moves on to the next text, or to the end tag of the one just given.
  bool NextPiece() {
    if (end_tag_due_) {
      end_tag_due_ = false;
      pending_ = kEndTag;
      return true;
    }
    if (next_ == pieces_.size()) return false;
    const Piece& piece = pieces_[next_++];
    pending_ = reader_.Read(*piece.text);  // valid until the next Read
    if (piece.record != nullptr && piece.record->moved) {
      edited_ = MovedWaypoint(pending_, piece.lat, piece.lon);
      pending_ = edited_;
    }
    if (piece.record != nullptr && function_ == kFunctionFound) {
      edited_ = FoundWaypoint(pending_);
      pending_ = edited_;
    }
    end_tag_due_ = true;
    return true;
  }

  const std::vector<Piece>& pieces_;
  OriginalTextReader reader_;
  const int function_;
  size_t next_ = 0;
  std::string_view pending_;  // bytes of the current piece not yet given
  std::string edited_;
  bool end_tag_due_ = false;
};

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
  const std::vector<Piece> pieces = PlanPieces(list);
  GpxBody body(pieces, list.originals, function);
  ReadAhead ahead(std::ref(body));
  WriteHeader(out, list, pieces);
  // The pieces are large enough to pass the output's buffer and go to the
  // file at once.
  for (std::string_view bytes; !(bytes = ahead.Take()).empty();) {
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  }
  out << "</gpx>\r\n";
}

void WriteGpxFile(const CacheList& list, const std::string& path,
                  int function) {
  WriteFileAtomically(
      path, [&](std::ostream& out) { WriteGpx(list, function, out); });
}

}  // namespace korvelo

#include "output/kml_writer.h"

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "input/paths.h"
#include "output/cache_types.h"
#include "output/icons.h"
#include "platform/output_file.h"

namespace korvelo {
namespace {

// What one KML document holds besides the caches.
struct KmlDocument {
  std::string name;  // the document's name element
  int function = 1;  // FileFunction of the run
  bool smallIcons = false;
  bool showDisabled = false;
  // Per-type file: only this row of kCacheTypes, with its style line.
  std::optional<size_t> onlyRow;
  // Per-input file: only the records whose `file` equals this title.
  std::optional<std::string> onlyFile;
};

constexpr std::string_view kHeader =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
    "<kml xmlns=\"http://earth.google.com/kml/2.0\">\r\n"
    "<Document>\r\n";
constexpr std::string_view kEnd = "</Document>\r\n</kml>\r\n";

// How the role of the input files shows in a document.
struct FunctionLook {
  int function;
  std::string_view document_name;
  std::string_view height;       // third coordinate, metres above ground
  std::string_view scale;        // document icon scale, normal icons
  std::string_view small_scale;  // document icon scale, small icons
  bool placemark_scale;          // small icons also scale each placemark
};

constexpr FunctionLook kFunctionLooks[] = {
    {kFunctionComplete, "", "0", "1.0", "0.7", false},
    {kFunctionFound, "My finds", "10", "1.4", "1.0", true},
    {kFunctionMine, "My caches", "15", "1.4", "1.0", true},
    {kFunctionDisabled, "Disabled", "5", "1.4", "1.0", true},
    {kFunctionMarked, "Marked", "0", "1.4", "1.0", true},
    // The last row also stands for every value not listed.
    {kFunctionNone, "", "0", "1.4", "1.0", true},
};

const FunctionLook& LookOf(int function) {
  for (const FunctionLook& look : kFunctionLooks) {
    if (look.function == function) return look;
  }
  return std::end(kFunctionLooks)[-1];
}

struct ListStyle {
  std::string_view id;
  Icon icon;
};

// The list icons of the type folders, in the order Google Earth gets them.
constexpr ListStyle kListStyles[] = {
    {"Virtual", Icon::kVirtual},
    {"Letterbox", Icon::kLetterbox},
    {"Event", Icon::kEvent},
    {"MegaEvent", Icon::kMegaEvent},
    {"Unknown", Icon::kUnknown},
    {"Webcam", Icon::kWebcam},
    {"CITO", Icon::kCito},
    {"Earth", Icon::kEarthcache},
    {"Multi", Icon::kMulti},
    {"Tradi", Icon::kTraditional},
    {"Wherigo", Icon::kWherigo},
    {"MultiSolved", Icon::kMultiSolved},
    {"UnknownSolved", Icon::kUnknownSolved},
};

// Sixteen lines; the last has no line end, so the first folder follows on
// the same line.
void WriteStyleBlock(std::ostream& out, std::string_view scale) {
  out << "<Style id=\"hoverIcon0\"><IconStyle><scale>1.3</scale>"
         "</IconStyle></Style>\r\n"
      << "<Style id=\"defaultIcon0\"><LabelStyle><scale>0</scale>"
         "</LabelStyle><IconStyle><scale>"
      << scale << "</scale></IconStyle></Style>\r\n";
  for (const ListStyle& style : kListStyles) {
    out << "<Style id=\"Style_" << style.id << "\"><ListStyle><ItemIcon><href>"
        << IconUrl(style.icon) << "</href></ItemIcon></ListStyle></Style>\r\n";
  }
  out << "<StyleMap id=\"defaultStyle1\"><Pair><key>normal</key>"
         "<styleUrl>#defaultIcon0</styleUrl></Pair><Pair><key>highlight</key>"
         "<styleUrl>#hoverIcon0</styleUrl></Pair></StyleMap>";
}

// A placemark is put together in `buffer` and handed to the stream in one
// piece: an insertion per field would cost more than the whole copy.
void WritePlacemark(std::ostream& out, std::string& buffer,
                    const CacheRecord& record, const KmlDocument& document,
                    const FunctionLook& look) {
  const bool scaled = document.smallIcons && look.placemark_scale;
  buffer.assign("<Placemark><name>").append(record.urlname);
  buffer.append("</name><description>");
  AppendLinkPrefix(buffer, record);
  buffer.append(record.raw_description);
  buffer.append(
      "</description><styleUrl>#defaultStyle1</styleUrl><Point>"
      "<altitudeMode>relativeToGround</altitudeMode><coordinates>");
  buffer.append(record.lon).append(",").append(record.lat).append(",");
  buffer.append(look.height);
  buffer.append("</coordinates></Point><Style><IconStyle><Icon><href>");
  buffer.append(IconHref(record, document.function, document.showDisabled));
  buffer.append("</href></Icon>");
  if (scaled) buffer.append("<scale>1.0</scale>");
  buffer.append("</IconStyle></Style></Placemark>");
  out.write(buffer.data(), static_cast<std::streamsize>(buffer.size()));
}

using Records = std::vector<const CacheRecord*>;

// The records of each type row, in list order.
std::vector<Records> RecordsByRow(const Records& records) {
  std::vector<Records> rows(std::size(kCacheTypes));
  for (const CacheRecord* record : records) {
    for (size_t row = 0; row < rows.size(); ++row) {
      if (IsOfType(record->type, kCacheTypes[row])) {
        rows[row].push_back(record);
        break;
      }
    }
  }
  return rows;
}

// Pass 0 holds the caches at their listed place, pass 1 (solvable rows
// only) the ones moved to solved coordinates.
void WriteFolder(std::ostream& out, const CacheTypeRow& row, bool solved,
                 const std::vector<const CacheRecord*>& records,
                 const KmlDocument& document, const FunctionLook& look) {
  out << "<Folder>\r\n<name>" << row.type_name << (solved ? " Solved" : "")
      << "</name>\n\n<styleUrl>Style_" << row.short_name
      << (solved ? "Solved" : "") << "</styleUrl>\n\n<open>0</open>\r\n";
  std::string buffer;
  for (const CacheRecord* record : records) {
    if (row.solvable && record->moved != solved) continue;
    WritePlacemark(out, buffer, *record, document, look);
  }
  out << "</Folder>\r\n";
}

// Writes one whole document holding `records` (those it takes).
void WriteDocument(std::ostream& out, const Records& records,
                   const KmlDocument& document) {
  const FunctionLook& look = LookOf(document.function);
  out << kHeader << "<name>" << document.name << "</name>";
  if (document.onlyRow) {
    out << "<styleUrl>Style_" << kCacheTypes[*document.onlyRow].short_name
        << "</styleUrl>";
  }
  WriteStyleBlock(out, document.smallIcons ? look.small_scale : look.scale);
  const std::vector<Records> rows = RecordsByRow(records);
  for (size_t row = 0; row < rows.size(); ++row) {
    if (document.onlyRow && *document.onlyRow != row) continue;
    for (bool solved : {false, true}) {
      if (solved && !kCacheTypes[row].solvable) continue;
      WriteFolder(out, kCacheTypes[row], solved, rows[row], document, look);
    }
  }
  out << kEnd;
}

struct KmlFile {
  std::string path;
  KmlDocument document;
};

// The files of one call, in writing order.
std::vector<KmlFile> PlanFiles(const CacheList& list, const std::string& path,
                               const KmlDocument& base, int mode) {
  if (base.function != kFunctionComplete) {
    KmlDocument document = base;
    document.name = LookOf(base.function).document_name;
    return {{path, document}};
  }
  if (mode != 0 && mode != 1) return {{path, base}};
  const std::string folder = WithTrailingBackslash(FolderOf(path));
  std::vector<KmlFile> files;
  if (mode == 0) {
    for (const std::string& title : list.titles) {
      KmlDocument document = base;
      document.name = title;
      document.onlyFile = title;
      files.push_back({folder + title + ".kml", document});
    }
    return files;
  }
  const std::string prefix = BaseName(path) + "_";
  for (size_t row = 0; row < std::size(kCacheTypes); ++row) {
    KmlDocument document = base;
    document.name = prefix + std::string(kCacheTypes[row].short_name);
    document.onlyRow = row;
    files.push_back({folder + document.name + ".kml", document});
  }
  return files;
}

}  // namespace

void WriteKml(const CacheList& list, const std::string& path, int function,
              const ConversionSettings& settings) {
  KmlDocument base;
  base.function = function;
  base.smallIcons = settings.bSmallIcons;
  base.showDisabled = settings.bShowDisable;
  Records all;
  all.reserve(list.records.size());
  for (const CacheRecord& record : list.records) all.push_back(&record);
  // A file per input title takes that input's records: they are grouped by
  // file once, not looked for in the whole list for every title.
  std::unordered_map<std::string_view, Records> by_file;
  if (function == kFunctionComplete && settings.OutputKmlDirFileMode == 0) {
    for (const CacheRecord* record : all)
      by_file[record->file].push_back(record);
  }
  for (const KmlFile& file :
       PlanFiles(list, path, base, settings.OutputKmlDirFileMode)) {
    const Records* records = &all;
    if (file.document.onlyFile) {
      static const Records kNone;
      const auto found = by_file.find(*file.document.onlyFile);
      records = found == by_file.end() ? &kNone : &found->second;
    }
    WriteFileAtomically(file.path, [&](std::ostream& out) {
      WriteDocument(out, *records, file.document);
    });
  }
}

}  // namespace korvelo

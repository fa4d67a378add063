#include "output/kml_writer.h"

#include <string>
#include <string_view>
#include <vector>

#include "output/cache_types.h"
#include "output/icons.h"
#include "output/map_plan.h"
#include "platform/output_file.h"

namespace korvelo {
namespace {

constexpr std::string_view kHeader =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
    "<kml xmlns=\"http://earth.google.com/kml/2.0\">\r\n"
    "<Document>\r\n";
constexpr std::string_view kEnd = "</Document>\r\n</kml>\r\n";

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
                    const CacheRecord& record, const MapDocument& document,
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

// Pass 0 holds the caches at their listed place, pass 1 (solvable rows
// only) the ones moved to solved coordinates.
void WriteFolder(std::ostream& out, const CacheTypeRow& row, bool solved,
                 const std::vector<const CacheRecord*>& records,
                 const MapDocument& document, const FunctionLook& look) {
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
                   const MapDocument& document) {
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

}  // namespace

void WriteKml(const CacheList& list, const std::string& path, int function,
              const ConversionSettings& settings) {
  const MapRecords records(list, function, settings);
  for (const MapFile& file : PlanMapFiles(list, path, function, settings)) {
    WriteFileAtomically(file.path, [&](std::ostream& out) {
      WriteDocument(out, records.Of(file.document), file.document);
    });
  }
}

}  // namespace korvelo

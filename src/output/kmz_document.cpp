#include "output/kmz_document.h"

#include <algorithm>
#include <string>

#include "output/xml_text.h"

namespace korvelo {
namespace {

constexpr std::string_view kHeader =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<kml xmlns=\"http://www.opengis.net/kml/2.2\">\n"
    "<Document>\n";
constexpr std::string_view kEnd = "</Document>\n</kml>\n";

// Style ids are the icon's file name without ".png"; file names are the
// program's own, so they need no escaping.
std::string_view StyleIdOf(std::string_view icon) {
  if (icon.empty()) return "icon_none";
  return icon.substr(0, icon.rfind('.'));
}

void AppendIconStyle(std::string& out, std::string_view scale,
                     std::string_view icon) {
  out.append("<IconStyle><scale>").append(scale).append("</scale>");
  if (!icon.empty()) {
    out.append("<Icon><href>")
        .append(IconEntryName(icon))
        .append("</href></Icon>");
  }
  out.append("</IconStyle>");
}

// The shared look of the placemarks with one icon: label hidden until the
// pointer is on the icon, which then grows.
void AppendPlacemarkStyle(std::string& out, const KmzPart& part,
                          std::string_view icon) {
  const std::string_view id = StyleIdOf(icon);
  out.append("<Style id=\"").append(id).append("_normal\">");
  AppendIconStyle(out, part.icon_scale, icon);
  out.append("<LabelStyle><scale>0</scale></LabelStyle></Style>\n");
  out.append("<Style id=\"").append(id).append("_hover\">");
  AppendIconStyle(out, part.hover_scale, icon);
  out.append("</Style>\n");
  out.append("<StyleMap id=\"").append(id).append("\">");
  out.append("<Pair><key>normal</key><styleUrl>#").append(id);
  out.append("_normal</styleUrl></Pair><Pair><key>highlight</key><styleUrl>#");
  out.append(id).append("_hover</styleUrl></Pair></StyleMap>\n");
}

void WriteStyles(std::ostream& out, const KmzPart& part) {
  std::string text;
  std::vector<std::string_view> listed;
  for (const KmzFolder& folder : part.folders) {
    if (std::find(listed.begin(), listed.end(), folder.style_id) !=
        listed.end()) {
      continue;
    }
    listed.push_back(folder.style_id);
    text.append("<Style id=\"")
        .append(folder.style_id)
        .append("\"><ListStyle>");
    if (!folder.list_icon.empty()) {
      text.append("<ItemIcon><href>").append(IconEntryName(folder.list_icon));
      text.append("</href></ItemIcon>");
    }
    text.append("</ListStyle></Style>\n");
  }
  std::vector<std::string_view> icons;
  for (const KmzFolder& folder : part.folders) {
    for (const KmzPlacemark& placemark : folder.placemarks) {
      if (std::find(icons.begin(), icons.end(), placemark.icon) !=
          icons.end()) {
        continue;
      }
      icons.push_back(placemark.icon);
      AppendPlacemarkStyle(text, part, placemark.icon);
    }
  }
  out << text;
}

// The description as the reader shows it: a link to the cache page, then
// the owner's HTML.
void AppendDescription(std::string& out, std::string& html,
                       const CacheRecord& record) {
  html.assign("<a href=\"");
  AppendXmlText(html, DecodeXmlContent(record.url), true);
  html.append("\">");
  AppendXmlText(html, DecodeXmlContent(record.name));
  html.append("</a>: ");
  AppendDecodedXmlContent(html, record.raw_description);
  // HTML reads (and packs) better as CDATA than with every "<" escaped.
  AppendXmlCdata(out, html);
}

void AppendPlacemark(std::string& out, std::string& html,
                     const KmzPlacemark& placemark, const KmzPart& part) {
  const CacheRecord& record = *placemark.record;
  out.append("<Placemark><name>");
  AppendXmlText(out, DecodeXmlContent(record.urlname));
  out.append("</name><description>");
  AppendDescription(out, html, record);
  out.append("</description><styleUrl>#").append(StyleIdOf(placemark.icon));
  out.append(
      "</styleUrl><Point><altitudeMode>relativeToGround</altitudeMode>"
      "<coordinates>");
  AppendXmlText(out, record.lon);
  out += ',';
  AppendXmlText(out, record.lat);
  out += ',';
  out.append(part.height).append("</coordinates></Point></Placemark>\n");
}

void WriteFolder(std::ostream& out, const KmzFolder& folder,
                 const KmzPart& part) {
  std::string text = "<Folder><name>";
  AppendXmlText(text, DecodeXmlContent(folder.name));
  text.append("</name><open>0</open><styleUrl>#").append(folder.style_id);
  text.append("</styleUrl>\n");
  out << text;
  std::string html;
  for (const KmzPlacemark& placemark : folder.placemarks) {
    text.clear();
    AppendPlacemark(text, html, placemark, part);
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
  }
  out << "</Folder>\n";
}

}  // namespace

std::string IconEntryName(std::string_view icon) {
  return "icons/" + std::string(icon);
}

std::vector<std::string_view> IconsOfPart(const KmzPart& part) {
  std::vector<std::string_view> icons;
  const auto add = [&](std::string_view icon) {
    if (!icon.empty() &&
        std::find(icons.begin(), icons.end(), icon) == icons.end()) {
      icons.push_back(icon);
    }
  };
  for (const KmzFolder& folder : part.folders) {
    add(folder.list_icon);
    for (const KmzPlacemark& placemark : folder.placemarks) add(placemark.icon);
  }
  return icons;
}

void WriteKmzDocument(std::ostream& out, const KmzPart& part) {
  std::string head(kHeader);
  head.append("<name>");
  AppendXmlText(head, part.name);
  head.append("</name>\n");
  if (part.style_id)
    head.append("<styleUrl>#").append(*part.style_id).append("</styleUrl>\n");
  out << head;
  WriteStyles(out, part);
  for (const KmzFolder& folder : part.folders) WriteFolder(out, folder, part);
  out << kEnd;
}

}  // namespace korvelo

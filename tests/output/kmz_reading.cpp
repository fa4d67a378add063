#include "kmz_reading.h"

#include <gtest/gtest.h>

#include "input/zip_archive.h"
#include "support/test_support.h"

namespace korvelo::testing {
namespace {

// The listing site's icon paths and the names of our drawings of them.
const std::map<std::string, std::string> kStandardIcons = {
    {"2.png", "icon_traditional.png"}, {"3.png", "icon_multi.png"},
    {"4.png", "icon_virtual.png"},     {"5.png", "icon_letterbox.png"},
    {"6.png", "icon_event.png"},       {"8.png", "icon_unknown.png"},
    {"11.png", "icon_webcam.png"},     {"13.png", "icon_cito.png"},
    {"earthcache.png", "icon_earthcache.png"},
};

std::string FileOfUrl(const std::string& url) {
  if (url.empty()) return "";
  const std::string file = url.substr(url.rfind('/') + 1);
  const auto standard = kStandardIcons.find(file);
  if (url.find("/images/kml/") != std::string::npos && standard != kStandardIcons.end()) {
    return standard->second;
  }
  return file;
}

// The style or style map with this id among the document's children.
const XmlNode* StyleById(const XmlNode& document, const std::string& url) {
  if (url.empty() || url[0] != '#') {
    ADD_FAILURE() << "style reference without '#': " << url;
    return nullptr;
  }
  for (const auto& child : document.children) {
    if ((child->name == "Style" || child->name == "StyleMap") &&
        child->attributes.count("id") && child->attributes.at("id") == url.substr(1)) {
      return child.get();
    }
  }
  ADD_FAILURE() << "no style " << url;
  return nullptr;
}

std::string NormalIconHref(const XmlNode& document, const std::string& url) {
  const XmlNode* style = StyleById(document, url);
  if (style == nullptr) return "";
  if (style->name == "StyleMap") {
    for (const XmlNode* pair : style->Children("Pair")) {
      if (pair->TextAt("key") == "normal") {
        return NormalIconHref(document, pair->TextAt("styleUrl"));
      }
    }
    ADD_FAILURE() << "style map without normal pair: " << url;
    return "";
  }
  return style->TextAt("IconStyle/Icon/href");
}

}  // namespace

KmzArchive ReadKmz(const std::string& path) {
  KmzArchive archive;
  try {
    const ZipArchive zip(ReadFileOrFail(path), path, 1);
    for (size_t index = 0; index < zip.entries().size(); ++index) {
      const std::string& name = zip.entries()[index].name;
      archive.names.push_back(name);
      archive.entries[name] = zip.ReadEntry(static_cast<int>(index));
    }
  } catch (const CZipException& e) {
    ADD_FAILURE() << path << ": not a readable archive (" << e.what() << ")";
  }
  return archive;
}

std::vector<Mark> ClassicMarks(const XmlNode& kml) {
  std::vector<Mark> marks;
  const XmlNode* document = kml.Child("Document");
  if (document == nullptr) return marks;
  for (const XmlNode* folder : document->Children("Folder")) {
    for (const XmlNode* placemark : folder->Children("Placemark")) {
      marks.push_back({folder->TextAt("name"), placemark->TextAt("name"),
                       placemark->TextAt("Point/coordinates"),
                       FileOfUrl(placemark->TextAt("Style/IconStyle/Icon/href"))});
    }
  }
  return marks;
}

std::vector<Mark> KmzMarks(const XmlNode& kml, const KmzArchive& archive) {
  std::vector<Mark> marks;
  const XmlNode* document = kml.Child("Document");
  if (document == nullptr) {
    ADD_FAILURE() << "no Document";
    return marks;
  }
  for (const XmlNode* folder : document->Children("Folder")) {
    const XmlNode* list_style = StyleById(*document, folder->TextAt("styleUrl"));
    const std::string list_href =
        list_style ? list_style->TextAt("ListStyle/ItemIcon/href") : "";
    EXPECT_TRUE(list_href.empty() || archive.entries.count(list_href)) << list_href;
    for (const XmlNode* placemark : folder->Children("Placemark")) {
      const std::string href = NormalIconHref(*document, placemark->TextAt("styleUrl"));
      EXPECT_TRUE(href.empty() || archive.entries.count(href))
          << "href " << href << " is no entry";
      EXPECT_TRUE(href.empty() || href.starts_with("icons/")) << href;
      marks.push_back({folder->TextAt("name"), placemark->TextAt("name"),
                       placemark->TextAt("Point/coordinates"),
                       href.empty() ? "" : href.substr(href.rfind('/') + 1)});
    }
  }
  return marks;
}

size_t FeatureCount(const XmlNode& kml) {
  const XmlNode* document = kml.Child("Document");
  if (document == nullptr) return 0;
  size_t count = 1;
  for (const XmlNode* folder : document->Children("Folder")) {
    count += 1 + folder->Children("Placemark").size();
  }
  return count;
}

}  // namespace korvelo::testing

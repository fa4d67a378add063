#include "output/kmz_plan.h"

#include "input/text.h"
#include "output/cache_types.h"
#include "output/map_icons.h"

namespace korvelo {
namespace {

std::string LowerAscii(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) c = AsciiLower(c);
  return lower;
}

bool IsNewerType(std::string_view type) {
  for (const CacheTypeRow& row : kCacheTypes) {
    if (IsOfType(type, row)) return false;
  }
  return true;
}

void AddRowFolders(std::vector<KmzFolder>& folders, const Records& records,
                   const MapDocument& document) {
  const std::vector<Records> rows = RecordsByRow(records);
  for (size_t row = 0; row < rows.size(); ++row) {
    if (document.onlyRow && *document.onlyRow != row) continue;
    const CacheTypeRow& type = kCacheTypes[row];
    for (bool solved : {false, true}) {
      if (solved && !type.solvable) continue;
      KmzFolder folder;
      folder.name = std::string(type.type_name) + (solved ? " Solved" : "");
      folder.style_id =
          "Style_" + std::string(type.short_name) + (solved ? "Solved" : "");
      folder.list_icon = IconFile(RowListIcon(row, solved));
      for (const CacheRecord* record : rows[row]) {
        if (type.solvable && record->moved != solved) continue;
        folder.placemarks.push_back(
            {record, PlacemarkIconFile(*record, document.function,
                                       document.showDisabled, false)});
      }
      folders.push_back(std::move(folder));
    }
  }
}

void AddNewerTypeFolders(std::vector<KmzFolder>& folders,
                         const Records& records, const MapDocument& document) {
  std::vector<std::string> keys;  // lower-cased type of each folder added
  const size_t first = folders.size();
  for (const CacheRecord* record : records) {
    if (!IsNewerType(record->type)) continue;
    const std::string key = LowerAscii(record->type);
    size_t index = 0;
    while (index < keys.size() && keys[index] != key) ++index;
    if (index == keys.size()) {
      keys.push_back(key);
      KmzFolder folder;
      folder.name = record->type;
      folder.style_id = "Style_Other" + std::to_string(index + 1);
      folder.list_icon = NewerTypeIconFile(record->type);
      folders.push_back(std::move(folder));
    }
    folders[first + index].placemarks.push_back(
        {record, PlacemarkIconFile(*record, document.function,
                                   document.showDisabled, true)});
  }
}

}  // namespace

bool HasNewerTypes(const Records& records) {
  for (const CacheRecord* record : records) {
    if (IsNewerType(record->type)) return true;
  }
  return false;
}

std::vector<KmzFolder> PlanKmzFolders(const Records& records,
                                      const MapDocument& document, bool rows,
                                      bool newer_types) {
  std::vector<KmzFolder> folders;
  if (rows) AddRowFolders(folders, records, document);
  if (newer_types && !document.onlyRow) {
    AddNewerTypeFolders(folders, records, document);
  }
  return folders;
}

std::vector<KmzPart> SplitIntoParts(std::vector<KmzFolder> folders,
                                    const MapDocument& document, size_t limit) {
  const FunctionLook& look = LookOf(document.function);
  const bool placemark_scale = document.smallIcons && look.placemark_scale;
  KmzPart blank;
  blank.name = document.name;
  if (document.onlyRow) {
    blank.style_id =
        "Style_" + std::string(kCacheTypes[*document.onlyRow].short_name);
  }
  blank.height = look.height;
  blank.icon_scale = placemark_scale       ? "1.0"
                     : document.smallIcons ? look.small_scale
                                           : look.scale;
  blank.hover_scale = placemark_scale ? "1.0" : "1.3";

  std::vector<KmzPart> parts(1, blank);
  size_t features = 1;  // the document
  const auto start_part = [&] {
    parts.push_back(blank);
    features = 1;
  };
  for (KmzFolder& folder : folders) {
    if (features + 1 > limit) start_part();
    KmzFolder piece{folder.name, folder.style_id, folder.list_icon, {}};
    ++features;
    for (const KmzPlacemark& placemark : folder.placemarks) {
      if (features + 1 > limit) {
        parts.back().folders.push_back(std::move(piece));
        piece = KmzFolder{folder.name, folder.style_id, folder.list_icon, {}};
        start_part();
        ++features;
      }
      piece.placemarks.push_back(placemark);
      ++features;
    }
    parts.back().folders.push_back(std::move(piece));
  }
  return parts;
}

std::string KmzPartPath(const std::string& kml_path, size_t index) {
  std::string stem = kml_path;
  if (stem.ends_with(".kml")) stem.resize(stem.size() - 4);
  if (index > 0) stem += "-" + std::to_string(index + 1);
  return stem + ".kmz";
}

}  // namespace korvelo

#include "output/map_plan.h"

#include "input/paths.h"
#include "output/cache_types.h"
#include "output/file_function.h"

namespace korvelo {
namespace {

constexpr FunctionLook kFunctionLooks[] = {
    {kFunctionComplete, "", "0", "1.0", "0.7", false},
    {kFunctionFound, "My finds", "10", "1.4", "1.0", true},
    {kFunctionMine, "My caches", "15", "1.4", "1.0", true},
    {kFunctionDisabled, "Disabled", "5", "1.4", "1.0", true},
    {kFunctionMarked, "Marked", "0", "1.4", "1.0", true},
    // The last row also stands for every value not listed.
    {kFunctionNone, "", "0", "1.4", "1.0", true},
};

}  // namespace

const FunctionLook& LookOf(int function) {
  for (const FunctionLook& look : kFunctionLooks) {
    if (look.function == function) return look;
  }
  return std::end(kFunctionLooks)[-1];
}

std::vector<MapFile> PlanMapFiles(const CacheList& list,
                                  const std::string& path, int function,
                                  const ConversionSettings& settings) {
  MapDocument base;
  base.function = function;
  base.smallIcons = settings.bSmallIcons;
  base.showDisabled = settings.bShowDisable;
  const int mode = settings.OutputKmlDirFileMode;
  if (function != kFunctionComplete) {
    base.name = LookOf(function).document_name;
    return {{path, base}};
  }
  if (mode != 0 && mode != 1) return {{path, base}};
  const std::string folder = WithTrailingBackslash(FolderOf(path));
  std::vector<MapFile> files;
  if (mode == 0) {
    for (const std::string& title : list.titles) {
      MapDocument document = base;
      document.name = title;
      document.onlyFile = title;
      files.push_back({folder + title + ".kml", document});
    }
    return files;
  }
  const std::string prefix = BaseName(path) + "_";
  for (size_t row = 0; row < std::size(kCacheTypes); ++row) {
    MapDocument document = base;
    document.name = prefix + std::string(kCacheTypes[row].short_name);
    document.onlyRow = row;
    files.push_back({folder + document.name + ".kml", document});
  }
  return files;
}

MapRecords::MapRecords(const CacheList& list, int function,
                       const ConversionSettings& settings) {
  all_.reserve(list.records.size());
  for (const CacheRecord& record : list.records) all_.push_back(&record);
  if (function == kFunctionComplete && settings.OutputKmlDirFileMode == 0) {
    for (const CacheRecord* record : all_) {
      by_file_[record->file].push_back(record);
    }
  }
}

const Records& MapRecords::Of(const MapDocument& document) const {
  if (!document.onlyFile) return all_;
  const auto found = by_file_.find(*document.onlyFile);
  return found == by_file_.end() ? none_ : found->second;
}

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

}  // namespace korvelo

// ConversionSettings: the persisted options, read by the run and the
// writers. Plain data; persistence lives in ui/settings_store.
#ifndef KORVELO_OUTPUT_CONVERSION_SETTINGS_H_
#define KORVELO_OUTPUT_CONVERSION_SETTINGS_H_

#include <cstdint>
#include <string>

namespace korvelo {

// Field names are the names of the stored values.
struct ConversionSettings {
  int32_t Mode = 1;
  bool bSmallIcons = true;
  bool bShowDisable = true;
  bool bExclude = false;
  std::string ExcludeDir;
  bool bExcludePeople = false;
  std::string ExcludePeopleFile;
  bool bMoveCaches = false;
  std::string MoveCachesFile;
  bool bOutputKml = true;
  std::string OutputKmlDir;
  int32_t OutputKmlDirFileMode = 0;
  bool bOutputAsc = false;
  std::string OutputAscDir;
  bool bOutputTxt = false;
  std::string OutputTxtDir;
  // The map goes out as self-contained .kmz archives instead of .kml.
  bool bOutputKmz = false;
  // The GPX for GPS units and phone apps; off unless asked for.
  bool bOutputGpx = false;
  std::string OutputGpxDir;
};

}  // namespace korvelo

#endif  // KORVELO_OUTPUT_CONVERSION_SETTINGS_H_

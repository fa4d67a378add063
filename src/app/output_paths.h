// Where a run's outputs go and what they are called; "/" separates folders.
#ifndef KORVELO_APP_OUTPUT_PATHS_H_
#define KORVELO_APP_OUTPUT_PATHS_H_

#include <string>
#include <string_view>

#include "output/conversion_settings.h"

namespace korvelo {

// The first input path when it is a folder, else the text before its last
// slash (the whole path when it has none).
std::string SourceFolder(std::string_view first_path);

// OutputKmlDir when bOutputKml is set and it is not empty; else the source
// folder, or its subfolder "To Google Earth" when that exists; then a
// separator and BaseName(list_name) + ".kml".
std::string KmlFilePath(std::string_view first_path, std::string_view list_name,
                        const ConversionSettings& settings);

// The ASC folder (OutputAscDir when not empty, else the source folder) with a
// separator and BaseName(list_name): "_all_%s.asc" and the like follow it.
std::string AscPatternPrefix(std::string_view first_path,
                             std::string_view list_name,
                             const ConversionSettings& settings);

// The GPX folder (OutputGpxDir when not empty, else the source folder) with
// a separator and BaseName(list_name) + "_gps.gpx".
std::string GpxFilePath(std::string_view first_path, std::string_view list_name,
                        const ConversionSettings& settings);

// The plain-text folder (OutputTxtDir when not empty, else the source
// folder), ending in a separator.
std::string TextFolder(std::string_view first_path,
                       const ConversionSettings& settings);

}  // namespace korvelo

#endif  // KORVELO_APP_OUTPUT_PATHS_H_

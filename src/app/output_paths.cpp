#include "app/output_paths.h"

#include "input/paths.h"
#include "platform/folders.h"

namespace korvelo {
namespace {

// `configured` when it is not empty, else the source folder.
std::string ConfiguredOrSource(const std::string& configured,
                               std::string_view first_path) {
  return configured.empty() ? SourceFolder(first_path) : configured;
}

}  // namespace

std::string SourceFolder(std::string_view first_path) {
  if (IsFolder(first_path)) return std::string(first_path);
  return FolderOf(first_path);
}

std::string KmlFilePath(std::string_view first_path, std::string_view list_name,
                        const ConversionSettings& settings) {
  std::string folder;
  if (settings.bOutputKml && !settings.OutputKmlDir.empty()) {
    folder = settings.OutputKmlDir;
  } else {
    folder = SourceFolder(first_path);
    const std::string google_earth = folder + "/To Google Earth";
    if (IsFolder(google_earth)) folder = google_earth;
  }
  return WithTrailingBackslash(folder) + BaseName(list_name) + ".kml";
}

std::string AscPatternPrefix(std::string_view first_path,
                             std::string_view list_name,
                             const ConversionSettings& settings) {
  return WithTrailingBackslash(
             ConfiguredOrSource(settings.OutputAscDir, first_path)) +
         BaseName(list_name);
}

std::string GpxFilePath(std::string_view first_path, std::string_view list_name,
                        const ConversionSettings& settings) {
  return WithTrailingBackslash(
             ConfiguredOrSource(settings.OutputGpxDir, first_path)) +
         BaseName(list_name) + "_gps.gpx";
}

std::string TextFolder(std::string_view first_path,
                       const ConversionSettings& settings) {
  return WithTrailingBackslash(
      ConfiguredOrSource(settings.OutputTxtDir, first_path));
}

}  // namespace korvelo

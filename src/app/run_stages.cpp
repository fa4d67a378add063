#include "app/run_stages.h"

#include <string>
#include <vector>

#include "app/output_paths.h"
#include "app/run_inputs.h"
#include "input/input_files.h"
#include "output/asc_writer.h"
#include "output/gpx_writer.h"
#include "output/text_writer.h"
#include "platform/file_error.h"

namespace korvelo {
namespace {

// Drops the caches listed in the exclusion folder; returns how many caches
// the folder held, matched or not.
int ExcludeFolderStage(CacheList& list, const ConversionSettings& settings,
                       Progress& progress) {
  progress.SetText("Loading excluded caches...");
  const CacheList excluded(settings.ExcludeDir, &progress, "",
                           RecordTexts::kCodeOnly);
  progress.SetText("Excluding caches...");
  list.ExcludeCaches(excluded);
  return excluded.GetSize();
}

void ExcludeOwnersStage(CacheList& list, const ConversionSettings& settings,
                        Progress& progress) {
  progress.SetText("Loading excluded cachers...");
  std::vector<std::string> names;
  if (!ReadLines(settings.ExcludePeopleFile, names)) return;
  progress.SetText("Excluding caches...");
  list.ExcludeOwners(names);
}

void MoveStage(CacheList& list, const ConversionSettings& settings,
               Progress& progress) {
  progress.SetText("Loading moved caches...");
  std::vector<std::string> lines;
  if (!ReadLines(settings.MoveCachesFile, lines)) return;
  progress.SetText("Moving caches...");
  list.MoveCaches(lines);
}

void AscStage(const CacheList& list, std::string_view first_path,
              const ConversionSettings& settings, Progress& progress) {
  const std::string prefix = AscPatternPrefix(first_path, list.name, settings);
  progress.SetText("Creating ASC...");
  WriteAsc(list, prefix + "_all_%s.asc", false);
  progress.SetText("Creating ASC (Highway)...");
  WriteAsc(list, prefix + "_highway_%s.asc", true);
}

// A GPX named like an input would replace the pocket query it was made
// from: the run stops there and the input stays as it is.
void GpxStage(const CacheList& list, const std::vector<std::string>& paths,
              int function, const ConversionSettings& settings,
              Progress& progress) {
  const std::string path = GpxFilePath(paths.front(), list.name, settings);
  if (IsInputOfRun(path, paths)) {
    throw FileError(FileCause::kAccessDenied, path, 0);
  }
  progress.SetText("Creating GPX...");
  WriteGpxFile(list, path, function);
}

}  // namespace

int RunListStages(CacheList& list, const ConversionSettings& settings,
                  Progress& progress) {
  int extra = 0;
  if (settings.bExclude) extra = ExcludeFolderStage(list, settings, progress);
  if (settings.bExcludePeople) ExcludeOwnersStage(list, settings, progress);
  if (settings.bMoveCaches) MoveStage(list, settings, progress);
  return extra;
}

void RunOutputStages(const CacheList& list,
                     const std::vector<std::string>& paths, int function,
                     const ConversionSettings& settings, Progress& progress) {
  const std::string& first_path = paths.front();
  if (settings.bOutputAsc) AscStage(list, first_path, settings, progress);
  if (settings.bOutputGpx) {
    GpxStage(list, paths, function, settings, progress);
  }
  if (settings.bOutputTxt) {
    progress.SetText("Creating TXT...");
    WriteText(list, TextFolder(first_path, settings));
  }
}

}  // namespace korvelo

#include "app/conversion_run.h"

#include <memory>

#include "app/output_paths.h"
#include "app/run_stages.h"
#include "cachelist/cache_list.h"
#include "input/text.h"
#include "output/kml_writer.h"
#include "output/kmz_writer.h"

namespace korvelo {
namespace {

// Every input merged into one list; each loaded list goes right after its
// merge. The texts that only the plain-text sheets read are not kept for a
// run that writes none, the original waypoint texts only for a run that
// writes the GPX for devices.
void LoadInputs(const std::vector<std::string>& paths,
                const ConversionSettings& settings, CacheList& list,
                Progress& progress) {
  progress.SetText("Loading caches...");
  const RecordTexts texts =
      settings.bOutputTxt ? RecordTexts::kAll : RecordTexts::kNoSheetTexts;
  const WaypointOriginals originals =
      settings.bOutputGpx ? WaypointOriginals::kKeep : WaypointOriginals::kDrop;
  for (const std::string& path : paths) {
    list.Merge(CacheList(path, &progress, "", texts, originals));
  }
}

}  // namespace

bool ConversionRun(const std::vector<std::string>& paths, int32_t function,
                   ConversionSettings& settings, RunHost& host) {
  // The progress display and the list are released on every way out,
  // including a FileError thrown by a load or a writer.
  const std::unique_ptr<Progress> progress = host.OpenProgress();
  host.ReadControls(settings);
  if (function == kFunctionAsk) {
    if (!host.AskFileFunction(settings)) return false;
    function = settings.Mode;
  }

  CacheList list;
  LoadInputs(paths, settings, list, *progress);
  if (list.GetSize() <= 0) return false;

  const int extra = RunListStages(list, settings, *progress);

  const std::string& first_path = paths.front();
  const std::string kml_path = KmlFilePath(first_path, list.name, settings);
  progress->SetText("Creating KML...");
  if (settings.bOutputKmz) {
    WriteKmz(list, kml_path, function, settings);
  } else {
    WriteKml(list, kml_path, function, settings);
  }

  RunOutputStages(list, paths, function, settings, *progress);
  host.ShowFinalMessage(FormatText("%li caches processed",
                                   static_cast<long>(list.GetSize()) + extra));
  return true;
}

}  // namespace korvelo

// The optional stages of a conversion run, each switched by one setting:
// exclusions and moves after loading; ASC, GPX and plain text after the KML.
#ifndef KORVELO_APP_RUN_STAGES_H_
#define KORVELO_APP_RUN_STAGES_H_

#include <string>
#include <vector>

#include "cachelist/cache_list.h"
#include "cachelist/progress.h"
#include "output/conversion_settings.h"

namespace korvelo {

// Exclusion folder, excluded owners and moved caches, in this order, each
// only when its flag is set. Returns the extra count for the final message:
// the number of caches read from the exclusion folder (0 without that
// stage). An unreadable owners or moves file skips its stage; a GPX file of
// the exclusion folder that cannot be read throws FileError.
int RunListStages(CacheList& list, const ConversionSettings& settings,
                  Progress& progress);

// ASC output (all caches, then motorway caches), the GPX for devices with
// the run's FileFunction `function`, and plain-text output, in this order,
// each only when its flag is set; the first of `paths` (the run's inputs)
// decides the folders. Throws FileError when a file cannot be written, and
// kAccessDenied naming the GPX file, before anything is written to it, when
// that file is one of the inputs; files written before stay.
void RunOutputStages(const CacheList& list,
                     const std::vector<std::string>& paths, int function,
                     const ConversionSettings& settings, Progress& progress);

}  // namespace korvelo

#endif  // KORVELO_APP_RUN_STAGES_H_

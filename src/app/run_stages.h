// The optional stages of a conversion run, each switched by one setting:
// exclusions and moves after loading, ASC and plain text after the KML.
#ifndef KORVELO_APP_RUN_STAGES_H_
#define KORVELO_APP_RUN_STAGES_H_

#include <string_view>

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

// ASC output (all caches, then motorway caches) and plain-text output, each
// only when its flag is set. Throws FileError when a file cannot be written;
// files written before stay.
void RunOutputStages(const CacheList& list, std::string_view first_path,
                     const ConversionSettings& settings, Progress& progress);

}  // namespace korvelo

#endif  // KORVELO_APP_RUN_STAGES_H_

// ConversionRun: input paths in, KML (and the optional outputs) out.
#ifndef KORVELO_APP_CONVERSION_RUN_H_
#define KORVELO_APP_CONVERSION_RUN_H_

#include <cstdint>
#include <string>
#include <vector>

#include "app/run_host.h"
#include "output/conversion_settings.h"
#include "output/file_function.h"

namespace korvelo {

// Loads every path in order into one list (first waypoint code wins), runs
// the optional list stages, writes the KML file and the optional outputs,
// then shows "<n> caches processed" through the host. `function` is the
// FileFunction of all inputs, or kFunctionAsk to ask the host. Ends quietly
// when the question is declined or no cache was loaded, and then returns false;
// true once the outputs are written (also when the list stages removed every
// cache). A file error of the loader or a writer propagates as FileError
// after the run has released everything it held; files written before stay.
bool ConversionRun(const std::vector<std::string>& paths, int32_t function,
                   ConversionSettings& settings, RunHost& host);

}  // namespace korvelo

#endif  // KORVELO_APP_CONVERSION_RUN_H_

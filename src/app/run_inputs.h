// Which files a run reads, so that no output of it is put in their place.
#ifndef KORVELO_APP_RUN_INPUTS_H_
#define KORVELO_APP_RUN_INPUTS_H_

#include <string>
#include <string_view>
#include <vector>

namespace korvelo {

// True when `target` leads to one of the run's input paths or to a file
// directly inside one of its input folders (which a folder load reads),
// however either path is spelled. False when `target` does not exist.
bool IsInputOfRun(std::string_view target,
                  const std::vector<std::string>& paths);

}  // namespace korvelo

#endif  // KORVELO_APP_RUN_INPUTS_H_

// Progress: where the loader and the run report what they are doing.
#ifndef KORVELO_CACHELIST_PROGRESS_H_
#define KORVELO_CACHELIST_PROGRESS_H_

#include <string>

namespace korvelo {

class Progress {
 public:
  virtual ~Progress() = default;
  // Shows one step text ("Loading caches...") and lets the window breathe.
  virtual void SetText(const std::string& text) = 0;
};

}  // namespace korvelo

#endif  // KORVELO_CACHELIST_PROGRESS_H_

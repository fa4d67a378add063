// WriteText: one plain-text sheet per cache, appended to numbered files in a
// folder tree keyed by the first four letters or digits of the title.
#ifndef KORVELO_OUTPUT_TEXT_WRITER_H_
#define KORVELO_OUTPUT_TEXT_WRITER_H_

#include <string>

#include "cachelist/cache_list.h"

namespace korvelo {

// `folder` ends in a separator. Throws FileError when a sheet file cannot be
// opened or written; sheets appended before stay.
void WriteText(const CacheList& list, const std::string& folder);

}  // namespace korvelo

#endif  // KORVELO_OUTPUT_TEXT_WRITER_H_

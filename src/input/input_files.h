// Whole-file bytes and line files.
#ifndef KORVELO_INPUT_INPUT_FILES_H_
#define KORVELO_INPUT_INPUT_FILES_H_

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace korvelo {

// Replaces `bytes` with the whole file; false on any failure (never throws),
// `bytes` then holds anything.
bool LoadFileBytes(std::string_view path, std::string& bytes);

// The lines of a text file (see SplitLines) into `lines`; false when the file
// cannot be read, `lines` then unchanged.
bool ReadLines(std::string_view path, std::vector<std::string>& lines);

// Replaces `lines` with the lines of `bytes`: CR, LF and Ctrl-Z end a line,
// a run of them counts as one line end, the last line needs none, a zero
// byte ends its line's text, lines are not trimmed. No bytes give one empty
// line; bytes starting with a line end give an empty first line.
void SplitLines(std::string_view bytes, std::vector<std::string>& lines);

}  // namespace korvelo

#endif  // KORVELO_INPUT_INPUT_FILES_H_

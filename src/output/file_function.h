// The file function: the role of a run's input files, chosen once per run.
#ifndef KORVELO_OUTPUT_FILE_FUNCTION_H_
#define KORVELO_OUTPUT_FILE_FUNCTION_H_

namespace korvelo {

// 0 arises when no role was ever chosen; every value outside 1 to 5 behaves
// like it. kFunctionAsk is no role: it asks the run to let the user choose.
inline constexpr int kFunctionAsk = -1;
inline constexpr int kFunctionNone = 0;
inline constexpr int kFunctionComplete = 1;
inline constexpr int kFunctionFound = 2;
inline constexpr int kFunctionMine = 3;
inline constexpr int kFunctionDisabled = 4;
inline constexpr int kFunctionMarked = 5;

}  // namespace korvelo

#endif  // KORVELO_OUTPUT_FILE_FUNCTION_H_

// The command-line handling: arguments split at zero bytes, parsed, and the
// file name made a full path; and the escaping of terminal lines.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "app/command_line.h"
#include "app/terminal_text.h"
#include "platform/absolute_path.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  std::vector<std::string> args;
  size_t start = 0;
  for (size_t zero; (zero = input.find('\0', start)) != std::string_view::npos;
       start = zero + 1) {
    args.emplace_back(input.substr(start, zero - start));
  }
  args.emplace_back(input.substr(start));

  const korvelo::ParsedArguments parsed = korvelo::ParseArguments(args);
  const bool converts = parsed.request == korvelo::CommandRequest::kConvert;
  if (converts != (parsed.function != 0) ||
      (converts && (parsed.function < 1 || parsed.function > 5))) {
    __builtin_trap();
  }
  korvelo::FullPathOf(parsed.file_name);
  // Normalising is idempotent.
  const std::string once = korvelo::NormalisePath(input);
  if (korvelo::NormalisePath(once) != once) __builtin_trap();
  // Nothing a terminal would take for a control byte survives.
  for (const char c : korvelo::TerminalSafe(input)) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) __builtin_trap();
  }
  return 0;
}

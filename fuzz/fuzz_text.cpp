// The text helpers: HtmlToText, ConvertUmlauts, ExtractElement, FormatText
// and their neighbours. Input: tag, a zero byte, then the text.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "input/elements.h"
#include "input/text.h"
#include "output/html_text.h"
#include "output/umlauts.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const size_t zero = input.find('\0');
  const std::string_view tag =
      zero == std::string_view::npos ? "name" : input.substr(0, zero);
  const std::string_view text =
      zero == std::string_view::npos ? input : input.substr(zero + 1);

  const std::string element = korvelo::ExtractElement(text, tag);
  if (element.size() > text.size()) __builtin_trap();
  korvelo::ExtractElement(text, "groundspeak:text");
  const std::string plain = korvelo::HtmlToText(text);
  korvelo::HtmlToText(korvelo::DropCdataMarkers(text));
  const std::string spelled = korvelo::ConvertUmlauts(plain, true);
  korvelo::ConvertUmlauts(text, false);
  if (korvelo::LowerAnsiText(text).size() != text.size()) __builtin_trap();
  korvelo::ReplaceAll(text, tag, "&amp;");
  const std::string tag_text(tag);
  const std::string formatted =
      korvelo::FormatText("%s: %s %05li", tag_text.c_str(), spelled.c_str(),
                          static_cast<long>(size));
  if (formatted.size() < tag_text.size()) __builtin_trap();
  return 0;
}

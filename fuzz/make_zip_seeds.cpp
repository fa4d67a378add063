// Writes the archives the loader tests build (stored, deflated, pocket-query
// pairs, nested, data in front, broken sizes) as fuzzing seeds.
#include <cstdio>
#include <string>
#include <vector>

#include "support/zip_builder.h"

using korvelo::testing::BuildZip;
using korvelo::testing::ZipTestEntry;

namespace {

const std::string kGpx =
    "<?xml version=\"1.0\"?>\r\n<gpx>\r\n<wpt lat=\"50.1\" lon=\"8.6\">"
    "<name>GC1</name><urlname>Feld</urlname></wpt>\r\n</gpx>\r\n";

void Write(const std::string& path, const std::string& bytes) {
  FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return;
  std::fwrite(bytes.data(), 1, bytes.size(), file);
  std::fclose(file);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  const std::string folder = argv[1];
  const std::string pair = BuildZip({{"1-wpts.gpx", kGpx}, {"1.gpx", kGpx, 0}});
  const std::vector<std::pair<const char*, std::string>> seeds = {
      {"deflated.zip", BuildZip({{"a.gpx", kGpx}})},
      {"stored.zip", BuildZip({{"a.gpx", kGpx, 0}})},
      {"pair.zip", pair},
      {"nested.zip", BuildZip({{"in.zip", pair, 0}})},
      {"in-front.zip", "PK\x03\x04junk" + pair},
      {"comment.zip", BuildZip({{"a.gpx", kGpx}}, "comment")},
      {"utf8.zip", BuildZip({{"\xC3\xA4.gpx", kGpx, 8, 0x0800}})},
      {"lying-size.zip",
       BuildZip({{"a.gpx", kGpx, 8, 0, {}, {}, {}, 100000}})}};
  for (const auto& [name, bytes] : seeds) Write(folder + "/" + name, bytes);
  return 0;
}

// Writes the inputs of the stage benchmark beside a generated pocket query:
//   make_bench_inputs <folder> <count> <seed>
// <folder>/pq<count>.gpx          the pocket query (as make_sample_pq writes
// it) <folder>/exclude<count>/finds.gpx  every fifth of its caches (20 %)
// <folder>/owners.txt             five owner names, one of them in the query
// <folder>/moves<count>.txt       solved coordinates for every tenth cache
// The same arguments give the same bytes.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include "input/elements.h"
#include "input/text.h"
#include "input/waypoints.h"
#include "pq_generator.h"
#include "text_pieces.h"

namespace {

bool WriteFile(const std::filesystem::path& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  out.close();
  if (!out) std::fprintf(stderr, "cannot write %s\n", path.c_str());
  return static_cast<bool>(out);
}

// A GPX file holding every fifth waypoint, as a finds export would.
std::string ExclusionGpx(const std::vector<std::string>& waypoints) {
  std::string gpx =
      "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<gpx version=\"1.0\">\r\n";
  for (size_t i = 0; i < waypoints.size(); i += 5) {
    gpx.append(waypoints[i]).append("</wpt>\r\n");
  }
  return gpx + "</gpx>";
}

// "GC...;N50° 12.345;E008° 45.678" lines (° as the single byte B0) for every
// tenth waypoint, with minutes that vary by cache.
std::string MovesText(const std::vector<std::string>& waypoints) {
  std::string text = "// solved puzzles\r\n";
  for (size_t i = 0; i < waypoints.size(); i += 10) {
    const std::string code = korvelo::ExtractElement(waypoints[i], "name");
    text += korvelo::FormatText(
        "%s;N50\xB0 %02zu.%03zu;E008\xB0 %02zu.%03zu\r\n", code.c_str(), i % 60,
        i % 1000, (i / 7) % 60, (i * 3) % 1000);
  }
  return text;
}

// The text of every waypoint of `gpx`, cut as the loader cuts it.
std::vector<std::string> Waypoints(std::string_view gpx) {
  std::vector<std::string> waypoints;
  korvelo::WaypointCutter cutter(korvelo::bench::PiecesOf(gpx));
  std::string_view wpt;
  while (cutter.Next(wpt)) waypoints.emplace_back(wpt);
  return waypoints;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: make_bench_inputs <folder> <count> <seed>\n");
    return 2;
  }
  const std::filesystem::path folder = argv[1];
  const int count = std::atoi(argv[2]);
  const unsigned long long seed = std::strtoull(argv[3], nullptr, 10);
  const std::string n = std::to_string(count);
  const std::string gpx = korvelo::bench::GeneratePocketQuery(count, seed);
  const std::vector<std::string> waypoints = Waypoints(gpx);
  std::filesystem::create_directories(folder / ("exclude" + n));
  const bool ok =
      WriteFile(folder / ("pq" + n + ".gpx"), gpx) &&
      WriteFile(folder / ("exclude" + n) / "finds.gpx",
                ExclusionGpx(waypoints)) &&
      WriteFile(folder / "owners.txt",
                "Niemand\r\nGeoKatze\r\nNobody\r\nKeiner\r\nnull\r\n") &&
      WriteFile(folder / ("moves" + n + ".txt"), MovesText(waypoints));
  return ok ? 0 : 1;
}

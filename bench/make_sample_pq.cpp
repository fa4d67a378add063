// Writes a generated pocket query to a file:
//   make_sample_pq <out.gpx> <count> <seed>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "pq_generator.h"

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: make_sample_pq <out.gpx> <count> <seed>\n");
    return 2;
  }
  char* end = nullptr;
  const long count = std::strtol(argv[2], &end, 10);
  if (*end != '\0' || count < 0 || count > 1000000) {
    std::fprintf(stderr, "make_sample_pq: count must be 0 to 1000000\n");
    return 2;
  }
  const unsigned long long seed = std::strtoull(argv[3], &end, 10);
  if (*end != '\0') {
    std::fprintf(stderr, "make_sample_pq: seed must be a number\n");
    return 2;
  }
  const std::string text =
      korvelo::bench::GeneratePocketQuery(static_cast<int>(count), seed);
  std::ofstream out(argv[1], std::ios::binary | std::ios::trunc);
  out.write(text.data(), static_cast<std::streamsize>(text.size()));
  out.close();
  if (!out) {
    std::fprintf(stderr, "make_sample_pq: cannot write %s\n", argv[1]);
    return 1;
  }
  return 0;
}

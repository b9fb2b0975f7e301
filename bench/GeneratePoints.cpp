// Writes random geodetic points (WGS84, decimal degrees) twice over: as a
// Tarnwell coordinate file "name,B,L,h" (CR LF) and as cs2cs input "L B h"
// (which CartConvert -w reads too).
//
//   bench-generate-points [--world] [--heights LOWEST HIGHEST] COUNT SEED POINTS.csv LB.txt
//
// By default the points lie in the bounding box of China at heights from
// -150 m to 5000 m; --world spreads them over the whole earth, --heights
// draws the heights (metres) from the given range instead.
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>

namespace {

std::string Fixed(double value, int decimals) {
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
  return std::string(buffer, result.ptr);
}

struct Region {
  double southernmost = 18.0, northernmost = 53.5;  // latitude, degrees
  double westernmost = 73.5, easternmost = 135.0;   // longitude, degrees
  double lowest = -150.0, highest = 5000.0;         // height, metres
};

int Usage(const char* program) {
  std::fprintf(stderr, "usage: %s [--world] [--heights LOWEST HIGHEST] COUNT SEED POINTS.csv LB.txt\n", program);
  return 2;
}

}  // namespace

int main(int argc, char* argv[]) {
  Region region;
  int next = 1;
  for (; next < argc && argv[next][0] == '-' && argv[next][1] == '-'; ++next) {
    const std::string option = argv[next];
    if (option == "--world") {
      region.southernmost = -90.0, region.northernmost = 90.0;
      region.westernmost = -180.0, region.easternmost = 180.0;
    } else if (option == "--heights" && next + 2 < argc) {
      region.lowest = std::atof(argv[++next]);
      region.highest = std::atof(argv[++next]);
    } else {
      return Usage(argv[0]);
    }
  }
  if (argc - next != 4) return Usage(argv[0]);
  const long count = std::atol(argv[next]);
  std::mt19937_64 random(std::strtoull(argv[next + 1], nullptr, 10));
  std::uniform_real_distribution<double> latitude(region.southernmost, region.northernmost),
      longitude(region.westernmost, region.easternmost), height(region.lowest, region.highest);

  std::FILE* points = std::fopen(argv[next + 2], "wb");
  std::FILE* lb = std::fopen(argv[next + 3], "wb");
  if (!points || !lb) {
    std::perror("bench-generate-points");
    return 1;
  }
  for (long i = 0; i < count; ++i) {
    // 12 decimals of a degree are about 0.1 µm; 4 of a metre, 0.1 mm.
    const std::string b = Fixed(latitude(random), 12), l = Fixed(longitude(random), 12), h = Fixed(height(random), 4);
    std::fprintf(points, "P%07ld,%s,%s,%s\r\n", i + 1, b.c_str(), l.c_str(), h.c_str());
    std::fprintf(lb, "%s %s %s\n", l.c_str(), b.c_str(), h.c_str());
  }
  const bool written = std::fclose(points) == 0 && std::fclose(lb) == 0;
  return written ? 0 : 1;
}

// Writes random points in China (WGS84, decimal degrees) twice over: as a
// Tarnwell coordinate file "name,B,L,h" (CR LF) and as cs2cs input "L B h".
//
//   bench-generate-points COUNT SEED POINTS.csv CS2CS.txt
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>

namespace {

// Fixed notation with 12 decimals (about 0.1 mm in latitude).
std::string Fixed(double value, int decimals) {
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
  return std::string(buffer, result.ptr);
}

}  // namespace

int main(int argc, char* argv[]) {
  if (argc != 5) {
    std::fprintf(stderr, "usage: %s COUNT SEED POINTS.csv CS2CS.txt\n", argv[0]);
    return 2;
  }
  const long count = std::atol(argv[1]);
  std::mt19937_64 random(std::strtoull(argv[2], nullptr, 10));
  // The bounding box of China, and heights from below sea level to high plateau.
  std::uniform_real_distribution<double> latitude(18.0, 53.5), longitude(73.5, 135.0), height(-150.0, 5000.0);

  std::FILE* points = std::fopen(argv[3], "wb");
  std::FILE* cs2cs = std::fopen(argv[4], "wb");
  if (!points || !cs2cs) {
    std::perror("bench-generate-points");
    return 1;
  }
  for (long i = 0; i < count; ++i) {
    const std::string b = Fixed(latitude(random), 12), l = Fixed(longitude(random), 12), h = Fixed(height(random), 4);
    std::fprintf(points, "P%07ld,%s,%s,%s\r\n", i + 1, b.c_str(), l.c_str(), h.c_str());
    std::fprintf(cs2cs, "%s %s %s\n", l.c_str(), b.c_str(), h.c_str());
  }
  const bool written = std::fclose(points) == 0 && std::fclose(cs2cs) == 0;
  return written ? 0 : 1;
}

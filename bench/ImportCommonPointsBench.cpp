// How long importing a million common points takes: the lines are read and
// checked, then sorted once. The file lists the points in reverse order, the
// worst case for inserting each line at its place.
//
//   bench-import-common-points [POINTS]
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "engine/CoordSettings.h"
#include "estimate/SevenParameters.h"

int main(int argc, char* argv[]) {
  const long count = argc > 1 ? std::atol(argv[1]) : 1000000;
  const std::filesystem::path path = std::filesystem::temp_directory_path() / "tarnwell-import-bench.csv";
  {
    std::ofstream file(path, std::ios::binary);
    for (long i = count; i > 0; --i) file << 'P' << i << ",31.5,121.25,10.5,31.5001,121.2501,12.25\n";
  }
  tarnwell::CoordSettings settings;
  settings.sourceAngleFormat = settings.targetAngleFormat = tarnwell::AngleFormat::DDD;
  std::vector<tarnwell::CommonPointLine> list;
  const auto start = std::chrono::steady_clock::now();
  const bool imported = tarnwell::ImportCommonPointFile(settings, path.string(), list);
  const std::chrono::duration<double> seconds = std::chrono::steady_clock::now() - start;
  std::filesystem::remove(path);
  if (!imported) return 1;
  std::printf("%zu common points imported in %.2f s\n", list.size(), seconds.count());
  return 0;
}

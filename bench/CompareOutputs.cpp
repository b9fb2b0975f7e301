// Compares a Tarnwell output file with cs2cs output (or CartConvert -w
// output, which has the same order) for the same points and prints the
// largest difference in metres.
//
//   bench-compare-outputs plan|space|lb TARNWELL.csv1 CS2CS.txt
//   bench-compare-outputs --definition     the PROJ definition of the default
//                                          projection on WGS84, for cs2cs
//
// Tarnwell writes name,x(north),y(east),h / name,X,Y,Z / name,B,L,h (decimal
// degrees); cs2cs writes east north h / X Y Z / L B h.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <string>

#include "engine/CoordSettings.h"
#include "engine/ProjBridge.h"

namespace {

constexpr double kEarthRadius = 6378137.0;  // metres, to turn degrees into distance
constexpr double kRadiansPerDegree = M_PI / 180.0;

bool ReadOurs(std::ifstream& file, double values[3]) {
  std::string line;
  if (!std::getline(file, line)) return false;
  const std::size_t first = line.find(',');
  if (first == std::string::npos) return false;
  const char* text = line.c_str() + first + 1;
  for (int i = 0; i < 3; ++i) {
    char* end = nullptr;
    values[i] = std::strtod(text, &end);
    text = end + 1;  // past the comma
  }
  return true;
}

bool ReadTheirs(std::ifstream& file, double values[3]) {
  std::string line;
  if (!std::getline(file, line)) return false;
  const char* text = line.c_str();
  for (int i = 0; i < 3; ++i) {
    char* end = nullptr;
    values[i] = std::strtod(text, &end);
    if (end == text) return false;
    text = end;
  }
  return true;
}

// Metres between the two results of one point.
double Difference(const std::string& kind, const double ours[3], const double theirs[3]) {
  double d[3];
  if (kind == "plan") {
    d[0] = ours[0] - theirs[1];
    d[1] = ours[1] - theirs[0];
    d[2] = ours[2] - theirs[2];
  } else if (kind == "lb") {
    // An angle is a distance on the sphere through the point: far above the
    // earth the same angle is many more metres.
    const double radius = kEarthRadius + ours[2];
    d[0] = (ours[0] - theirs[1]) * kRadiansPerDegree * radius;
    const double longitudeGap = std::remainder(ours[1] - theirs[0], 360.0);  // 180° is -180°
    d[1] = longitudeGap * kRadiansPerDegree * radius * std::cos(ours[0] * kRadiansPerDegree);
    d[2] = ours[2] - theirs[2];
  } else {
    for (int i = 0; i < 3; ++i) d[i] = ours[i] - theirs[i];
  }
  return std::sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]);
}

}  // namespace

int main(int argc, char* argv[]) {
  if (argc == 2 && std::string(argv[1]) == "--definition") {
    std::string definition;
    tarnwell::AppendProjDefinition(definition, tarnwell::ProjectionParams{});
    std::cout << definition << " +ellps=WGS84\n";
    return 0;
  }
  if (argc != 4) {
    std::cerr << "usage: " << argv[0] << " plan|space|lb TARNWELL.csv1 CS2CS.txt | --definition\n";
    return 2;
  }
  const std::string kind = argv[1];
  std::ifstream ours(argv[2]), theirs(argv[3]);
  double largest = 0, a[3], b[3];
  long lines = 0, worstLine = 0;
  for (;;) {
    const bool haveOurs = ReadOurs(ours, a), haveTheirs = ReadTheirs(theirs, b);
    if (haveOurs != haveTheirs) {
      std::cerr << "the outputs differ in length after " << lines << " points\n";
      return 1;
    }
    if (!haveOurs) break;
    ++lines;
    double difference = Difference(kind, a, b);
    if (std::isnan(difference)) difference = INFINITY;  // a point only one side converted
    if (difference > largest) {
      largest = difference;
      worstLine = lines;
    }
  }
  std::printf("%ld points, largest difference %.3e m (point %ld)\n", lines, largest, worstLine);
  return 0;
}

// Common points for the plane estimation tests: scattered over a 20 km square
// of a Gauss-Krüger-like grid around northing 3.4e6 m, easting 5e5 m, with
// source heights of 20 to 800 m. The target side starts as a copy of the
// source; each test moves it with the model it checks.
#pragma once

#include <random>
#include <string>
#include <vector>

#include "estimate/PlaneCommonPoint.h"

namespace tarnwell::test {

constexpr double kGridNorth = 3.4e6, kGridEast = 5e5;  // metres

inline std::vector<PlaneCommonPoint> ScatteredPoints(int count, unsigned seed = 11) {
  std::mt19937 random(seed);
  std::uniform_real_distribution<double> offset(-10000, 10000), height(20, 800);
  std::vector<PlaneCommonPoint> points;
  for (int i = 0; i < count; ++i) {
    PlaneCommonPoint point;
    point.name = "P";
    point.name += std::to_string(i);  // ("P" + … draws a false -Wrestrict from GCC 12)
    point.sourceNorth = kGridNorth + offset(random);
    point.sourceEast = kGridEast + offset(random);
    point.sourceHeight = height(random);
    point.targetNorth = point.sourceNorth;
    point.targetEast = point.sourceEast;
    point.targetHeight = point.sourceHeight;
    points.push_back(point);
  }
  return points;
}

// Adds normally distributed noise of `sigmaMetres` to the three target coordinates.
inline void AddTargetNoise(std::vector<PlaneCommonPoint>& points, double sigmaMetres, unsigned seed = 5) {
  std::mt19937 random(seed);
  std::normal_distribution<double> noise(0, sigmaMetres);
  for (PlaneCommonPoint& point : points) {
    point.targetNorth += noise(random);
    point.targetEast += noise(random);
    point.targetHeight += noise(random);
  }
}

}  // namespace tarnwell::test

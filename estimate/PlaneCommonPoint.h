// Common points of a plane (map-grid) transformation: the same point in the
// source and in the target grid, x northing and y easting as Chinese survey
// practice writes them, with its height on either side.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "engine/LocalGrid.h"

namespace tarnwell {

struct PlaneCommonPoint {
  std::string name;
  double sourceNorth = 0, sourceEast = 0, sourceHeight = 0;  // metres
  double targetNorth = 0, targetEast = 0, targetHeight = 0;  // metres
  bool participates = true;  // false: kept out of the estimate, still given a residual
};


// Adds the points of a common-point file, one a line in file order:
// name,x,y,h,x2,y2,h2 — the source north, east and height, then the target
// ones, in metres. Every line must read (ReadCommonPointFile): a wrong
// count of fields is "文件的格式不正确，请检查。", a value that is not wholly
// a number "坐标格式错误,请检查."; then nothing of the file is added.
bool ImportPlaneCommonPointFile(const std::string& path, std::vector<PlaneCommonPoint>& points);

// Where the participating source points lie.
struct PlaneSpread {
  std::size_t count = 0;   // participating points
  PlanePosition centroid;  // mean of their source positions
  double radius = 0;       // root mean square distance from the centroid, metres
};

PlaneSpread SourceSpread(const std::vector<PlaneCommonPoint>& points);

// Mean of the target positions of the participating points.
PlanePosition TargetCentroid(const std::vector<PlaneCommonPoint>& points);

// Below this share of the largest centroid coordinate, the radius of the
// points is no more than a few thousand rounding steps of the coordinates.
constexpr double kDistinctRadiusRelative = 1e-9;

// True when at least two participating points lie apart: their radius is
// above kDistinctRadiusRelative times the larger centroid coordinate (about
// 3 mm on a Gauss-Krüger grid at 3.4e6 m northing). False for any NaN.
bool PointsDistinct(const PlaneSpread& spread);

}  // namespace tarnwell

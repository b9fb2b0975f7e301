// Seven Bursa-Wolf parameters by least squares from common points.
//
// A common-point line: name,B,L,h,B2,L2,h2 — the source point in the source
// angle format on the source ellipsoid, the same point in the target angle
// format on the target ellipsoid.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace tarnwell {

// Appends every line of a common-point file (without line ends, empty lines
// included) to the sorted `list`, each at its sorted place (ListTextLess).
// False, with "坐标文件无法读取。" shown and the list unchanged, when the file
// cannot be read.
bool ImportCommonPointFile(const std::string& path, std::vector<std::string>& list);

// The residual of one common point after the fit: target minus the source
// transformed with the estimate, metres.
struct PointResidual {
  std::string name;
  double vX = 0, vY = 0, vZ = 0;
  double v3D = 0;  // sqrt(vX² + vY² + vZ²)
};

// How well the estimate fits the common points.
struct FitReport {
  std::vector<PointResidual> points;  // in list order
  double rms3D = 0;                   // root mean square of the 3-D residuals, metres
  double largest3D = 0;               // metres
  std::string largestName;            // the point with the largest residual
  std::size_t pointCount = 0;
  long redundancy = 0;                // 3n − 7
};

// Estimates the parameters from the lines of the sorted list. On success
// writes sevenParams, fills `report` (when given) and returns true; on a
// refusal shows its message and changes nothing.
bool ComputeSevenParameters(const std::vector<std::string>& lines, FitReport* report = nullptr);

}  // namespace tarnwell

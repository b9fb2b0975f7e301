// Seven Bursa-Wolf parameters by least squares from common points.
//
// A common-point line: name,B,L,h,B2,L2,h2 — the source point in the source
// angle format on the source ellipsoid, the same point in the target angle
// format on the target ellipsoid.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "engine/CoordSettings.h"

namespace tarnwell {

// Adds the lines of a common-point file to the sorted `list` (ListTextLess;
// a line goes after the equal lines already there), blank lines left out.
// Every line is checked first with the settings' angle formats: a line that
// does not read shows its message with its line number, and nothing of the
// file is added; so does a file that cannot be read ("坐标文件无法读取。").
bool ImportCommonPointFile(const CoordSettings& settings, const std::string& path, std::vector<std::string>& list);

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
  long redundancy = 0;                // 3n − 7, never negative
};

struct SevenParamsEstimate {
  SevenParams params;
  FitReport report;
};

// Estimates the parameters from the lines of the sorted list, with the
// settings' ellipsoids and angle formats. nullopt, with its message shown,
// when the ellipsoids are the same, a line does not read, the points cannot
// determine seven parameters ("公共点不足或分布不当,无法计算七参数。": fewer
// than three points that are not (nearly) on one line), or the solver fails.
std::optional<SevenParamsEstimate> ComputeSevenParameters(const CoordSettings& settings,
                                                          const std::vector<std::string>& lines);

}  // namespace tarnwell

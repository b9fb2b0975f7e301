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

// One common point of the list: its line, and whether the estimate uses it.
struct CommonPointLine {
  std::string text;
  bool participates = true;  // false: kept out of the estimate, still given a residual

  bool operator==(const CommonPointLine&) const = default;
};

// Adds the lines of a common-point file to the `list` sorted by text
// (ListTextLess; a line goes after the equal lines already there), blank
// lines left out, each taking part. Every line is checked first with the
// settings' angle formats: a line that does not read shows its message with
// its line number, and nothing of the file is added; so does a file that
// cannot be read ("坐标文件无法读取。").
bool ImportCommonPointFile(const CoordSettings& settings, const std::string& path,
                           std::vector<CommonPointLine>& list);

// The residual of one common point after the fit: target minus the source
// transformed with the estimate, metres.
struct PointResidual {
  std::string name;
  bool participates = true;  // false: the estimate did not see this point
  double vX = 0, vY = 0, vZ = 0;
  double v3D = 0;  // sqrt(vX² + vY² + vZ²)
};

// How well the estimate fits the common points. The summary is over the
// participating points.
struct FitReport {
  std::vector<PointResidual> points;  // every point, in list order
  double rms3D = 0;                   // root mean square of the 3-D residuals, metres
  double largest3D = 0;               // metres
  std::string largestName;            // the point with the largest residual
  std::size_t pointCount = 0;         // participating points, n
  long redundancy = 0;                // 3n − 7, never negative
};

struct SevenParamsEstimate {
  SevenParams params;
  FitReport report;
};

// Estimates the parameters from the participating points of the list, with
// the settings' ellipsoids and angle formats, and reports the residuals of
// every point. nullopt, with its message shown, when the ellipsoids are the
// same, the list is empty, a line does not read, the participating points
// cannot determine seven parameters ("公共点不足或分布不当,无法计算七参数。":
// fewer than three points that are not (nearly) on one line), or the solver
// fails.
std::optional<SevenParamsEstimate> ComputeSevenParameters(const CoordSettings& settings,
                                                          const std::vector<CommonPointLine>& list);

}  // namespace tarnwell

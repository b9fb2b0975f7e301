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
  // Split at the point: along its ellipsoid normal, and across it, the
  // latter also as its north and east components.
  double vHorizontal = 0, vVertical = 0;
  double vNorth = 0, vEast = 0;
  // For drawing: the source point in the plane tangent at the points' mean
  // normal, metres north and east of their centroid.
  double north = 0, east = 0;
  // The largest of |vX|, |vY|, |vZ| each divided by its standard deviation
  // σ0·sqrt(r); 0 for a point kept out or an estimate without redundancy.
  double standardized = 0;
  bool flagged = false;  // beyond the horizontal or the vertical tolerance
};

// How well the estimate fits the common points. The summary is over the
// participating points.
struct FitReport {
  std::vector<PointResidual> points;  // every point, in list order
  double rms3D = 0;                   // root mean square of the 3-D residuals, metres
  double largest3D = 0;               // metres
  std::string largestName;            // the point with the largest residual
  std::size_t pointCount = 0;         // participating points, n
  long redundancy = 0;                // 3n − unknowns, never negative: the degrees of freedom
  double sigma0 = 0;                  // a-posteriori σ0, metres; 0 without redundancy
  std::string suspectName;            // the largest standardized residual; empty without redundancy
};

// Seven parameters, or six with the scale held at 0.
enum class DatumModel { Full, FixedScale };

inline constexpr Keyword<DatumModel> kDatumModels[] = {{"full", DatumModel::Full},
                                                       {"fixed-scale", DatumModel::FixedScale}};

struct SevenParamsEstimate {
  SevenParams params;
  // σ0·sqrt(qjj) of each parameter, in the parameters' units (m, ″, ppm);
  // the translations are those at the earth's centre.
  SevenParams deviations;
  // The opposite set: target to source under the same model and convention,
  // fitted to the exact inverse.
  SevenParams inverse;
  FitReport report;
};

// Estimates the parameters (coordinate-frame convention) from the
// participating points of the list, with the settings' ellipsoids, angle
// formats and tolerance, and reports the residuals of every point. nullopt,
// with its message shown, when the ellipsoids are the same, the list is
// empty, a line does not read, the participating points do not determine
// the parameters ("公共点不足或分布不当,无法计算七参数。", and on a second
// line why: see UndeterminedReason), or the solver fails.
std::optional<SevenParamsEstimate> ComputeSevenParameters(const CoordSettings& settings,
                                                          const std::vector<CommonPointLine>& list,
                                                          DatumModel model = DatumModel::Full);

}  // namespace tarnwell

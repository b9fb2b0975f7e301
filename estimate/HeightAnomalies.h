// The remove-restore fit of height anomalies (engine/AnomalyFit.h) from
// levelled points: points with both heights known, a GNSS ellipsoidal
// height h and a levelled normal height H. The geoid model, where there is
// one, is removed first (r = h − H − N), what is left is fitted with the
// constant, plane or quadratic surface, and a conversion restores both:
// H = h − N − r(B, L).
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "engine/AngleText.h"
#include "engine/AnomalyFit.h"
#include "engine/CoordSettings.h"
#include "engine/GeoidModel.h"

namespace tarnwell {

struct LevelledPoint {
  std::string name;
  double latitude = 0, longitude = 0;           // decimal degrees
  double ellipsoidalHeight = 0, normalHeight = 0;  // h, H: metres
  bool participates = true;  // false: kept out of the fit, still given a residual
};

// Adds the points of a file, one a line in file order: name,B,L,h,H with B
// and L in `format`. Every line must read (ReadCommonPointFile); then
// nothing of the file is added.
bool ImportLevelledPointFile(const std::string& path, AngleFormat format, std::vector<LevelledPoint>& points);

// The surface chosen for `count` participating points when none is named:
// 1–2 points a constant, 3–5 a plane, 6 or more the quadratic surface, so
// that each fit has at least one point to spare once it can.
HeightModel AutomaticHeightModel(std::size_t count);

struct AnomalyResidual {
  std::string name;
  bool participates = true;  // false: the fit did not see this point
  double anomaly = 0;        // r = h − H − N, metres
  double residual = 0;       // r minus the fitted surface, metres
  // The residual divided by its standard deviation σ0·sqrt(redundancy); 0
  // for a point kept out or without redundancy.
  double standardized = 0;
  bool flagged = false;  // |residual| beyond the vertical tolerance
};

struct AnomalyEstimate {
  AnomalyFit fit;
  std::array<double, 6> deviations{};      // σ0·sqrt(qjj) of each coefficient, as HeightFitEstimate's
  std::vector<AnomalyResidual> residuals;  // every point's, in their order
  std::size_t pointCount = 0;              // participating points
  double rms = 0;                          // of the participating points, metres
  double largest = 0;                      // the largest |residual| among them, metres
  std::string largestName;
  long redundancy = 0;      // points minus coefficients: the degrees of freedom
  double sigma0 = 0;        // a-posteriori σ0, metres; 0 without redundancy
  std::string suspectName;  // the largest standardized residual; empty without redundancy
};

// The fit of the anomalies the model (nullptr: none) leaves at the points,
// with `model` or, when it is not given, the automatic one, the residuals
// beyond `tolerance`'s vertical flagged. The origin of the local plane is
// the mean B, L of the participating points. Refused,
// with the message shown, when the model has no value at a point (naming
// the model and the point) or when the points cannot determine the surface
// (FitHeights).
std::optional<AnomalyEstimate> EstimateAnomalyFit(const std::vector<LevelledPoint>& points, const GeoidModel* geoid,
                                                  std::optional<HeightModel> model,
                                                  const ResidualTolerance& tolerance = {});

}  // namespace tarnwell

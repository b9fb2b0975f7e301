#include "estimate/HeightFit.h"

#include <cmath>

#include "engine/Messages.h"
#include "linalg.h"

namespace tarnwell {
namespace {

using Terms = std::array<double, 6>;


// The degree of each term, to carry a coefficient from scaled to metre units.
constexpr std::array<int, 6> kTermDegree = {0, 1, 1, 2, 2, 2};

// One row per participating point: the model's terms at the source position,
// reduced to the centroid and divided by `scale`, so that every column is of
// order one. The observations are h2 − h.
void BuildDesign(const std::vector<PlaneCommonPoint>& points, std::size_t columns, const PlaneSpread& spread,
                 double scale, alglib::real_2d_array& design, alglib::real_1d_array& observations) {
  design.setlength(static_cast<alglib::ae_int_t>(spread.count), static_cast<alglib::ae_int_t>(columns));
  observations.setlength(static_cast<alglib::ae_int_t>(spread.count));
  int row = 0;
  for (const PlaneCommonPoint& point : points) {
    if (!point.participates) continue;
    const Terms terms = HeightFitTerms((point.sourceNorth - spread.centroid.north) / scale,
                                        (point.sourceEast - spread.centroid.east) / scale);
    for (std::size_t column = 0; column < columns; ++column) design[row][column] = terms[column];
    observations[row] = point.targetHeight - point.sourceHeight;
    ++row;
  }
}

// The least-squares solution V·Σ⁻¹·Uᵀ·b from the singular value decomposition;
// nothing when the decomposition fails or the matrix is rank deficient
// against kRankTolerance. Rows ≥ columns.
std::optional<Terms> SolveBySvd(const alglib::real_2d_array& design, const alglib::real_1d_array& observations) {
  const alglib::ae_int_t rows = design.rows(), columns = design.cols();
  alglib::real_1d_array singular;
  alglib::real_2d_array u, vt;
  if (!alglib::rmatrixsvd(design, rows, columns, 1, 1, 2, singular, u, vt)) return std::nullopt;
  // Descending order: the last is the smallest. Written so that NaN fails.
  if (!(singular[columns - 1] > kRankTolerance * singular[0])) return std::nullopt;
  Terms solution{};
  for (alglib::ae_int_t k = 0; k < columns; ++k) {
    double projection = 0;
    for (alglib::ae_int_t i = 0; i < rows; ++i) projection += u[i][k] * observations[i];
    projection /= singular[k];
    for (alglib::ae_int_t j = 0; j < columns; ++j) solution[j] += vt[k][j] * projection;
  }
  return solution;
}

std::optional<HeightFit> TryFitHeights(const std::vector<PlaneCommonPoint>& points, HeightModel model) {
  const PlaneSpread spread = SourceSpread(points);
  const std::size_t columns = CoefficientCount(model);
  if (spread.count < columns) return std::nullopt;
  // Points apart only by rounding would be scaled up into a well-conditioned
  // fit of noise; the rank check cannot see that.
  if (model != HeightModel::Constant && !PointsDistinct(spread)) return std::nullopt;
  // A constant needs no position: any scale serves when the points coincide.
  const double scale = spread.radius > 0 ? spread.radius : 1;

  alglib::real_2d_array design;
  alglib::real_1d_array observations;
  BuildDesign(points, columns, spread, scale, design, observations);
  const std::optional<Terms> scaled = SolveBySvd(design, observations);
  if (!scaled) return std::nullopt;

  HeightFit fit;
  fit.model = model;
  fit.centroid = spread.centroid;
  for (std::size_t j = 0; j < columns; ++j) fit.coefficients[j] = (*scaled)[j] / std::pow(scale, kTermDegree[j]);
  if (!IsUsable(fit)) return std::nullopt;
  return fit;
}

}  // namespace




std::optional<HeightFit> FitHeights(const std::vector<PlaneCommonPoint>& points, HeightModel model) {
  std::optional<HeightFit> fit;
  try {
    fit = TryFitHeights(points, model);
  } catch (const alglib::ap_error&) {
    fit.reset();
  }
  if (!fit) ShowMessage("公共点不足或分布不当,无法计算高程拟合。");
  return fit;
}

}  // namespace tarnwell

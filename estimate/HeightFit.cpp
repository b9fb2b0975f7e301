#include "estimate/HeightFit.h"

#include <cmath>
#include <string>

#include "engine/Messages.h"

namespace tarnwell {
namespace {

using Terms = std::array<double, 6>;

// The coefficients; the degree of each term carries it from scaled to metre units.
constexpr UnknownColumn kHeightColumns[] = {{"常数项 a0", 0}, {"系数 a1", 1}, {"系数 a2", 1},
                                            {"系数 a3", 2}, {"系数 a4", 2}, {"系数 a5", 2}};

// One row per participating point: the model's terms at the source position,
// reduced to the centroid and divided by `scale`, so that every column is of
// order one. The observations are h2 − h.
ObservationEquations BuildEquations(const std::vector<PlaneCommonPoint>& points, std::size_t columns,
                                    const PlaneSpread& spread, double scale) {
  ObservationEquations equations(columns);
  for (const PlaneCommonPoint& point : points) {
    if (!point.participates) continue;
    const Terms terms = HeightFitTerms((point.sourceNorth - spread.centroid.north) / scale,
                                        (point.sourceEast - spread.centroid.east) / scale);
    equations.Add(std::span(terms.data(), columns), point.targetHeight - point.sourceHeight);
  }
  return equations;
}

std::optional<HeightFitEstimate> TryFitHeights(const std::vector<PlaneCommonPoint>& points, HeightModel model,
                                               std::string& why) {
  const PlaneSpread spread = SourceSpread(points);
  const std::size_t columns = CoefficientCount(model);
  if (spread.count < columns) return std::nullopt;
  // Points apart only by rounding would be scaled up into a well-conditioned
  // fit of noise.
  if (model != HeightModel::Constant && !PointsDistinct(spread)) return std::nullopt;
  // A constant needs no position: any scale serves when the points coincide.
  const double scale = spread.radius > 0 ? spread.radius : 1;

  std::optional<Adjustment> adjustment = Adjust(BuildEquations(points, columns, spread, scale));
  if (!adjustment) return std::nullopt;
  why = UndeterminedReason(*adjustment, std::span(kHeightColumns, columns), scale);
  if (!why.empty()) return std::nullopt;

  HeightFitEstimate estimate;
  estimate.fit.model = model;
  estimate.fit.centroid = spread.centroid;
  for (std::size_t j = 0; j < columns; ++j) {
    const double toMetreUnits = std::pow(scale, kHeightColumns[j].degree);
    estimate.fit.coefficients[j] = adjustment->solution[j] / toMetreUnits;
    estimate.deviations[j] = adjustment->StandardDeviation(j) / toMetreUnits;
  }
  if (!IsUsable(estimate.fit)) return std::nullopt;
  estimate.adjustment = std::move(*adjustment);
  return estimate;
}

}  // namespace

std::optional<HeightFitEstimate> FitHeights(const std::vector<PlaneCommonPoint>& points, HeightModel model) {
  std::string why;
  std::optional<HeightFitEstimate> estimate = TryFitHeights(points, model, why);
  if (!estimate) {
    const std::string refusal = "公共点不足或分布不当,无法计算高程拟合。";
    ShowMessage(why.empty() ? refusal : refusal + "\n" + why);
  }
  return estimate;
}

}  // namespace tarnwell

// A linear least-squares adjustment of equally weighted observations, with
// the precision the residuals give it and the judgement of whether the
// geometry determines the unknowns at all.
//
// The estimators reduce their coordinates to the centroid of the points and
// divide each column by the network's radius R raised to the degree of its
// term, so every unknown is held as the effect it has at distance R
// (metres), and the columns are of one order.
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tarnwell {

// The observation equations A·p = b, one row at a time.
class ObservationEquations {
 public:
  explicit ObservationEquations(std::size_t unknowns) : unknowns_(unknowns) {}

  void Add(std::span<const double> row, double observation);

  std::size_t Unknowns() const { return unknowns_; }
  std::size_t Rows() const { return observations_.size(); }
  double Coefficient(std::size_t row, std::size_t column) const { return design_[row * unknowns_ + column]; }
  double Observation(std::size_t row) const { return observations_[row]; }

 private:
  std::size_t unknowns_;
  std::vector<double> design_;  // row-major
  std::vector<double> observations_;
};

struct Adjustment {
  std::vector<double> solution;     // p
  std::vector<double> residuals;    // b − A·p, one per row
  std::vector<double> cofactors;    // (AᵀA)⁻¹, row-major, unknowns × unknowns
  std::vector<double> redundancy;   // diagonal of I − A(AᵀA)⁻¹Aᵀ, one per row
  long degreesOfFreedom = 0;        // rows − unknowns
  double sigma0 = 0;                // sqrt(vᵀv / dof); 0 without redundancy

  // σ0·sqrt(gᵀ(AᵀA)⁻¹g): the standard deviation of the function of the
  // unknowns whose gradient is g.
  double StandardDeviation(std::span<const double> gradient) const;
  double StandardDeviation(std::size_t unknown) const;
  // The residual of a row divided by its own standard deviation
  // σ0·sqrt(redundancy); 0 where the row has no redundancy or σ0 is 0.
  double Standardized(std::size_t row) const;
};

// The adjustment; nothing when there are fewer rows than unknowns or the
// columns are linearly dependent (or the decomposition fails).
std::optional<Adjustment> Adjust(const ObservationEquations& equations);

// The a-priori standard deviation of an observation the determination rule
// assumes, metres.
constexpr double kAprioriSigmaMetres = 0.01;
// The largest standard deviation a dimensionless unknown (a rotation in
// radians, a scale, a height slope) may have at the a-priori σ: 1e-3 is
// about 206″ or 1000 ppm.
constexpr double kLargestDimensionlessDeviation = 1e-3;
// The largest effect at the network's radius an unknown's standard deviation
// may have at the a-priori σ, metres.
constexpr double kLargestEffectDeviationMetres = 1;

// An unknown as the determination rule sees it.
struct UnknownColumn {
  std::string_view name;  // as the refusal names it: "旋转 rX", "尺度"
  int degree;             // of its term: 0 a shift, 1 a rotation, scale or slope, 2 a curvature
  bool angle = false;     // of degree 1: a rotation, named in arc-seconds; else a ratio, in ppm
};

// Whether the geometry of the points determines the unknowns: their standard
// deviations for the a-priori σ of every observation, σ·sqrt(qjj), must stay
// within kLargestEffectDeviationMetres as effects at the radius, and for the
// unknowns of degree 1 within kLargestDimensionlessDeviation once divided by
// `radiusMetres`. The empty text when they do, else why not (one line, for
// the refusal's second line).
std::string UndeterminedReason(const Adjustment& adjustment, std::span<const UnknownColumn> columns,
                               double radiusMetres);

}  // namespace tarnwell

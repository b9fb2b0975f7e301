#include "estimate/Adjustment.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "linalg.h"

#include "engine/Units.h"

namespace tarnwell {
namespace {

// Below this share of the largest singular value the columns count as
// dependent: the cofactors would be rounding noise.
constexpr double kDependentColumns = 1e-13;

}  // namespace

void ObservationEquations::Add(std::span<const double> row, double observation) {
  design_.insert(design_.end(), row.begin(), row.end());
  observations_.push_back(observation);
}

double Adjustment::StandardDeviation(std::span<const double> gradient) const {
  const std::size_t n = solution.size();
  double variance = 0;
  for (std::size_t j = 0; j < n; ++j)
    for (std::size_t k = 0; k < n; ++k) variance += gradient[j] * cofactors[j * n + k] * gradient[k];
  return sigma0 * std::sqrt(std::max(variance, 0.0));
}

double Adjustment::StandardDeviation(std::size_t unknown) const {
  return sigma0 * std::sqrt(cofactors[unknown * solution.size() + unknown]);
}

double Adjustment::Standardized(std::size_t row) const {
  // A row whose redundancy is rounding (a point that alone fixes an unknown)
  // says nothing of its own error.
  if (sigma0 <= 0 || redundancy[row] < 1e-9) return 0;
  return residuals[row] / (sigma0 * std::sqrt(redundancy[row]));
}

// By the singular value decomposition A = U·Σ·Vᵀ: p = V·Σ⁻¹·Uᵀ·b,
// (AᵀA)⁻¹ = V·Σ⁻²·Vᵀ and the hat matrix's diagonal Σk U²ik.
std::optional<Adjustment> Adjust(const ObservationEquations& equations) {
  const auto rows = static_cast<alglib::ae_int_t>(equations.Rows());
  const auto columns = static_cast<alglib::ae_int_t>(equations.Unknowns());
  if (rows < columns || columns == 0) return std::nullopt;
  alglib::real_2d_array design;
  design.setlength(rows, columns);
  for (alglib::ae_int_t i = 0; i < rows; ++i)
    for (alglib::ae_int_t j = 0; j < columns; ++j)
      design[i][j] = equations.Coefficient(static_cast<std::size_t>(i), static_cast<std::size_t>(j));
  alglib::real_1d_array singular;
  alglib::real_2d_array u, vt;
  try {
    if (!alglib::rmatrixsvd(design, rows, columns, 1, 1, 2, singular, u, vt)) return std::nullopt;
  } catch (const alglib::ap_error&) {
    return std::nullopt;
  }
  // Descending: the last is the smallest. Written so that NaN fails.
  if (!(singular[columns - 1] > kDependentColumns * singular[0])) return std::nullopt;

  const auto n = static_cast<std::size_t>(columns);
  Adjustment adjustment;
  adjustment.solution.assign(n, 0);
  adjustment.cofactors.assign(n * n, 0);
  for (alglib::ae_int_t k = 0; k < columns; ++k) {
    double projection = 0;
    for (alglib::ae_int_t i = 0; i < rows; ++i) projection += u[i][k] * equations.Observation(static_cast<std::size_t>(i));
    projection /= singular[k];
    const double inverseSquare = 1 / (singular[k] * singular[k]);
    for (alglib::ae_int_t j = 0; j < columns; ++j) {
      adjustment.solution[static_cast<std::size_t>(j)] += vt[k][j] * projection;
      for (alglib::ae_int_t l = 0; l < columns; ++l)
        adjustment.cofactors[static_cast<std::size_t>(j * columns + l)] += vt[k][j] * vt[k][l] * inverseSquare;
    }
  }
  double sumOfSquares = 0;
  for (alglib::ae_int_t i = 0; i < rows; ++i) {
    const auto row = static_cast<std::size_t>(i);
    double fitted = 0, hat = 0;
    for (alglib::ae_int_t j = 0; j < columns; ++j) {
      fitted += equations.Coefficient(row, static_cast<std::size_t>(j)) * adjustment.solution[static_cast<std::size_t>(j)];
      hat += u[i][j] * u[i][j];
    }
    const double residual = equations.Observation(row) - fitted;
    adjustment.residuals.push_back(residual);
    adjustment.redundancy.push_back(std::max(1 - hat, 0.0));
    sumOfSquares += residual * residual;
  }
  adjustment.degreesOfFreedom = static_cast<long>(rows - columns);
  if (adjustment.degreesOfFreedom > 0)
    adjustment.sigma0 = std::sqrt(sumOfSquares / static_cast<double>(adjustment.degreesOfFreedom));
  return adjustment;
}

std::string UndeterminedReason(const Adjustment& adjustment, std::span<const UnknownColumn> columns,
                               double radiusMetres) {
  const std::size_t n = adjustment.solution.size();
  for (std::size_t j = 0; j < n; ++j) {
    const double effect = kAprioriSigmaMetres * std::sqrt(adjustment.cofactors[j * n + j]);
    const bool dimensionless = columns[j].degree == 1;
    const double deviation = dimensionless ? effect / radiusMetres : effect;
    const double limit = dimensionless ? kLargestDimensionlessDeviation : kLargestEffectDeviationMetres;
    // Written so that NaN fails too.
    if (!(effect <= kLargestEffectDeviationMetres && deviation <= limit)) {
      // The clause that failed: the effect at the radius, or the dimensionless
      // value in the unit a surveyor reads it in.
      char why[160];
      if (!(effect <= kLargestEffectDeviationMetres)) {
        std::snprintf(why, sizeof why, "%.3g 米 (限值 %g 米)", effect, kLargestEffectDeviationMetres);
      } else {
        const bool angle = columns[j].angle;
        const double perUnit = angle ? kArcSecondsPerRadian : 1e6;
        const char* unit = angle ? "″" : " ppm";
        std::snprintf(why, sizeof why, "%.3g%s (限值 %.0f%s)", deviation * perUnit, unit, limit * perUnit, unit);
      }
      return "1 厘米的观测误差可使" + std::string(columns[j].name) + "的中误差达到 " + why;
    }
  }
  return {};
}

}  // namespace tarnwell

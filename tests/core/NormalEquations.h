// Least squares by the normal equations AᵀA·p = Aᵀb in long double, solved by
// Gauss-Jordan elimination with partial pivoting: plain, and independent of
// the estimators the tests check against it.
#pragma once

#include <cmath>
#include <cstddef>
#include <utility>
#include <vector>

namespace tarnwell::test {

class NormalEquations {
 public:
  explicit NormalEquations(std::size_t unknowns)
      : unknowns_(unknowns), augmented_(unknowns, std::vector<long double>(unknowns + 1)) {}

  // One observation equation row·p = observation.
  void Add(const std::vector<long double>& row, long double observation) {
    for (std::size_t j = 0; j < unknowns_; ++j) {
      for (std::size_t k = 0; k < unknowns_; ++k) augmented_[j][k] += row[j] * row[k];
      augmented_[j][unknowns_] += row[j] * observation;
    }
  }

  // (AᵀA)⁻¹ by Gauss-Jordan elimination of [AᵀA | I]: the cofactors of the unknowns.
  std::vector<std::vector<long double>> Inverse() const {
    std::vector<std::vector<long double>> m(unknowns_, std::vector<long double>(2 * unknowns_));
    for (std::size_t j = 0; j < unknowns_; ++j) {
      for (std::size_t k = 0; k < unknowns_; ++k) m[j][k] = augmented_[j][k];
      m[j][unknowns_ + j] = 1;
    }
    for (std::size_t column = 0; column < unknowns_; ++column) {
      std::size_t pivot = column;
      for (std::size_t row = column + 1; row < unknowns_; ++row) {
        if (std::fabs(m[row][column]) > std::fabs(m[pivot][column])) pivot = row;
      }
      std::swap(m[pivot], m[column]);
      const long double diagonal = m[column][column];
      for (long double& value : m[column]) value /= diagonal;
      for (std::size_t row = 0; row < unknowns_; ++row) {
        if (row == column) continue;
        const long double factor = m[row][column];
        for (std::size_t k = column; k < 2 * unknowns_; ++k) m[row][k] -= factor * m[column][k];
      }
    }
    for (std::vector<long double>& row : m) row.erase(row.begin(), row.begin() + static_cast<std::ptrdiff_t>(unknowns_));
    return m;
  }

  std::vector<long double> Solve() const {
    std::vector<std::vector<long double>> m = augmented_;
    for (std::size_t column = 0; column < unknowns_; ++column) {
      std::size_t pivot = column;
      for (std::size_t row = column + 1; row < unknowns_; ++row) {
        if (std::fabs(m[row][column]) > std::fabs(m[pivot][column])) pivot = row;
      }
      std::swap(m[pivot], m[column]);
      for (std::size_t row = 0; row < unknowns_; ++row) {
        if (row == column) continue;
        const long double factor = m[row][column] / m[column][column];
        for (std::size_t k = column; k <= unknowns_; ++k) m[row][k] -= factor * m[column][k];
      }
    }
    std::vector<long double> solution(unknowns_);
    for (std::size_t j = 0; j < unknowns_; ++j) solution[j] = m[j][unknowns_] / m[j][j];
    return solution;
  }

 private:
  std::size_t unknowns_;
  std::vector<std::vector<long double>> augmented_;  // [AᵀA | Aᵀb]
};

}  // namespace tarnwell::test

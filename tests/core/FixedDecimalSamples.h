// Values that put a fixed-decimal writer to the test, with the count of
// decimals to write them with, and printf's text as the reference. Shared by
// the unit tests and the long verification run in bench/.
#pragma once

#include <bit>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>

#include "tables/FixedDecimalText.h"

namespace tarnwell {

struct FixedDecimalSample {
  double value;
  int decimals;
};

inline std::string PrintfFixedDecimal(double value, int decimals) {
  char buffer[kFixedDecimalBufferSize + 1];
  std::snprintf(buffer, sizeof buffer, "%.*f", decimals, value);
  return buffer;
}

// 15, the hot case, half the time; any count otherwise.
inline int DrawDecimals(std::mt19937_64& random) {
  return random() % 2 ? kMaxFixedDecimals : int(random() % (kMaxFixedDecimals + 1));
}

// Every bit pattern alike, so every exponent alike: half the values are 2^64
// or more, a quarter below 2^-64; a few are infinite or not a number.
inline FixedDecimalSample DrawBitPattern(std::mt19937_64& random) {
  return {std::bit_cast<double>(random()), DrawDecimals(random)};
}

// Angles in degrees, plane and earth-centred coordinates in metres, heights,
// and the small differences between them.
inline FixedDecimalSample DrawCoordinate(std::mt19937_64& random) {
  static constexpr double kRanges[] = {180, 90, 7e6, 6.4e6, 9000, 1e-3};
  const double range = kRanges[random() % std::size(kRanges)];
  return {std::uniform_real_distribution<double>(-range, range)(random), DrawDecimals(random)};
}

// With d decimals the exact ties are the odd multiples of 2^-(d+1); the two
// neighbours of a tie are just off it.
inline FixedDecimalSample DrawExactTie(std::mt19937_64& random) {
  const int decimals = int(random() % (kMaxFixedDecimals + 1));
  const int significantBits = 1 + int(random() % 53);
  const double tie = std::ldexp(double((random() >> (64 - significantBits)) | 1), -(decimals + 1));
  const int neighbour = int(random() % 3);
  const double value = neighbour == 0 ? tie : std::nextafter(tie, neighbour == 1 ? 0.0 : DBL_MAX);
  return {random() % 2 ? value : -value, decimals};
}

// The double nearest a decimal half (d+1 decimals ending in 5) lies a
// fraction of an ulp above or below it.
inline FixedDecimalSample DrawDecimalHalf(std::mt19937_64& random) {
  const int decimals = DrawDecimals(random);
  std::string text = std::to_string(random() % 10000000) + '.';
  for (int i = 0; i < decimals; ++i) text += char('0' + random() % 10);
  text += '5';
  return {std::strtod(text.c_str(), nullptr), decimals};
}

inline FixedDecimalSample DrawSubnormal(std::mt19937_64& random) {
  const std::uint64_t storedFraction = random() & ((std::uint64_t(1) << 52) - 1);
  const std::uint64_t sign = random() & (std::uint64_t(1) << 63);
  return {std::bit_cast<double>(sign | storedFraction), DrawDecimals(random)};
}

}  // namespace tarnwell

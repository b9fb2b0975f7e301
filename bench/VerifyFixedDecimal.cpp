// Checks WriteFixedDecimal byte for byte against snprintf("%.*f") on many
// random values and prints the count of mismatches (and the first few).
// The values are drawn in equal shares from the kinds the unit tests use:
// random bit patterns, coordinates, exact ties and their neighbours, doubles
// nearest a decimal half, subnormals.
//
//   bench-verify-fixed-decimal [COUNT [SEED]]     COUNT defaults to 100000000
#include <bit>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <string_view>

#include "tables/FixedDecimalText.h"
#include "tests/core/FixedDecimalSamples.h"

int main(int argc, char* argv[]) {
  const std::uint64_t count = argc > 1 ? std::strtoull(argv[1], nullptr, 10) : 100000000;
  const std::uint64_t seed = argc > 2 ? std::strtoull(argv[2], nullptr, 10) : 20240601;
  if (argc > 3 || count == 0) {
    std::fprintf(stderr, "usage: %s [COUNT [SEED]]\n", argv[0]);
    return 2;
  }
  using tarnwell::FixedDecimalSample;
  FixedDecimalSample (*const kinds[])(std::mt19937_64&) = {tarnwell::DrawBitPattern, tarnwell::DrawCoordinate,
                                                           tarnwell::DrawExactTie, tarnwell::DrawDecimalHalf,
                                                           tarnwell::DrawSubnormal};
  std::mt19937_64 random(seed);
  const auto start = std::chrono::steady_clock::now();
  std::uint64_t mismatches = 0;
  char buffer[tarnwell::kFixedDecimalBufferSize];
  for (std::uint64_t i = 0; i < count; ++i) {
    const FixedDecimalSample sample = kinds[i % std::size(kinds)](random);
    const std::string_view ours(buffer, tarnwell::WriteFixedDecimal(sample.value, sample.decimals, buffer) - buffer);
    const std::string expected = tarnwell::PrintfFixedDecimal(sample.value, sample.decimals);
    if (ours == expected) continue;
    if (++mismatches <= 10) {
      std::printf("mismatch: bits 0x%016llx, %d decimals: %.*s instead of %s\n",
                  static_cast<unsigned long long>(std::bit_cast<std::uint64_t>(sample.value)), sample.decimals,
                  int(ours.size()), ours.data(), expected.c_str());
    }
  }
  const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
  std::printf("%llu values, %llu mismatches, %.1f s\n", static_cast<unsigned long long>(count),
              static_cast<unsigned long long>(mismatches), elapsed.count());
  return mismatches == 0 ? 0 : 1;
}

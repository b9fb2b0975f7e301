// Speed of writing output numbers with 15 decimals: our fixed-decimal writer
// against std::to_chars (fixed, 15) and snprintf("%.15f"), on coordinate-like
// values. items_per_second is values per second.
//
//   bench-fixed-decimal [Google Benchmark options]
#include <benchmark/benchmark.h>

#include <charconv>
#include <cmath>
#include <cstdio>
#include <random>
#include <vector>

#include "tables/FixedDecimalText.h"

namespace {

constexpr int kDecimals = 15;

// What a file conversion writes: latitudes and longitudes in China in
// degrees, plane coordinates, earth-centred coordinates and heights in metres.
std::vector<double> CoordinateLikeValues() {
  struct Range {
    double low, high;
  };
  constexpr Range kRanges[] = {{18, 54}, {73, 135}, {2e6, 6e6}, {3e5, 7e5}, {-6.4e6, 6.4e6}, {-100, 5000}};
  std::mt19937_64 random(20240601);
  std::vector<double> values;
  for (int i = 0; i < 6 * 1024; ++i) {
    const Range range = kRanges[i % std::size(kRanges)];
    values.push_back(std::uniform_real_distribution<double>(range.low, range.high)(random));
  }
  return values;
}

// Values of 2^64 and more, which take the exact long-division path.
std::vector<double> HugeValues() {
  std::mt19937_64 random(20240601);
  std::uniform_real_distribution<double> decimalExponent(19.5, 308);
  std::vector<double> values;
  for (int i = 0; i < 1024; ++i) values.push_back(std::pow(10.0, decimalExponent(random)));
  return values;
}

template <class Write>
void WriteEach(benchmark::State& state, const std::vector<double>& values, Write write) {
  char buffer[tarnwell::kFixedDecimalBufferSize + 1];
  for (auto _ : state) {
    for (const double value : values) {
      char* end = write(value, buffer);
      benchmark::DoNotOptimize(end);
      benchmark::ClobberMemory();
    }
  }
  state.SetItemsProcessed(state.iterations() * std::int64_t(values.size()));
}

char* WriteOurs(double value, char* buffer) { return tarnwell::WriteFixedDecimal(value, kDecimals, buffer); }

char* WriteToChars(double value, char* buffer) {
  return std::to_chars(buffer, buffer + tarnwell::kFixedDecimalBufferSize, value, std::chars_format::fixed, kDecimals)
      .ptr;
}

char* WriteSnprintf(double value, char* buffer) {
  return buffer + std::snprintf(buffer, tarnwell::kFixedDecimalBufferSize + 1, "%.*f", kDecimals, value);
}

const std::vector<double> kCoordinates = CoordinateLikeValues();
const std::vector<double> kHuge = HugeValues();

void CoordinatesWriteFixedDecimal(benchmark::State& state) { WriteEach(state, kCoordinates, WriteOurs); }
void CoordinatesToChars(benchmark::State& state) { WriteEach(state, kCoordinates, WriteToChars); }
void CoordinatesSnprintf(benchmark::State& state) { WriteEach(state, kCoordinates, WriteSnprintf); }
void HugeWriteFixedDecimal(benchmark::State& state) { WriteEach(state, kHuge, WriteOurs); }
void HugeToChars(benchmark::State& state) { WriteEach(state, kHuge, WriteToChars); }
void HugeSnprintf(benchmark::State& state) { WriteEach(state, kHuge, WriteSnprintf); }

BENCHMARK(CoordinatesWriteFixedDecimal);
BENCHMARK(CoordinatesToChars);
BENCHMARK(CoordinatesSnprintf);
BENCHMARK(HugeWriteFixedDecimal);
BENCHMARK(HugeToChars);
BENCHMARK(HugeSnprintf);

}  // namespace

BENCHMARK_MAIN();

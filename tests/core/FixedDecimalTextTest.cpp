#include "tables/FixedDecimalText.h"

#include <gtest/gtest.h>

#include <bit>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <string>
#include <string_view>

#include "FixedDecimalSamples.h"

namespace tarnwell {
namespace {

// Fails the test and returns false when our text of the sample differs from printf's.
bool MatchesPrintf(const FixedDecimalSample& sample) {
  char buffer[kFixedDecimalBufferSize];
  const std::string_view ours(buffer, WriteFixedDecimal(sample.value, sample.decimals, buffer) - buffer);
  const std::string expected = PrintfFixedDecimal(sample.value, sample.decimals);
  if (ours == expected) return true;
  ADD_FAILURE() << "value bits 0x" << std::hex << std::bit_cast<std::uint64_t>(sample.value) << std::dec << " with "
                << sample.decimals << " decimals: " << ours << " instead of " << expected;
  return false;
}

// Checks `count` samples drawn with `draw` from a fixed seed, up to the first mismatch.
void ExpectPrintfTexts(int count, FixedDecimalSample (*draw)(std::mt19937_64&)) {
  std::mt19937_64 random(20240601);
  for (int i = 0; i < count; ++i)
    if (!MatchesPrintf(draw(random))) return;
}

struct KnownText {
  double value;
  int decimals;
  const char* text;
};

TEST(FixedDecimalText, WritesKnownTexts) {
  const double infinity = std::numeric_limits<double>::infinity();
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const KnownText cases[] = {
      {500000, 15, "500000.000000000000000"},
      {0.1, 15, "0.100000000000000"},
      {-3.5, 1, "-3.5"},
      {0.5, 0, "0"},  // ties go to the even neighbour
      {1.5, 0, "2"},
      {2.5, 0, "2"},
      {-2.5, 0, "-2"},
      {0.125, 2, "0.12"},
      {0.375, 2, "0.38"},
      {std::nextafter(1.0, 0.0), 15, "1.000000000000000"},  // the carry into the whole part
      {-0.0, 15, "-0.000000000000000"},
      {-1e-20, 3, "-0.000"},
      {DBL_TRUE_MIN, 15, "0.000000000000000"},
      {1e22, 0, "10000000000000000000000"},
      {std::ldexp(1.0, 64), 1, "18446744073709551616.0"},
      {infinity, 15, "inf"},
      {-infinity, 3, "-inf"},
      {nan, 15, "nan"},
      {-nan, 0, "-nan"},
      {1.0, 20, "1.000000000000000"},  // decimals beyond the range are taken as its bound
      {1.5, -3, "2"},
  };
  for (const KnownText& known : cases) {
    std::string text = "x=";
    AppendFixedDecimal(known.value, known.decimals, text);
    EXPECT_EQ(text, std::string("x=") + known.text) << known.value << " with " << known.decimals << " decimals";
  }
}

TEST(FixedDecimalText, MatchesPrintfOnRandomBitPatterns) { ExpectPrintfTexts(200000, DrawBitPattern); }

TEST(FixedDecimalText, MatchesPrintfOnCoordinates) { ExpectPrintfTexts(1500000, DrawCoordinate); }

TEST(FixedDecimalText, MatchesPrintfOnExactTiesAndTheirNeighbours) { ExpectPrintfTexts(600000, DrawExactTie); }

TEST(FixedDecimalText, MatchesPrintfOnDecimalHalves) { ExpectPrintfTexts(400000, DrawDecimalHalf); }

TEST(FixedDecimalText, MatchesPrintfAtTheEndsOfTheRange) {
  // Every power of two with its neighbours, and the largest double.
  for (int exponent = -1074; exponent <= 1023; ++exponent) {
    const double power = std::ldexp(1.0, exponent);
    for (const double value : {power, std::nextafter(power, 0.0), std::nextafter(power, DBL_MAX), -power}) {
      for (int decimals = 0; decimals <= kMaxFixedDecimals; ++decimals)
        if (!MatchesPrintf({value, decimals})) return;
    }
  }
  for (int decimals = 0; decimals <= kMaxFixedDecimals; ++decimals)
    if (!MatchesPrintf({DBL_MAX, decimals}) || !MatchesPrintf({-DBL_MAX, decimals})) return;
  ExpectPrintfTexts(100000, DrawSubnormal);
}

}  // namespace
}  // namespace tarnwell

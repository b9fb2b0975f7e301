#include "engine/FixedDecimalText.h"

#include <gtest/gtest.h>

#include <bit>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <random>
#include <string>
#include <string_view>

namespace tarnwell {
namespace {

std::string PrintfText(double value, int decimals) {
  char buffer[kFixedDecimalBufferSize + 1];
  std::snprintf(buffer, sizeof buffer, "%.*f", decimals, value);
  return buffer;
}

struct Sample {
  double value;
  int decimals;
};

// Fails the test and returns false when our text of the sample differs from printf's.
bool MatchesPrintf(const Sample& sample) {
  char buffer[kFixedDecimalBufferSize];
  const std::string_view ours(buffer, WriteFixedDecimal(sample.value, sample.decimals, buffer) - buffer);
  const std::string expected = PrintfText(sample.value, sample.decimals);
  if (ours == expected) return true;
  ADD_FAILURE() << "value bits 0x" << std::hex << std::bit_cast<std::uint64_t>(sample.value) << std::dec << " with "
                << sample.decimals << " decimals: " << ours << " instead of " << expected;
  return false;
}

// Checks `count` samples drawn with `draw` from a fixed seed, up to the first mismatch.
template <class Draw>
void ExpectPrintfTexts(int count, Draw draw) {
  std::mt19937_64 random(20240601);
  for (int i = 0; i < count; ++i)
    if (!MatchesPrintf(draw(random))) return;
}

// 15, the hot case, half the time; any other count otherwise.
int DrawDecimals(std::mt19937_64& random) {
  return random() % 2 ? kMaxFixedDecimals : int(random() % (kMaxFixedDecimals + 1));
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

TEST(FixedDecimalText, MatchesPrintfOnRandomBitPatterns) {
  // Every exponent alike: half the values are 2^64 or more, a quarter below 2^-64.
  ExpectPrintfTexts(200000, [](std::mt19937_64& random) {
    return Sample{std::bit_cast<double>(random()), DrawDecimals(random)};
  });
}

TEST(FixedDecimalText, MatchesPrintfOnCoordinates) {
  ExpectPrintfTexts(1500000, [](std::mt19937_64& random) {
    // Angles in degrees, plane coordinates and earth-centred ones in metres,
    // heights, and the small differences between them.
    static constexpr double kRanges[] = {180, 90, 7e6, 6.4e6, 9000, 1e-3};
    const double range = kRanges[random() % std::size(kRanges)];
    return Sample{std::uniform_real_distribution<double>(-range, range)(random), DrawDecimals(random)};
  });
}

TEST(FixedDecimalText, MatchesPrintfOnExactTies) {
  // With d decimals the ties are the odd multiples of 2^-(d+1); both
  // neighbours of each are just off the tie.
  ExpectPrintfTexts(600000, [](std::mt19937_64& random) {
    const int decimals = int(random() % (kMaxFixedDecimals + 1));
    const int bits = 1 + int(random() % 53);
    const double tie = std::ldexp(double((random() >> (64 - bits)) | 1), -(decimals + 1));
    const int neighbour = int(random() % 3);
    const double value = neighbour == 0 ? tie : std::nextafter(tie, neighbour == 1 ? 0.0 : DBL_MAX);
    return Sample{random() % 2 ? value : -value, decimals};
  });
}

TEST(FixedDecimalText, MatchesPrintfOnDecimalHalves) {
  // The double nearest a decimal half (written with d+1 decimals ending in 5)
  // lies a fraction of an ulp above or below it.
  ExpectPrintfTexts(400000, [](std::mt19937_64& random) {
    const int decimals = DrawDecimals(random);
    std::string text = std::to_string(random() % 10000000) + '.';
    for (int i = 0; i < decimals; ++i) text += char('0' + random() % 10);
    text += '5';
    return Sample{std::strtod(text.c_str(), nullptr), decimals};
  });
}

TEST(FixedDecimalText, MatchesPrintfAtTheEndsOfTheRange) {
  // Every power of two and its neighbours, the largest double, random subnormals.
  for (int exponent = -1074; exponent <= 1023; ++exponent) {
    const double power = std::ldexp(1.0, exponent);
    for (const double value : {power, std::nextafter(power, 0.0), std::nextafter(power, DBL_MAX), -power}) {
      for (int decimals = 0; decimals <= kMaxFixedDecimals; ++decimals)
        if (!MatchesPrintf({value, decimals})) return;
    }
  }
  for (int decimals = 0; decimals <= kMaxFixedDecimals; ++decimals)
    if (!MatchesPrintf({DBL_MAX, decimals}) || !MatchesPrintf({-DBL_MAX, decimals})) return;
  ExpectPrintfTexts(100000, [](std::mt19937_64& random) {
    const std::uint64_t subnormalBits = random() & ((std::uint64_t(1) << 52) - 1);
    return Sample{std::bit_cast<double>(subnormalBits | (random() & (std::uint64_t(1) << 63))), DrawDecimals(random)};
  });
}

}  // namespace
}  // namespace tarnwell

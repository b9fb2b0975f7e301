#include "engine/FixedDecimalText.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>

namespace tarnwell {
namespace {

using Wide = unsigned __int128;

template <int Count>
constexpr std::array<std::uint64_t, Count> PowersOf(std::uint64_t base) {
  std::array<std::uint64_t, Count> powers{};
  std::uint64_t power = 1;
  for (auto& entry : powers) {
    entry = power;
    power *= base;
  }
  return powers;
}

constexpr auto kPowersOf5 = PowersOf<kMaxFixedDecimals + 1>(5);
constexpr auto kPowersOf10 = PowersOf<20>(10);  // every power below 2^64

// "00" "01" ... "99": two digits per division keep the divisions few.
constexpr auto kDigitPairs = [] {
  std::array<char, 200> pairs{};
  for (int i = 0; i < 100; ++i) {
    pairs[2 * i] = char('0' + i / 10);
    pairs[2 * i + 1] = char('0' + i % 10);
  }
  return pairs;
}();

// Writes `value` as exactly `count` digits, padded with leading zeros.
char* WritePaddedDigits(std::uint64_t value, int count, char* out) {
  char* const end = out + count;
  char* digit = end;
  for (; digit - out >= 2; digit -= 2) {
    std::memcpy(digit - 2, &kDigitPairs[2 * (value % 100)], 2);
    value /= 100;
  }
  if (digit != out) *out = char('0' + value);
  return end;
}

int DigitCount(std::uint64_t value) {
  // Setting the lowest bit keeps the count (no power of ten is odd) and gives
  // 0 its one digit. bit_width·log10(2) estimates the count; the table settles it.
  value |= 1;
  const int estimate = (std::bit_width(value) * 1233) >> 12;
  return estimate + (value >= kPowersOf10[estimate]);
}

char* WriteUnsigned(std::uint64_t value, char* out) {
  return WritePaddedDigits(value, DigitCount(value), out);
}

// Writes significand·2^exponent, a whole number of 2^64 or more, in full.
char* WriteLargeInteger(std::uint64_t significand, int exponent, char* out) {
  // 32-bit limbs, lowest first: DBL_MAX is below 2^1024.
  std::uint32_t limbs[33] = {};
  int limbCount = exponent / 32;
  for (Wide rest = Wide(significand) << (exponent % 32); rest != 0; rest >>= 32)
    limbs[limbCount++] = std::uint32_t(rest);
  // Groups of nine digits, lowest first, by long division.
  constexpr std::uint32_t kGroupBase = 1000000000;
  std::uint32_t groups[35];
  int groupCount = 0;
  while (limbCount > 0) {
    std::uint64_t remainder = 0;
    for (int i = limbCount - 1; i >= 0; --i) {
      const std::uint64_t current = (remainder << 32) | limbs[i];
      limbs[i] = std::uint32_t(current / kGroupBase);
      remainder = current % kGroupBase;
    }
    groups[groupCount++] = std::uint32_t(remainder);
    while (limbCount > 0 && limbs[limbCount - 1] == 0) --limbCount;
  }
  out = WriteUnsigned(groups[groupCount - 1], out);
  for (int i = groupCount - 2; i >= 0; --i) out = WritePaddedDigits(groups[i], 9, out);
  return out;
}

// fractionBits / 2^fractionBitCount (below 1) times 10^decimals, rounded half
// to even. A tie without decimals goes to the even neighbour of integerPart.
std::uint64_t RoundedDecimals(std::uint64_t fractionBits, int fractionBitCount, int decimals,
                              std::uint64_t integerPart) {
  // fraction·10^d = fractionBits·5^d / 2^(fractionBitCount - d), and
  // fractionBits·5^d stays below 2^53·5^15 < 2^88.
  const Wide scaled = Wide(fractionBits) * kPowersOf5[decimals];
  if (fractionBitCount <= decimals) return std::uint64_t(scaled << (decimals - fractionBitCount));
  const int shift = fractionBitCount - decimals;
  if (shift >= 128) return 0;  // less than 2^-40 of the last decimal
  const Wide truncated = scaled >> shift;
  const Wide remainder = scaled - (truncated << shift);
  const Wide half = Wide(1) << (shift - 1);
  const std::uint64_t lastUnit = decimals == 0 ? integerPart : std::uint64_t(truncated);
  const bool roundUp = remainder > half || (remainder == half && (lastUnit & 1) != 0);
  return std::uint64_t(truncated) + roundUp;
}

char* WriteDecimals(std::uint64_t digits, int decimals, char* out) {
  if (decimals == 0) return out;
  *out++ = '.';
  return WritePaddedDigits(digits, decimals, out);
}

}  // namespace

char* WriteFixedDecimal(double value, int decimals, char* out) {
  decimals = std::clamp(decimals, 0, kMaxFixedDecimals);
  const auto bits = std::bit_cast<std::uint64_t>(value);
  if (bits >> 63) *out++ = '-';
  const int biasedExponent = int(bits >> 52) & 0x7ff;
  const std::uint64_t storedFraction = bits & ((std::uint64_t(1) << 52) - 1);
  if (biasedExponent == 0x7ff) {
    std::memcpy(out, storedFraction == 0 ? "inf" : "nan", 3);
    return out + 3;
  }
  // value = significand·2^exponent; a subnormal has no hidden bit.
  const std::uint64_t significand =
      biasedExponent == 0 ? storedFraction : storedFraction | (std::uint64_t(1) << 52);
  const int exponent = std::max(biasedExponent, 1) - 1075;

  if (exponent >= 0) {
    if (exponent > 11) out = WriteLargeInteger(significand, exponent, out);
    else out = WriteUnsigned(significand << exponent, out);
    return WriteDecimals(0, decimals, out);
  }
  const int fractionBitCount = -exponent;
  std::uint64_t integerPart = 0;
  std::uint64_t fractionBits = significand;
  if (fractionBitCount < 64) {
    integerPart = significand >> fractionBitCount;
    fractionBits = significand - (integerPart << fractionBitCount);
  }
  std::uint64_t decimalDigits = RoundedDecimals(fractionBits, fractionBitCount, decimals, integerPart);
  if (decimalDigits == kPowersOf10[decimals]) {  // rounded up to the next whole number
    ++integerPart;
    decimalDigits = 0;
  }
  out = WriteUnsigned(integerPart, out);
  return WriteDecimals(decimalDigits, decimals, out);
}

void AppendFixedDecimal(double value, int decimals, std::string& text) {
  char buffer[kFixedDecimalBufferSize];
  text.append(buffer, WriteFixedDecimal(value, decimals, buffer));
}

}  // namespace tarnwell

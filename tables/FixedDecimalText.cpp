#include "tables/FixedDecimalText.h"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace tarnwell {
namespace {

static_assert(std::endian::native == std::endian::little, "digits are packed into words lowest byte first");

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
constexpr std::uint32_t kGroupBase = 100000000;  // eight digits
constexpr int kGroupDigits = 8;

// The eight decimal digits of `value` (below 10^8, with leading zeros) as
// characters packed in a word, first digit in the lowest byte. The value is
// split into 4-digit halves, then 2-digit quarters, then digits, each lane
// of the word divided at once by a multiply and shift (exact in these ranges).
std::uint64_t DigitGroup(std::uint32_t value) {
  std::uint64_t lanes = value / 10000 | std::uint64_t(value % 10000) << 32;
  const std::uint64_t hundreds = ((lanes * 10486) >> 20) & 0x0000007F0000007F;
  lanes = hundreds | (lanes - hundreds * 100) << 16;
  const std::uint64_t tens = ((lanes * 103) >> 10) & 0x000F000F000F000F;
  lanes = tens | (lanes - tens * 10) << 8;
  return lanes + 0x3030303030303030;  // '0' in every byte
}

char* StoreWord(std::uint64_t word, char* out) {
  std::memcpy(out, &word, sizeof word);
  return out + sizeof word;
}

int DigitCount(std::uint32_t value) {
  // Setting the lowest bit keeps the count (no power of ten is odd) and gives
  // 0 its one digit. bit_width·log10(2) estimates the count; the table settles it.
  value |= 1;
  const int estimate = (std::bit_width(value) * 1233) >> 12;
  return estimate + (value >= kPowersOf10[estimate]);
}

// Writes `value` without leading zeros and returns the end of its digits;
// the eight bytes from there may be overwritten.
char* WriteUnsigned(std::uint64_t value, char* out) {
  if (value >= kGroupBase) {
    out = WriteUnsigned(value / kGroupBase, out);
    return StoreWord(DigitGroup(std::uint32_t(value % kGroupBase)), out);
  }
  const int digits = DigitCount(std::uint32_t(value));
  StoreWord(DigitGroup(std::uint32_t(value)) >> 8 * (kGroupDigits - digits), out);
  return out + digits;
}

// The point and `decimals` digits of `scaledFraction` (below 10^decimals),
// padded with leading zeros; the 16 bytes after the point may be overwritten.
char* WriteDecimals(std::uint64_t scaledFraction, int decimals, char* out) {
  if (decimals == 0) return out;
  *out++ = '.';
  // Aligned to the left of sixteen digits, the wanted ones come first.
  const std::uint64_t sixteenDigits = scaledFraction * kPowersOf10[2 * kGroupDigits - decimals];
  StoreWord(DigitGroup(std::uint32_t(sixteenDigits / kGroupBase)), out);
  StoreWord(DigitGroup(std::uint32_t(sixteenDigits % kGroupBase)), out + kGroupDigits);
  return out + decimals;
}

// dividend / 2^shift rounded half to even, with 0 < shift < the width of
// Unsigned; `leading` is added before rounding and taken off after, so only
// its parity matters: it decides a tie.
template <class Unsigned>
std::uint64_t RoundedQuotient(Unsigned dividend, int shift, std::uint64_t leading) {
  const Unsigned truncated = dividend >> shift;
  const Unsigned remainder = dividend - (truncated << shift);
  const Unsigned half = Unsigned(1) << (shift - 1);
  const bool odd = ((std::uint64_t(truncated) + leading) & 1) != 0;
  return std::uint64_t(truncated) + (remainder > half || (remainder == half && odd));
}

// fractionBits / 2^fractionBitCount (below 1) times 10^decimals, rounded half
// to even as part of the whole number integerPart·10^decimals + that.
std::uint64_t RoundedDecimals(std::uint64_t fractionBits, int fractionBitCount, int decimals,
                              std::uint64_t integerPart) {
  // fraction·10^d = fractionBits·5^d / 2^(fractionBitCount - d), and
  // fractionBits·5^d stays below 2^53·5^15 < 2^88.
  const Wide scaled = Wide(fractionBits) * kPowersOf5[decimals];
  if (fractionBitCount <= decimals) return std::uint64_t(scaled << (decimals - fractionBitCount));
  const int shift = fractionBitCount - decimals;
  if (shift >= 128) return 0;  // less than 2^-40 of the last decimal
  const std::uint64_t leading = integerPart * kPowersOf10[decimals];  // wraps: only its parity counts
  // Most coordinates fit the cheaper 64-bit arithmetic.
  if (shift < 64 && scaled >> 64 == 0) return RoundedQuotient(std::uint64_t(scaled), shift, leading);
  return RoundedQuotient(scaled, shift, leading);
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

  if (exponent > 11) {
    // A whole number of 2^64 or more, up to 309 digits: the standard
    // library's exact conversion is the quicker one here.
    return std::to_chars(out, out + kFixedDecimalBufferSize - 1, std::fabs(value), std::chars_format::fixed,
                         decimals).ptr;
  }
  if (exponent >= 0) return WriteDecimals(0, decimals, WriteUnsigned(significand << exponent, out));

  const int fractionBitCount = -exponent;
  std::uint64_t integerPart = 0;
  std::uint64_t fractionBits = significand;
  if (fractionBitCount < 64) {
    integerPart = significand >> fractionBitCount;
    fractionBits = significand - (integerPart << fractionBitCount);
  }
  std::uint64_t scaledFraction = RoundedDecimals(fractionBits, fractionBitCount, decimals, integerPart);
  if (scaledFraction == kPowersOf10[decimals]) {  // rounded up to the next whole number
    ++integerPart;
    scaledFraction = 0;
  }
  return WriteDecimals(scaledFraction, decimals, WriteUnsigned(integerPart, out));
}

void AppendFixedDecimal(double value, int decimals, std::string& text) {
  char buffer[kFixedDecimalBufferSize];
  text.append(buffer, WriteFixedDecimal(value, decimals, buffer));
}

}  // namespace tarnwell

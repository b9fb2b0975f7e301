#include "engine/NumberText.h"

#include <charconv>
#include <clocale>
#include <cstdlib>
#include <locale.h>

namespace tarnwell {
namespace {

bool IsCSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// strtod in the "C" locale, for the rare texts from_chars does not settle
// (a value beyond the range of double).
double StrtodInCLocale(std::string_view text) {
  static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", nullptr);
  const std::string terminated(text);
  return strtod_l(terminated.c_str(), nullptr, cLocale);
}

// The unsigned part of a number: decimal (with "inf" and "nan"), or
// hexadecimal after "0x" as strtod reads it. False when no number begins it.
bool ParseUnsigned(std::string_view text, double& value) {
  const char* begin = text.data();
  const char* end = begin + text.size();
  const bool hexadecimal = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
  const std::errc error = hexadecimal
      ? std::from_chars(begin + 2, end, value, std::chars_format::hex).ec
      : std::from_chars(begin, end, value, std::chars_format::general).ec;
  if (error == std::errc::result_out_of_range) {
    value = StrtodInCLocale(text);
    return true;
  }
  if (error == std::errc()) return true;
  // "0x" followed by no hexadecimal digit still reads as the 0 before the x.
  value = 0;
  return hexadecimal;
}

}  // namespace

void FormatNumberInto(double value, std::string& text) {
  // A double needs at most 309 integer digits, a sign, a point and 15 decimals.
  char buffer[340];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 15);
  text.assign(buffer, result.ptr);
}

std::string FormatNumber(double value) {
  std::string text;
  FormatNumberInto(value, text);
  return text;
}

double ParseNumber(std::string_view text) {
  std::size_t position = 0;
  while (position < text.size() && IsCSpace(text[position])) ++position;
  bool negative = false;
  if (position < text.size() && (text[position] == '+' || text[position] == '-')) {
    negative = text[position] == '-';
    ++position;
  }
  // from_chars takes a sign of its own; after ours, a second one is no number.
  if (position < text.size() && (text[position] == '+' || text[position] == '-')) return 0;
  double magnitude = 0;
  if (!ParseUnsigned(text.substr(position), magnitude)) return 0;
  return negative ? -magnitude : magnitude;
}

}  // namespace tarnwell

#include "tables/NumberText.h"

#include <charconv>
#include <cmath>

#include "tables/FixedDecimalText.h"

namespace tarnwell {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// Length of the run of digits at `position`.
std::size_t DigitsAt(std::string_view text, std::size_t position) {
  std::size_t end = position;
  while (end < text.size() && IsDigit(text[end])) ++end;
  return end - position;
}

}  // namespace

std::string FormatNumber(double value) {
  std::string text;
  AppendFixedDecimal(value, 15, text);
  return text;
}

void AppendShortestNumber(double value, std::string& text) {
  char digits[400];  // room for any double in fixed notation
  text.append(digits, std::to_chars(digits, digits + sizeof digits, value, std::chars_format::fixed).ptr);
}

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

bool ReadNumber(std::string_view text, double& value) {
  text = TrimBlanks(text);
  bool negative = false;
  if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  // std::from_chars reads the decimal form of strtod, without blanks and
  // without a "+" sign; a digit or a point first also keeps out a second
  // sign, "inf" and "nan". Taken whole, that is a decimal number alone.
  if (text.empty() || !(IsDigit(text.front()) || text.front() == '.')) return false;
  double magnitude;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), magnitude);
  if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(magnitude)) return false;
  value = negative ? -magnitude : magnitude;
  return true;
}

bool ReadWholeNumber(std::string_view text, double& value) {
  text = TrimBlanks(text);
  return !text.empty() && DigitsAt(text, 0) == text.size() && ReadNumber(text, value);
}

}  // namespace tarnwell

#include "engine/AngleText.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>

#include "engine/NumberText.h"

namespace tarnwell {
namespace {

bool IsDigitOrPoint(char c) { return (c >= '0' && c <= '9') || c == '.'; }

// Whole degrees and minutes: optional white space and sign, then the decimal
// digits up to the first other character; a fraction is dropped and text
// without digits gives 0. Saturates instead of overflowing.
std::int64_t LeadingInteger(std::string_view text) {
  std::size_t position = 0;
  while (position < text.size() && (text[position] == ' ' || text[position] == '\t')) ++position;
  bool negative = false;
  if (position < text.size() && (text[position] == '+' || text[position] == '-')) {
    negative = text[position] == '-';
    ++position;
  }
  constexpr std::int64_t limit = std::numeric_limits<std::int32_t>::max();
  std::int64_t value = 0;
  for (; position < text.size() && text[position] >= '0' && text[position] <= '9'; ++position)
    value = std::min(limit, value * 10 + (text[position] - '0'));
  return negative ? -value : value;
}

// The angle's pieces, cut at the separator: the first character after the
// leading digits and points. No separator gives no pieces.
std::size_t SplitAngle(std::string_view text, std::string_view pieces[], std::size_t maxPieces) {
  std::size_t separatorAt = 0;
  while (separatorAt < text.size() && IsDigitOrPoint(text[separatorAt])) ++separatorAt;
  if (separatorAt == text.size()) return 0;  // also the empty text
  const char separator = text[separatorAt];
  std::size_t count = 0;
  std::size_t start = 0;
  for (;;) {
    const std::size_t end = text.find(separator, start);
    if (count == maxPieces) return maxPieces + 1;  // too many: the count alone matters
    pieces[count++] = text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
    if (end == std::string_view::npos) return count;
    start = end + 1;
  }
}

// Appends a whole number padded on the left with "0" to `width` characters.
void AppendPadded(std::string& text, std::int32_t value, int width) {
  char digits[16];
  const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
  const auto length = static_cast<int>(end - digits);
  if (length < width) text.append(static_cast<std::size_t>(width - length), '0');
  text.append(digits, end);
}

}  // namespace

bool AngleTextToDegrees(std::string_view format, std::string& text) {
  const bool dms = format == "DMS";
  if (!dms && format != "DMM") return true;

  std::string_view body = text;
  const bool negative = !body.empty() && body.front() == '-';
  if (!body.empty() && (body.front() == '-' || body.front() == '+')) body.remove_prefix(1);

  std::string_view pieces[3];
  const std::size_t wanted = dms ? 3 : 2;
  if (SplitAngle(body, pieces, wanted) != wanted) return false;

  const auto degrees = static_cast<double>(LeadingInteger(pieces[0]));
  double value;
  if (dms) {
    const auto minutes = static_cast<double>(LeadingInteger(pieces[1]));
    value = (minutes / 60 + degrees) + ParseNumber(pieces[2]) / 3600;
  } else {
    value = ParseNumber(pieces[1]) / 60 + degrees;
  }
  FormatNumberInto(negative ? -value : value, text);
  return true;
}

void DegreesToAngleText(std::string_view format, std::string& text) {
  const bool dms = format == "DMS";
  if (!dms && format != "DMM") return;

  const double value = ParseNumber(text);
  const double magnitude = std::fabs(value);
  // Only an angle can be written as one; anything else stays number text.
  if (!(magnitude < std::numeric_limits<std::int32_t>::max())) return;

  const auto degrees = static_cast<std::int32_t>(magnitude);  // truncated, never rounded
  const double minutes = (magnitude - degrees) * 60;
  text.clear();
  if (value < 0) text += '-';
  AppendPadded(text, degrees, 3);
  text += ':';
  if (dms) {
    const auto wholeMinutes = static_cast<std::int32_t>(minutes);
    AppendPadded(text, wholeMinutes, 2);
    text += ':';
    text += FormatNumber((minutes - wholeMinutes) * 60);
  } else {
    text += FormatNumber(minutes);
  }
}

}  // namespace tarnwell

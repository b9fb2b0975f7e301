#include "engine/AngleText.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>

#include "tables/FixedDecimalText.h"
#include "tables/NumberText.h"

namespace tarnwell {
namespace {

constexpr double kPoleLatitude = 90;  // degrees
constexpr std::string_view kDegreeMark = "°";
constexpr std::string_view kMinuteMarks[] = {"′", "'"};
constexpr std::string_view kSecondMarks[] = {"″", "\""};

bool IsDigitOrPoint(char c) { return (c >= '0' && c <= '9') || c == '.'; }

// What may stand between the pieces of an angle. Nothing else: a comma
// would make "31,5" in DMM 31°05′, and a letter "1e15" 1°15′.
bool IsSeparator(char c) { return c == ':' || c == ' ' || c == '/'; }

// Cuts the text before the first of `marks` found in it, returning the piece
// and leaving the rest after the mark in `text`; the whole text when none is.
std::string_view CutAtMark(std::string_view& text, std::initializer_list<std::string_view> marks) {
  for (std::string_view mark : marks) {
    if (const std::size_t at = text.find(mark); at != std::string_view::npos) {
      const std::string_view piece = text.substr(0, at);
      text.remove_prefix(at + mark.size());
      return piece;
    }
  }
  const std::string_view piece = text;
  text = {};
  return piece;
}

// The pieces of an angle written with ° ′ ″ (or ' "): degrees, minutes and,
// for DMS, seconds. The last mark may be left out.
bool SplitAtMarks(std::string_view text, std::size_t wanted, std::string_view pieces[]) {
  const std::size_t degreeAt = text.find(kDegreeMark);
  if (degreeAt == std::string_view::npos) return false;
  pieces[0] = text.substr(0, degreeAt);
  text.remove_prefix(degreeAt + kDegreeMark.size());
  pieces[1] = CutAtMark(text, {kMinuteMarks[0], kMinuteMarks[1]});
  if (wanted == 3) pieces[2] = CutAtMark(text, {kSecondMarks[0], kSecondMarks[1]});
  return text.empty();
}

// The pieces of an angle cut at its separator: the first character after the
// leading digits and points. Exactly `wanted` pieces or false.
bool SplitAtSeparator(std::string_view text, std::size_t wanted, std::string_view pieces[]) {
  std::size_t separatorAt = 0;
  while (separatorAt < text.size() && IsDigitOrPoint(text[separatorAt])) ++separatorAt;
  if (separatorAt == text.size() || !IsSeparator(text[separatorAt])) return false;
  const char separator = text[separatorAt];
  for (std::size_t count = 0;; ++count) {
    if (count == wanted) return false;
    const std::size_t end = text.find(separator);
    pieces[count] = text.substr(0, end);
    if (end == std::string_view::npos) return count + 1 == wanted;
    text.remove_prefix(end + 1);
  }
}

// DMS and DMM angles pass through the engine as decimal degrees written with
// 15 decimals, as they always have: converted results stay the same to the
// last printed digit.
double AsPrintedDegrees(double degrees) {
  double printed = degrees;
  ReadNumber(FormatNumber(degrees), printed);
  return printed;
}

// Appends a whole number padded on the left with "0" to `width` characters.
void AppendPadded(std::string& text, std::int32_t value, int width) {
  char digits[16];
  const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
  const auto length = static_cast<int>(end - digits);
  if (length < width) text.append(static_cast<std::size_t>(width - length), '0');
  text.append(digits, end);
}

// Whether the written minutes or seconds (of a value below 60) read 60.
bool RoundsToSixty(const char* begin, const char* end) {
  return end - begin >= 2 && begin[0] == '6' && begin[1] == '0';
}

}  // namespace

bool ReadAngle(std::string_view text, AngleFormat format, double& degrees) {
  text = TrimBlanks(text);
  const bool negative = !text.empty() && text.front() == '-';
  if (!text.empty() && (text.front() == '-' || text.front() == '+')) text.remove_prefix(1);
  if (format == AngleFormat::DDD) {
    // The sign is the angle's; the number after it must not carry another.
    double magnitude;
    if (text.empty() || text.front() == '+' || text.front() == '-' || !ReadNumber(text, magnitude)) return false;
    degrees = negative ? -magnitude : magnitude;
    return true;
  }
  const std::size_t wanted = format == AngleFormat::DMS ? 3 : 2;
  std::string_view pieces[3];
  const bool split = text.find(kDegreeMark) != std::string_view::npos ? SplitAtMarks(text, wanted, pieces)
                                                                      : SplitAtSeparator(text, wanted, pieces);
  double wholeDegrees, minutes, seconds = 0;
  if (!split || !ReadWholeNumber(pieces[0], wholeDegrees)) return false;
  const std::string_view fraction = pieces[wanted - 1];
  // Minutes and seconds are unsigned: a sign belongs to the whole angle.
  if (TrimBlanks(fraction).starts_with('+') || TrimBlanks(fraction).starts_with('-')) return false;
  double value;
  if (format == AngleFormat::DMS) {
    if (!ReadWholeNumber(pieces[1], minutes) || !ReadNumber(fraction, seconds)) return false;
    value = (minutes / 60 + wholeDegrees) + seconds / 3600;
  } else {
    if (!ReadNumber(fraction, minutes)) return false;
    value = minutes / 60 + wholeDegrees;
  }
  // Minutes and seconds count up to 60 and no further: 30:75:00 is a typing
  // mistake, not 31°15′.
  if (minutes >= 60 || seconds >= 60) return false;
  degrees = AsPrintedDegrees(negative ? -value : value);
  return true;
}

bool ReadGeodeticPoint(std::string_view latitude, std::string_view longitude, std::string_view height,
                       AngleFormat format, GeodeticPoint& point) {
  GeodeticPoint read;
  if (!ReadAngle(latitude, format, read.latitude) || !ReadAngle(longitude, format, read.longitude) ||
      !ReadNumber(height, read.height) || std::fabs(read.latitude) > kPoleLatitude)
    return false;
  point = read;
  return true;
}

void AppendAngle(double degrees, AngleFormat format, std::string& text, int decimals) {
  if (format != AngleFormat::DDD) degrees = AsPrintedDegrees(degrees);
  const double magnitude = std::fabs(degrees);
  // Only an angle can be written as one; anything else stays number text.
  if (format == AngleFormat::DDD || !(magnitude < std::numeric_limits<std::int32_t>::max())) {
    AppendFixedDecimal(degrees, decimals, text);
    return;
  }
  auto wholeDegrees = static_cast<std::int32_t>(magnitude);  // truncated
  const double minutes = (magnitude - wholeDegrees) * 60;
  auto wholeMinutes = static_cast<std::int32_t>(minutes);
  // The last piece, rounded; a rounding up to 60 carries into the piece before.
  char last[kFixedDecimalBufferSize];
  const double lastValue = format == AngleFormat::DMS ? (minutes - wholeMinutes) * 60 : minutes;
  char* lastEnd = WriteFixedDecimal(lastValue, decimals, last);
  if (RoundsToSixty(last, lastEnd)) {
    lastEnd = WriteFixedDecimal(0.0, decimals, last);
    if (format == AngleFormat::DMM || ++wholeMinutes == 60) {
      wholeMinutes = 0;
      ++wholeDegrees;
    }
  }
  if (degrees < 0) text += '-';
  AppendPadded(text, wholeDegrees, 3);
  text += ':';
  if (format == AngleFormat::DMS) {
    AppendPadded(text, wholeMinutes, 2);
    text += ':';
  }
  text.append(last, lastEnd);
}

}  // namespace tarnwell

// Latitude and longitude as text in the three angle formats:
//   "DMS"  degrees:minutes:seconds   120:15:0.000000000000000
//   "DDD"  decimal degrees           120.250000000000000
//   "DMM"  degrees:decimal minutes   120:15.000000000000000
// Inside the engine angles are decimal degrees written by FormatNumber.
#pragma once

#include <string>
#include <string_view>

namespace tarnwell {

// Rewrites an angle text in `format` as decimal-degree number text. Returns
// false, leaving the text unchanged, when the text lacks the shape the format
// needs ("DMS": three pieces, "DMM": two, cut at the first character after
// the leading digits and points). A leading "-" or "+" is the sign of the
// whole angle. "DDD" and any other keyword accept the text unchanged.
bool AngleTextToDegrees(std::string_view format, std::string& text);

// Rewrites decimal-degree number text in place in `format`. Minutes and
// seconds are truncated, never rounded up to 60; a negative angle carries one
// sign in front of the whole text. "DDD" and other keywords leave it as is.
void DegreesToAngleText(std::string_view format, std::string& text);

}  // namespace tarnwell

// Latitude and longitude as text in the three angle formats:
//   "DMS"  degrees:minutes:seconds   120:15:0.000000000000000
//   "DDD"  decimal degrees           120.250000000000000
//   "DMM"  degrees:decimal minutes   120:15.000000000000000
// Inside the engine angles are decimal degrees.
#pragma once

#include <string>
#include <string_view>

#include "engine/Keywords.h"
#include "engine/Points.h"

namespace tarnwell {

enum class AngleFormat { DMS, DDD, DMM };

inline constexpr Keyword<AngleFormat> kAngleFormats[] = {
    {"DMS", AngleFormat::DMS}, {"DDD", AngleFormat::DDD}, {"DMM", AngleFormat::DMM}};

// Reads an angle text in `format` as decimal degrees. One optional sign in
// front belongs to the whole angle; then, after trimming blanks:
//   DDD  one number;
//   DMM  whole degrees, a separator, decimal minutes;
//   DMS  whole degrees, a separator, whole minutes, the same separator,
//        decimal seconds;
// each piece wholly a number. The separator is the first character after the
// degree digits: ":" as written, " " or "/", and no other. DMS and DMM also
// take the marks ° ′ ″ (UTF-8) or ' " after their pieces: 30°30′15.5″,
// 30°30'15.5". Minutes and seconds are below 60 (59.999″ is, 30:75:00 is
// refused). False, with `degrees` untouched, for any other text.
bool ReadAngle(std::string_view text, AngleFormat format, double& degrees);

// Reads the three texts of a geodetic point: B and L in `format`, h a
// number in metres. False, with `point` untouched, when any does not read
// or B lies beyond ±90°.
bool ReadGeodeticPoint(std::string_view latitude, std::string_view longitude, std::string_view height,
                       AngleFormat format, GeodeticPoint& point);

// Appends decimal degrees in `format`, the last piece (seconds, minutes or
// degrees) with `decimals` decimals (0 to 15). Whole minutes and degrees are
// truncated; the last piece is rounded correctly, and when it rounds up to 60
// it carries into the piece before: 59.99995″ at 4 decimals is the next
// minute, 0.0000″. At 15 decimals nothing can round up to 60. A negative
// angle carries one sign in front of the whole text. A value too large to be
// an angle is written as a number.
void AppendAngle(double degrees, AngleFormat format, std::string& text, int decimals = 15);

}  // namespace tarnwell

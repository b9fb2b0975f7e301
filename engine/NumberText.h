// Numbers as text: the one way the engine writes a number and the one way it
// reads one. Values travel between the user, files and the engine as text.
#pragma once

#include <string>
#include <string_view>

namespace tarnwell {

// Fixed-point notation with exactly 15 decimals, "." as decimal point, a
// leading "-" for negatives: the bytes printf("%.15f") writes.
// 500000 is written 500000.000000000000000.
std::string FormatNumber(double value);

// The same, written over `text` (its storage is reused: no allocation on the
// hot path of a file conversion).
void FormatNumberInto(double value, std::string& text);

// The C strtod rules with "." as decimal point, whatever the locale: leading
// white space skipped, optional sign, the longest prefix that forms a number;
// the rest is ignored. Text that does not begin with a number gives 0.
double ParseNumber(std::string_view text);

}  // namespace tarnwell

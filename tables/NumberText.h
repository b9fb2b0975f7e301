// Numbers as text: the one way the program writes a number and the one way it
// reads one. Values arrive from the user, from files and from the tables as
// text; they are read once, strictly, at that boundary.
#pragma once

#include <string>
#include <string_view>

namespace tarnwell {

// Fixed-point notation with exactly 15 decimals, "." as decimal point, a
// leading "-" for negatives: the bytes printf("%.15f") writes.
// 500000 is written 500000.000000000000000.
std::string FormatNumber(double value);

// The shortest text in fixed notation that reads back to the same double
// ("117", "500000", "0.9996", "6378137.5"), appended to `text`: for values
// handed on to PROJ or shown as a parameter.
void AppendShortestNumber(double value, std::string& text);

// `text` without the blanks (spaces and tabs) at either end.
std::string_view TrimBlanks(std::string_view text);

// True when `text`, once trimmed of blanks, is wholly one decimal number: an
// optional sign, digits with at most one point (at least one digit), and an
// optional exponent ("e" or "E", optional sign, digits). Empty text, letters,
// "nan", "inf", hexadecimal, full-width digits, two signs and numbers beyond
// the range of double are refused: `value` is then left as it was.
bool ReadNumber(std::string_view text, double& value);

// The same for a whole number of digits alone (no sign, point or exponent):
// the degrees and minutes of an angle text.
bool ReadWholeNumber(std::string_view text, double& value);

}  // namespace tarnwell

// The order of every sorted list of the program (ellipsoid names, the
// projection list, the common points): case-insensitive for ASCII letters,
// bytes compared as unsigned; texts equal but for case fall back to plain
// byte order, so the order is total and the same on every platform.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tarnwell {

bool ListTextLess(std::string_view left, std::string_view right);

// Inserts `text` into the sorted `list` after any equal texts; returns the
// position it took.
std::size_t InsertSorted(std::vector<std::string>& list, std::string text);

}  // namespace tarnwell

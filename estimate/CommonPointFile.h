// The reading of a common-point file, whichever its layout: one point a
// line, blank lines left out, every line read before any is kept.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace tarnwell {

// A line that does not split into the fields of its layout.
constexpr std::string_view kBadCommonPointLine = "文件的格式不正确，请检查。";

// Reads one line of the file and keeps what it read: the empty text when the
// line was taken, else the message for it.
using CommonPointLineReader = std::function<std::string(std::string_view line)>;

// Hands every line that is not blank to `readLine`, in file order. False,
// with the message shown, at the first line it refuses (the message gets the
// line's number and the line itself) and for a file that cannot be read
// ("坐标文件无法读取。"); the caller then keeps nothing of what was read.
bool ReadCommonPointFile(const std::string& path, const CommonPointLineReader& readLine);

}  // namespace tarnwell

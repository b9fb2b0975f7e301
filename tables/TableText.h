// Small text operations on table lines and fields.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tarnwell {

// Cuts a text at every `separator`. A text without the separator gives no
// fields at all (not one field holding the text); empty pieces count
// wherever they stand. No quoting, no escaping.
std::vector<std::string> SplitAtChar(std::string_view text, char separator);

// The same, filling `fields` (whose storage is reused).
void SplitAtChar(std::string_view text, char separator, std::vector<std::string>& fields);

// Cuts a text at `separator` into exactly fields.size() pieces, as views
// into `text`; false when it holds more or fewer. Stops at the first
// separator too many, so a long line of separators costs nothing.
bool SplitExactly(std::string_view text, char separator, std::span<std::string_view> fields);

// Removes the whole run of `ch` at the start or at the end of `text`.
void TrimLeft(std::string& text, char ch);
void TrimRight(std::string& text, char ch);

// For a field "label=value" (perhaps in double quotes): the text between the
// first "=" and the next "=" or the end, with trailing double quotes removed.
std::string ValueAfterEquals(std::string_view field);

}  // namespace tarnwell

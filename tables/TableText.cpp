#include "tables/TableText.h"

namespace tarnwell {

std::vector<std::string> SplitAtChar(std::string_view text, char separator) {
  std::vector<std::string> fields;
  SplitAtChar(text, separator, fields);
  return fields;
}

void SplitAtChar(std::string_view text, char separator, std::vector<std::string>& fields) {
  // The strings already in `fields` are written over, so splitting line
  // after line of a file allocates nothing once they have grown.
  std::size_t count = 0;
  const auto put = [&](std::string_view piece) {
    if (count < fields.size()) {
      fields[count].assign(piece);
    } else {
      fields.emplace_back(piece);
    }
    ++count;
  };
  if (text.find(separator) != std::string_view::npos) {
    std::size_t start = 0;
    for (std::size_t end; (end = text.find(separator, start)) != std::string_view::npos; start = end + 1)
      put(text.substr(start, end - start));
    put(text.substr(start));
  }
  fields.resize(count);
}

bool SplitExactly(std::string_view text, char separator, std::span<std::string_view> fields) {
  std::size_t start = 0;
  for (std::size_t index = 0; index + 1 < fields.size(); ++index) {
    const std::size_t end = text.find(separator, start);
    if (end == std::string_view::npos) return false;
    fields[index] = text.substr(start, end - start);
    start = end + 1;
  }
  fields.back() = text.substr(start);
  return fields.back().find(separator) == std::string_view::npos;
}

void TrimLeft(std::string& text, char ch) {
  text.erase(0, text.find_first_not_of(ch));
}

void TrimRight(std::string& text, char ch) {
  const std::size_t lastKept = text.find_last_not_of(ch);
  text.erase(lastKept == std::string::npos ? 0 : lastKept + 1);
}

std::string ValueAfterEquals(std::string_view field) {
  // The second piece of the field cut at "=": nothing when there is no "=".
  const std::size_t firstEquals = field.find('=');
  if (firstEquals == std::string_view::npos) return {};
  std::string value(field.substr(firstEquals + 1, field.find('=', firstEquals + 1) - firstEquals - 1));
  TrimRight(value, '"');
  return value;
}

}  // namespace tarnwell

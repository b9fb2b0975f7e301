#include "engine/FileLayout.h"

#include <array>

#include "tables/TableText.h"

namespace tarnwell {
namespace {

// The value letters of each type, in the order of its three values.
std::array<std::string_view, 3> ValueLetters(CoordinateType type) {
  switch (type) {
    case CoordinateType::LB: return {"b", "l", "h"};
    case CoordinateType::Plan: return {"x", "y", "h"};
    case CoordinateType::Space: return {"X", "Y", "Z"};
  }
  return {};
}

std::optional<ColumnContent> ContentOf(std::string_view word, CoordinateType type) {
  if (word == "name") return ColumnContent::Name;
  if (word == "code" || word == "extra") return ColumnContent::PassThrough;
  constexpr ColumnContent kValues[] = {ColumnContent::FirstValue, ColumnContent::SecondValue, ColumnContent::ThirdValue};
  const std::array<std::string_view, 3> letters = ValueLetters(type);
  for (std::size_t index = 0; index < letters.size(); ++index) {
    if (word == letters[index]) return kValues[index];
  }
  return std::nullopt;
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

}  // namespace

std::array<std::string_view, 3> ValueNames(CoordinateType type, HeightSystem height) {
  const std::string_view heightName = height == HeightSystem::Normal ? "正常高" : "大地高";
  switch (type) {
    case CoordinateType::Space: return {"X", "Y", "Z"};
    case CoordinateType::LB: return {"纬度", "经度", heightName};
    case CoordinateType::Plan: break;
  }
  return {"北坐标", "东坐标", heightName};
}

std::string_view ColumnWordName(std::string_view word, CoordinateType wordType, CoordinateType namedType,
                                HeightSystem height) {
  if (word == "name") return "点名";
  if (word == "code") return "编码";
  const std::optional<ColumnContent> content = ContentOf(word, wordType);
  const std::optional<int> value = content ? ValueIndexOf(*content) : std::nullopt;
  if (!value) return "附加";
  return ValueNames(namedType, height)[static_cast<std::size_t>(*value)];
}

void AppendCsvField(std::string_view field, std::string& text) {
  if (field.find_first_of(",\"\r\n") == std::string_view::npos) {
    text += field;
    return;
  }
  text += '"';
  for (const char c : field) {
    if (c == '"') text += '"';
    text += c;
  }
  text += '"';
}

std::optional<int> ValueIndexOf(ColumnContent content) {
  if (content == ColumnContent::Name || content == ColumnContent::PassThrough) return std::nullopt;
  return static_cast<int>(content) - static_cast<int>(ColumnContent::FirstValue);
}

char SeparatorChar(Separator separator) {
  switch (separator) {
    case Separator::Comma: return ',';
    case Separator::Tab: return '\t';
    case Separator::Blank: return ' ';
    case Separator::Semicolon: return ';';
  }
  return ',';
}

std::optional<std::vector<ColumnContent>> ReadColumns(std::string_view columns, CoordinateType type) {
  std::vector<ColumnContent> contents;
  std::array<int, 4> counts{};  // of the name and the three values
  for (const std::string& word : SplitAtChar(columns, ',')) {
    const std::optional<ColumnContent> content = ContentOf(word, type);
    if (!content) return std::nullopt;
    if (*content != ColumnContent::PassThrough) ++counts[static_cast<std::size_t>(*content)];
    contents.push_back(*content);
  }
  if (counts[0] > 1 || counts[1] != 1 || counts[2] != 1 || counts[3] != 1) return std::nullopt;
  return contents;
}

bool ColumnsAreWellFormed(std::string_view columns) {
  return columns.empty() || ReadColumns(columns, CoordinateType::LB) || ReadColumns(columns, CoordinateType::Plan) ||
         ReadColumns(columns, CoordinateType::Space);
}

void SplitFields(std::string_view line, Separator separator, std::vector<std::string_view>& fields) {
  fields.clear();
  if (separator != Separator::Blank) {
    const char at = SeparatorChar(separator);
    for (std::size_t start = 0;;) {
      const std::size_t end = line.find(at, start);
      fields.push_back(line.substr(start, end - start));
      if (end == std::string_view::npos) return;
      start = end + 1;
    }
  }
  for (std::size_t at = 0; at < line.size();) {
    while (at < line.size() && IsBlank(line[at])) ++at;
    const std::size_t start = at;
    while (at < line.size() && !IsBlank(line[at])) ++at;
    if (at > start) fields.push_back(line.substr(start, at - start));
  }
}

}  // namespace tarnwell

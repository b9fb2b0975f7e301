// A layout of the user's own for coordinate files: which column holds what,
// the separator between columns and the header lines above the points. It
// takes the place of the three fixed layouts (FileFormat) when its columns
// are given; without columns those stay exactly as they are.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/CoordinateSystem.h"
#include "engine/Keywords.h"

namespace tarnwell {

enum class Separator {
  Comma,
  Tab,
  Blank,  // one or more blanks or tabs; written as one blank
  Semicolon,
};

inline constexpr Keyword<Separator> kSeparators[] = {
    {"comma", Separator::Comma}, {"tab", Separator::Tab}, {"blank", Separator::Blank}, {"semicolon", Separator::Semicolon}};

// The character a separator is written as.
char SeparatorChar(Separator separator);

// What one column holds.
enum class ColumnContent {
  Name,
  FirstValue,   // B, x (north) or X
  SecondValue,  // L, y (east) or Y
  ThirdValue,   // h or Z
  PassThrough,  // a code or anything else, copied to the output byte for byte
};

// The value (0, 1 or 2) a column holds; nullopt for the name or a column
// passed through.
std::optional<int> ValueIndexOf(ColumnContent content);

// headerLines for "the first line, when it is not a point".
inline constexpr int kAutomaticHeader = -1;
inline constexpr int kMaxHeaderLines = 1000;

struct FileLayout {
  // Column words separated by commas, such as "name,code,y,x,h"; empty for
  // the fixed layout. The words: "name"; "code" or "extra" for a column
  // passed through; the value letters of the source type: b,l,h for LB,
  // x,y,h for Plan (x north, y east), X,Y,Z for Space.
  std::string columns;
  Separator separator = Separator::Comma;
  // Lines above the points, written back unchanged above the output, or
  // kAutomaticHeader.
  int headerLines = 0;

  bool operator==(const FileLayout&) const = default;
};

// The layout converted files are written in.
enum class OutputLayout {
  Input,  // the input's own: its separator, header lines and columns
  Csv,    // commas (fields quoted where they must be), one header line naming the columns, a ".csv" name
};

inline constexpr Keyword<OutputLayout> kOutputLayouts[] = {{"input", OutputLayout::Input}, {"csv", OutputLayout::Csv}};

// The contents of the columns for a source of `type`; nullopt unless every
// word is known, the name comes at most once and each of the type's three
// values exactly once.
std::optional<std::vector<ColumnContent>> ReadColumns(std::string_view columns, CoordinateType type);

// True when `columns` is empty or the columns of some type.
bool ColumnsAreWellFormed(std::string_view columns);

// The names of a point's three values, as column headers: 纬度, 经度 for
// "LB", 北坐标, 东坐标 for "Plan", X, Y, Z for "Space"; the height says
// which it is (大地高 h or 正常高 H).
std::array<std::string_view, 3> ValueNames(CoordinateType type, HeightSystem height);

// The header of a column word read with the letters of `wordType`: 点名,
// 编码, 附加, or the name its value has in `namedType` (the target's, for a
// converted file).
std::string_view ColumnWordName(std::string_view word, CoordinateType wordType, CoordinateType namedType,
                                HeightSystem height);

// Appends a field of a CSV file: as it stands, or in double quotes (its
// quotes doubled) when it holds a comma, a quote or a line break.
void AppendCsvField(std::string_view field, std::string& text);

// Cuts a line into its fields (views into `line`, `fields` reused): at each
// separator character, or at each run of blanks and tabs, blanks at both
// ends ignored.
void SplitFields(std::string_view line, Separator separator, std::vector<std::string_view>& fields);

}  // namespace tarnwell

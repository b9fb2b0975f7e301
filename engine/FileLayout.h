// A layout of the user's own for coordinate files: which column holds what,
// the separator between columns and the header lines above the points. It
// takes the place of the three fixed layouts (FileFormat) when its columns
// are given; without columns those stay exactly as they are.
#pragma once

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

// The contents of the columns for a source of `type`; nullopt unless every
// word is known, the name comes at most once and each of the type's three
// values exactly once.
std::optional<std::vector<ColumnContent>> ReadColumns(std::string_view columns, CoordinateType type);

// True when `columns` is empty or the columns of some type.
bool ColumnsAreWellFormed(std::string_view columns);

// Cuts a line into its fields (views into `line`, `fields` reused): at each
// separator character, or at each run of blanks and tabs, blanks at both
// ends ignored.
void SplitFields(std::string_view line, Separator separator, std::vector<std::string_view>& fields);

}  // namespace tarnwell

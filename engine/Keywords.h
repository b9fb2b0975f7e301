// Keywords: the fixed words by which an enumeration is written in settings,
// parameter files and on the command line. Each enumeration keeps its one
// list beside its declaration; these two functions read and write with it.
#pragma once

#include <span>
#include <string_view>

namespace tarnwell {

template <typename Enum>
struct Keyword {
  std::string_view text;
  Enum value;
};

// The keyword of a value (empty when the list lacks it, which no list does).
template <typename Enum>
constexpr std::string_view KeywordOf(std::span<const Keyword<Enum>> keywords, Enum value) {
  for (const Keyword<Enum>& keyword : keywords) {
    if (keyword.value == value) return keyword.text;
  }
  return {};
}

// The value a whole text names, compared exactly; false (and `value`
// untouched) for any other text.
template <typename Enum>
constexpr bool ReadKeyword(std::span<const Keyword<Enum>> keywords, std::string_view text, Enum& value) {
  for (const Keyword<Enum>& keyword : keywords) {
    if (keyword.text == text) {
      value = keyword.value;
      return true;
    }
  }
  return false;
}

}  // namespace tarnwell

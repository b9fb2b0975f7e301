#include <gtest/gtest.h>

#include <algorithm>

#include "tables/ListOrder.h"

namespace tarnwell {
namespace {

TEST(ListOrderTest, ComparesIgnoringAsciiCaseWithBytesUnsigned) {
  // Each pair is strictly ordered: first < second and not the reverse.
  const std::pair<std::string, std::string> ordered[] = {
      {"", "a"},
      {"a", "B"},
      {"B", "c"},
      {"WGS72", "wgs84"},
      {"merc", "Merc,"},               // a prefix comes first
      {"ABC", "abc"},                  // equal but for case: byte order
      {"aBc", "abC"},
      {"fouc,Foucaut", "fouc_s,Foucaut Sinusoidal"},  // ',' before '_'
      {"[", "a"},                      // folding is to lower case: '[' < 'a'
      {"_", "A"},
      {"z", "\xe6\xa4\xad"},           // UTF-8 bytes above 0x7F sort after ASCII
      {"\xc3\x80", "\xc3\xa0"},        // non-ASCII letters are not folded
      {"utm,", "utm,\x01"},
  };
  for (const auto& [first, second] : ordered) {
    EXPECT_TRUE(ListTextLess(first, second)) << first << " < " << second;
    EXPECT_FALSE(ListTextLess(second, first)) << second << " < " << first;
  }
  for (const std::string text : {"", "a", "Tmerc,Transverse Mercator", "\xff"}) {
    EXPECT_FALSE(ListTextLess(text, text)) << text;
  }
}

TEST(ListOrderTest, InsertSortedPlacesAfterEqualTexts) {
  std::vector<std::string> list;
  const std::pair<std::string, std::size_t> inserts[] = {
      {"tmerc", 0}, {"aea", 0}, {"Merc", 1}, {"merc", 2}, {"merc", 3}, {"MERC", 1}, {"zz", 6},
  };
  for (const auto& [text, position] : inserts) {
    EXPECT_EQ(InsertSorted(list, text), position) << text;
  }
  EXPECT_EQ(list, (std::vector<std::string>{"aea", "MERC", "Merc", "merc", "merc", "tmerc", "zz"}));
  EXPECT_TRUE(std::is_sorted(list.begin(), list.end(), ListTextLess));
}

}  // namespace
}  // namespace tarnwell

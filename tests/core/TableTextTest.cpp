#include <gtest/gtest.h>

#include <array>

#include "tables/TableText.h"

namespace tarnwell {
namespace {

using Fields = std::vector<std::string>;

struct SplitCase {
  std::string text;
  char separator;
  Fields fields;
};

TEST(TableTextTest, SplitAtCharCutsAtEverySeparator) {
  const SplitCase cases[] = {
      {"a,b,c", ',', {"a", "b", "c"}},
      {"a,,c", ',', {"a", "", "c"}},
      {"a,b,", ',', {"a", "b", ""}},
      {",a", ',', {"", "a"}},
      {",", ',', {"", ""}},
      {"abc", ',', {}},
      {"", ',', {}},
      // No quoting: a separator inside quotes separates, the quotes stay.
      {"\"x,y\",z", ',', {"\"x", "y\"", "z"}},
      // The projection table's way: cut at the double quote.
      {"\"tmerc\",\"Transverse Mercator\"", '"', {"", "tmerc", ",", "Transverse Mercator", ""}},
      // Bytes beyond ASCII pass unchanged.
      {"\xe6\xa4\xad,\xe7\x90\x83", ',', {"\xe6\xa4\xad", "\xe7\x90\x83"}},
  };
  for (const SplitCase& c : cases) {
    EXPECT_EQ(SplitAtChar(c.text, c.separator), c.fields) << "text: " << c.text;
  }
}

TEST(TableTextTest, SplitExactlyWantsTheExactFieldCount) {
  std::array<std::string_view, 4> fields;
  EXPECT_TRUE(SplitExactly("P1,31.5,121.25,10", ',', fields));
  EXPECT_EQ(fields[0], "P1");
  EXPECT_EQ(fields[3], "10");
  EXPECT_TRUE(SplitExactly(",,,", ',', fields));
  EXPECT_EQ(fields[3], "");
  EXPECT_FALSE(SplitExactly("P1,31.5,121.25", ',', fields));
  EXPECT_FALSE(SplitExactly("P1,31.5,121.25,10,", ',', fields));
  // A line of nothing but separators is refused at the fifth one.
  EXPECT_FALSE(SplitExactly(std::string(1 << 20, ','), ',', fields));
}

TEST(TableTextTest, SplitAtCharReusesTheGivenList) {
  Fields fields = {"old", "stale", "left", "over"};
  SplitAtChar("p,q", ',', fields);
  EXPECT_EQ(fields, (Fields{"p", "q"}));
  SplitAtChar("no separator", ',', fields);
  EXPECT_TRUE(fields.empty());
}

struct TrimCase {
  std::string text;
  char ch;
  std::string left;   // after TrimLeft
  std::string right;  // after TrimRight
};

TEST(TableTextTest, TrimRemovesTheWholeRunOfOneCharacter) {
  const TrimCase cases[] = {
      {"\"\"name\"", '"', "name\"", "\"\"name"},
      {"\"\"\"", '"', "", ""},
      {"", '"', "", ""},
      {"   ", ' ', "", ""},
      {" \"a\" ", '"', " \"a\" ", " \"a\" "},  // blanks shield the quotes
      {"\" a \"", ' ', "\" a \"", "\" a \""},  // and quotes shield the blanks
      {"  a b  ", ' ', "a b  ", "  a b"},
      {"abc", 'x', "abc", "abc"},
  };
  for (const TrimCase& c : cases) {
    std::string left = c.text;
    TrimLeft(left, c.ch);
    EXPECT_EQ(left, c.left) << "TrimLeft of [" << c.text << "]";
    std::string right = c.text;
    TrimRight(right, c.ch);
    EXPECT_EQ(right, c.right) << "TrimRight of [" << c.text << "]";
  }
}

TEST(TableTextTest, ValueAfterEqualsTakesTheTextUpToTheNextEquals) {
  const std::pair<std::string, std::string> cases[] = {
      {"a=12.5", "12.5"},
      {"\"a=12.5\"", "12.5"},
      {"a=", ""},
      {"\"a=\"", ""},
      {"a=1=2", "1"},
      {"=7", "7"},
      {"no equals sign", ""},
      {"", ""},
      {"\"rf=300\" ", "300\" "},  // a blank after the closing quote keeps it
      {"a=100\"\"", "100"},
  };
  for (const auto& [field, value] : cases) {
    EXPECT_EQ(ValueAfterEquals(field), value) << "field: " << field;
  }
}

}  // namespace
}  // namespace tarnwell

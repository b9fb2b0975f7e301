#include "engine/FileLayout.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tarnwell {
namespace {

using C = ColumnContent;

TEST(FileLayout, ColumnsReadByTheSourceTypesLetters) {
  const struct {
    std::string columns;
    CoordinateType type;
    std::vector<C> contents;  // empty when refused
  } cases[] = {
      {"name,code,y,x,h", CoordinateType::Plan, {C::Name, C::PassThrough, C::SecondValue, C::FirstValue, C::ThirdValue}},
      {"l,b,h", CoordinateType::LB, {C::SecondValue, C::FirstValue, C::ThirdValue}},
      {"X,extra,Y,code,Z,name", CoordinateType::Space,
       {C::FirstValue, C::PassThrough, C::SecondValue, C::PassThrough, C::ThirdValue, C::Name}},
      {"name,code,y,x,h", CoordinateType::LB, {}},     // Plan letters for LB
      {"name,x,y,h", CoordinateType::Space, {}},        // lower case is Plan
      {"name,x,y", CoordinateType::Plan, {}},           // a value missing
      {"name,x,y,h,x", CoordinateType::Plan, {}},       // a value twice
      {"name,name,x,y,h", CoordinateType::Plan, {}},    // two names
      {"name,x,y,h,", CoordinateType::Plan, {}},        // an empty word
      {"name,x,y,h,north", CoordinateType::Plan, {}},   // an unknown word
  };
  for (const auto& [columns, type, contents] : cases) {
    const auto read = ReadColumns(columns, type);
    EXPECT_EQ(read.value_or(std::vector<C>{}), contents) << columns;
  }
  EXPECT_TRUE(ColumnsAreWellFormed(""));
  EXPECT_TRUE(ColumnsAreWellFormed("l,b,h"));
  EXPECT_FALSE(ColumnsAreWellFormed("b,y,h"));
}

TEST(FileLayout, FieldsSplitAtTheSeparator) {
  const struct {
    std::string line;
    Separator separator;
    std::vector<std::string_view> fields;
  } cases[] = {
      {"P1,,3", Separator::Comma, {"P1", "", "3"}},
      {"P 1\t2\t", Separator::Tab, {"P 1", "2", ""}},
      {"a;b", Separator::Semicolon, {"a", "b"}},
      {"", Separator::Comma, {""}},
      {"  P1  2\t \t3 ", Separator::Blank, {"P1", "2", "3"}},
      {"   ", Separator::Blank, {}},
  };
  std::vector<std::string_view> fields;
  for (const auto& [line, separator, expected] : cases) {
    SplitFields(line, separator, fields);
    EXPECT_EQ(fields, expected) << line;
  }
}

TEST(FileLayout, CsvFieldsAreQuotedOnlyWhereTheyMustBe) {
  const struct {
    std::string field, written;
  } cases[] = {
      {"控制点", "控制点"}, {"", ""}, {"a b", "a b"}, {"a,b", "\"a,b\""}, {"say \"hi\"", "\"say \"\"hi\"\"\""},
      {"two\nlines", "\"two\nlines\""}, {"cr\r", "\"cr\r\""},
  };
  for (const auto& [field, written] : cases) {
    std::string text = "x,";
    AppendCsvField(field, text);
    EXPECT_EQ(text, "x," + written) << field;
  }
}

TEST(FileLayout, ColumnWordsAreNamedAsTheTargetHasThem) {
  using T = CoordinateType;
  const struct {
    std::string word;
    T wordType, namedType;
    HeightSystem height;
    std::string name;
  } cases[] = {
      {"name", T::Plan, T::LB, HeightSystem::Ellipsoidal, "点名"}, {"code", T::Plan, T::LB, HeightSystem::Ellipsoidal, "编码"},
      {"extra", T::LB, T::LB, HeightSystem::Ellipsoidal, "附加"},  {"y", T::Plan, T::LB, HeightSystem::Ellipsoidal, "经度"},
      {"x", T::Plan, T::Space, HeightSystem::Ellipsoidal, "X"},    {"h", T::LB, T::Plan, HeightSystem::Normal, "正常高"},
      {"b", T::LB, T::Plan, HeightSystem::Ellipsoidal, "北坐标"},
  };
  for (const auto& c : cases) EXPECT_EQ(ColumnWordName(c.word, c.wordType, c.namedType, c.height), c.name) << c.word;
}

}  // namespace
}  // namespace tarnwell

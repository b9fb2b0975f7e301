#include <gtest/gtest.h>

#include "TableTestFile.h"
#include "tables/TableFileReader.h"

namespace tarnwell {
namespace {

using Rows = std::vector<std::vector<std::string>>;

// Every row the reader delivers for a file holding `bytes`.
Rows ReadAll(const std::string& bytes, char separator = ',') {
  const test::ScratchTable table(bytes);
  TableFileReader reader;
  EXPECT_TRUE(reader.Open(table.path(), separator));
  Rows rows;
  std::vector<std::string> fields;
  while (reader.NextRow(fields)) rows.push_back(fields);
  EXPECT_FALSE(reader.NextRow(fields)) << "the end stays the end";
  return rows;
}

TEST(TableFileReaderTest, LineEndsCrLfAndLfReadAlike) {
  const Rows expected = {{"a", "b"}, {"c", "d", ""}, {}, {"e", "f"}};
  EXPECT_EQ(ReadAll("a,b\r\nc,d,\r\n\r\ne,f\r\n"), expected);
  EXPECT_EQ(ReadAll("a,b\nc,d,\n\ne,f\n"), expected);
}

TEST(TableFileReaderTest, LastLineNeedsNoLineEnd) {
  EXPECT_EQ(ReadAll("a,b\nc,d"), (Rows{{"a", "b"}, {"c", "d"}}));
  EXPECT_EQ(ReadAll("a,b\r\nc,d"), (Rows{{"a", "b"}, {"c", "d"}}));
}

TEST(TableFileReaderTest, EndOfFileIsNotARow) {
  EXPECT_EQ(ReadAll(""), Rows{});
  EXPECT_EQ(ReadAll("a,b\n"), (Rows{{"a", "b"}}));
  // A blank line inside the file is a row, with no fields.
  EXPECT_EQ(ReadAll("\n"), (Rows{{}}));
  EXPECT_EQ(ReadAll("\n\n"), (Rows{{}, {}}));
}

TEST(TableFileReaderTest, BytesPassUnchanged) {
  // Only a CR right before LF belongs to the line end; a BOM, a lone CR and
  // UTF-8 text stay in the fields.
  EXPECT_EQ(ReadAll("\xEF\xBB\xBFx,a\rb\n\xe6\xa4\xad,\xe7\x90\x83\r\r\n"),
            (Rows{{"\xEF\xBB\xBFx", "a\rb"}, {"\xe6\xa4\xad", "\xe7\x90\x83\r"}}));
  EXPECT_EQ(ReadAll(std::string("a,\0b\n", 5)), (Rows{{"a", std::string("\0b", 2)}}));
}

TEST(TableFileReaderTest, SplitsAtTheSeparatorGivenToOpen) {
  EXPECT_EQ(ReadAll("\"merc\",\"Mercator\"\n", '"'),
            (Rows{{"", "merc", ",", "Mercator", ""}}));
}

TEST(TableFileReaderTest, MissingFileDoesNotOpen) {
  TableFileReader reader;
  EXPECT_FALSE(reader.Open(test::ScratchTablePath(".missing"), ','));
  std::vector<std::string> fields = {"stale"};
  EXPECT_FALSE(reader.NextRow(fields));
  EXPECT_TRUE(fields.empty());
}

TEST(TableFileReaderTest, ReopeningStartsAtTheTop) {
  const test::ScratchTable table("1,2\n3,4\n");
  TableFileReader reader;
  std::vector<std::string> fields;
  ASSERT_TRUE(reader.Open(table.path(), ','));
  ASSERT_TRUE(reader.NextRow(fields));
  ASSERT_TRUE(reader.Open(table.path(), ','));
  ASSERT_TRUE(reader.NextRow(fields));
  EXPECT_EQ(fields, (std::vector<std::string>{"1", "2"}));
  reader.Close();
  EXPECT_FALSE(reader.NextRow(fields));
}

}  // namespace
}  // namespace tarnwell

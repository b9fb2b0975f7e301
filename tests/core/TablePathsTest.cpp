#include <gtest/gtest.h>

#include <filesystem>

#include "tables/TablePaths.h"

namespace tarnwell {
namespace {

TEST(TablePathsTest, TablesLieBesideTheProgramWhateverTheWorkingDirectory) {
  const std::filesystem::path startDirectory = std::filesystem::current_path();
  std::filesystem::current_path(std::filesystem::temp_directory_path());
  const std::string directory = GetProgramDirectory();
  const std::string tablePath = GetTablePath("ellips.csv");
  std::filesystem::current_path(startDirectory);

  ASSERT_FALSE(directory.empty());
  EXPECT_EQ(directory.front(), '/');
  EXPECT_NE(directory.back(), '/');
  EXPECT_EQ(tablePath, directory + "/ellips.csv");
  // The build places the tables beside every executable.
  EXPECT_TRUE(std::filesystem::exists(tablePath));
  EXPECT_TRUE(std::filesystem::exists(directory + "/projs.csv"));
}

TEST(TablePathsTest, TableDirectoryCanBeChosenAndRestored) {
  SetTableDirectory("/srv/survey tables");
  EXPECT_EQ(GetTablePath("projs.csv"), "/srv/survey tables/projs.csv");
  SetTableDirectory("");
  EXPECT_EQ(GetTablePath("projs.csv"), GetProgramDirectory() + "/projs.csv");
}

}  // namespace
}  // namespace tarnwell

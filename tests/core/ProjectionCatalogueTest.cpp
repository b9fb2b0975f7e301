#include <gtest/gtest.h>
#include <proj.h>

#include <algorithm>
#include <fstream>

#include "TableTestFile.h"
#include "tables/ListOrder.h"
#include "tables/ProjectionCatalogue.h"
#include "tables/SupportedProjections.h"
#include "tables/TablePaths.h"

namespace tarnwell {
namespace {

using Parameter = std::optional<double>;

// The eight parameters in field order.
std::vector<Parameter> Parameters(const ProjectionParams& entry) {
  return {entry.centralMeridian, entry.scaleFactor, entry.falseNorthing, entry.falseEasting,
          entry.originLatitude,  entry.latitude1,   entry.latitude2,     entry.surfaceHeight};
}

const std::vector<Parameter> kAllUnused(8, std::nullopt);

TEST(ProjectionCatalogueTest, EntriesTakeTheirLineNumberAndItsDefaults) {
  std::string bytes;
  for (int line = 0; line < 120; ++line) {
    const std::string number = std::to_string(line);
    bytes.append("\"p").append(number).append("\",\"Projection ").append(number).append("\"\r\n");
  }
  const test::ScratchTable table(bytes);
  ASSERT_TRUE(LoadProjectionCatalogue(table.path()));
  const ProjectionCatalogue& catalogue = TheProjectionCatalogue();
  ASSERT_EQ(catalogue.size(), 120u);
  for (std::int32_t line = 0; line < 120; ++line) {
    EXPECT_EQ(catalogue[line].listIndex, line);
    const std::string number = std::to_string(line);
    EXPECT_EQ(catalogue[line].projKey, std::string("p").append(number));
    EXPECT_EQ(catalogue[line].description, std::string("Projection ").append(number));
  }
  EXPECT_EQ(Parameters(catalogue[112]), kAllUnused);  // the defaults follow the key, not the line
}

TEST(ProjectionCatalogueTest, EntriesTakeTheDefaultsOfTheirKey) {
  const test::ScratchTable table("\"aitoff\",\"Aitoff\"\n\"tmerc\",\"Transverse Mercator\"\n\"utm\",\"UTM\"\n");
  ASSERT_TRUE(LoadProjectionCatalogue(table.path()));
  const ProjectionCatalogue& catalogue = TheProjectionCatalogue();
  ASSERT_EQ(catalogue.size(), 3u);
  EXPECT_EQ(Parameters(catalogue[0]), kAllUnused);
  EXPECT_EQ(Parameters(catalogue[1]),
            (std::vector<Parameter>{117, 1, 0, 500000, 0, std::nullopt, std::nullopt, std::nullopt}));
  EXPECT_EQ(catalogue[2].zone, 50);
}

TEST(ProjectionCatalogueTest, QuotedTextsAreTakenAsWritten) {
  const test::ScratchTable table(
      "\"lcc\",\"Lambert Conformal Conic, two standard parallels\"\n"
      "  \" utm \" ; \"UTM zone, north\" trailing \"ignored\"\n"
      "\"lcc\",\"Lambert again\"\n"
      "\"\",\"\"");
  ASSERT_TRUE(LoadProjectionCatalogue(table.path()));
  const ProjectionCatalogue& catalogue = TheProjectionCatalogue();
  ASSERT_EQ(catalogue.size(), 4u);
  EXPECT_EQ(catalogue[0].description, "Lambert Conformal Conic, two standard parallels");
  EXPECT_EQ(ProjectionListText(catalogue[0]), "lcc,Lambert Conformal Conic, two standard parallels");
  EXPECT_EQ(catalogue[1].projKey, " utm ");
  EXPECT_EQ(catalogue[1].description, "UTM zone, north");
  EXPECT_EQ(catalogue[2].projKey, "lcc");  // a repeated key is a second entry
  EXPECT_EQ(ProjectionListText(catalogue[3]), ",");
}

TEST(ProjectionCatalogueTest, MalformedLinesGiveNoEntryButKeepTheCount) {
  const test::ScratchTable table("\"aea\",\"Albers\"\n\nno quotes\n\"only one\"\n\"cass\",\"Cassini\"\n");
  ASSERT_TRUE(LoadProjectionCatalogue(table.path()));
  const ProjectionCatalogue& catalogue = TheProjectionCatalogue();
  ASSERT_EQ(catalogue.size(), 2u);
  EXPECT_EQ(catalogue[0].listIndex, 0);
  EXPECT_EQ(catalogue[1].projKey, "cass");
  EXPECT_EQ(catalogue[1].listIndex, 4);
}

TEST(ProjectionCatalogueTest, FailedLoadLeavesTheCatalogueUnchanged) {
  const test::ScratchTable table("\"merc\",\"Mercator\"\n");
  ASSERT_TRUE(LoadProjectionCatalogue(table.path()));
  const ProjectionCatalogue before = TheProjectionCatalogue();
  EXPECT_FALSE(LoadProjectionCatalogue(test::ScratchTablePath(".missing")));
  EXPECT_EQ(TheProjectionCatalogue(), before);
}

bool ProjKnowsOperation(const std::string& key) {
  for (const PJ_OPERATIONS* operation = proj_list_operations(); operation->id != nullptr; ++operation) {
    if (key == operation->id) return true;
  }
  return false;
}

TEST(ProjectionCatalogueTest, ShippedTableIsInListOrderWithMercatorAt70AndTransverseMercatorAt112) {
  const std::string path = GetTablePath("projs.csv");
  ASSERT_TRUE(LoadProjectionCatalogue(path));
  const ProjectionCatalogue& catalogue = TheProjectionCatalogue();

  // Every line is a well-formed row, so line numbers and entries coincide.
  std::ifstream file(path);
  const auto lineCount = std::count(std::istreambuf_iterator<char>(file), {}, '\n');
  ASSERT_EQ(static_cast<std::ptrdiff_t>(catalogue.size()), lineCount);

  std::vector<std::string> listTexts;
  for (std::size_t row = 0; row < catalogue.size(); ++row) {
    EXPECT_EQ(catalogue[row].listIndex, static_cast<std::int32_t>(row));
    EXPECT_TRUE(ProjKnowsOperation(catalogue[row].projKey)) << catalogue[row].projKey;
    EXPECT_FALSE(catalogue[row].description.empty()) << catalogue[row].projKey;
    listTexts.push_back(ProjectionListText(catalogue[row]));
  }
  std::vector<std::string> sorted = listTexts;
  std::stable_sort(sorted.begin(), sorted.end(), ListTextLess);
  EXPECT_EQ(listTexts, sorted);
  EXPECT_EQ(std::adjacent_find(sorted.begin(), sorted.end()), sorted.end()) << "a row repeats";

  ASSERT_GT(catalogue.size(), 112u);
  EXPECT_EQ(catalogue[70].projKey, "merc");
  EXPECT_EQ(catalogue[70].description, "Mercator");
  EXPECT_EQ(catalogue[112].projKey, "tmerc");
  EXPECT_EQ(catalogue[112].description, "Transverse Mercator");
  for (const SupportedProjection& supported : SupportedProjections()) {
    EXPECT_TRUE(std::any_of(catalogue.begin(), catalogue.end(),
                            [&](const ProjectionParams& entry) { return entry.projKey == supported.key; }))
        << supported.key << " is not in the list";
  }
  // The default projection of the settings is the catalogue's row 112.
  const ProjectionParams defaults;
  EXPECT_EQ(ProjectionListText(catalogue[defaults.listIndex]), ProjectionListText(defaults));
}

}  // namespace
}  // namespace tarnwell

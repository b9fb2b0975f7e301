#include <gtest/gtest.h>
#include <proj.h>

#include <cstdlib>
#include <string_view>

#include "TableTestFile.h"
#include "tables/EllipsoidCatalogue.h"
#include "tables/TablePaths.h"

namespace tarnwell {
namespace {

// Loads a catalogue file holding `bytes` and returns the catalogue.
const EllipsoidCatalogue& LoadFrom(const std::string& bytes) {
  const test::ScratchTable table(bytes);
  EXPECT_TRUE(LoadEllipsoidCatalogue(table.path()));
  return TheEllipsoidCatalogue();
}

struct RowCase {
  std::string line;
  EllipsoidRecord record;
};

TEST(EllipsoidCatalogueTest, RowRules) {
  const RowCase cases[] = {
      {"\"E1\",\"a=100.5\",\"rf=300\", \"first\"", {"E1", "100.5", "300", "first"}},
      {"E2,a=100,b=99,second", {"E2", "100", "100.000000000000000", "second"}},
      // Blanks belong to the name, and a blank shields the quote beside it.
      {" \"E3\",a=1,rf=2,d", {" \"E3", "1", "2", "d"}},
      {"\"E4\" ,a=1,rf=2,d", {"E4\" ", "1", "2", "d"}},
      // The label is not examined; a blank after the closing quote keeps it.
      {"E5,\"x=6378137\" ,\"inv=298.3\",d", {"E5", "6378137\" ", "298.3", "d"}},
      // Any lower-case b in field 3 means the semi-minor axis; B does not. A
      // semi-minor axis that is no number stays visible, and refused.
      {"E6,a=6378206.4,\"semi=6356583.8 (by survey)\",d",
       {"E6", "6378206.4", "b=6356583.8 (by survey)", "d"}},
      {"E6b,a=6378206.4,b=6356583.8,d", {"E6b", "6378206.4", "294.978698213898213", "d"}},
      {"Ball,a=6371000,b=6371000,d", {"Ball", "6371000", "0", "d"}},
      {"E7,a=100,B=99,d", {"E7", "100", "99", "d"}},
      // Description: leading blanks, then quotes, go; a blank after the
      // closing quote keeps the quote.
      {"E8,a=1,rf=2,   \"\"desc\" ", {"E8", "1", "2", "desc\" "}},
      {"E9,a=1,rf=2,\"\xe5\x85\x8b\xe6\x8b\x89\"", {"E9", "1", "2", "\xe5\x85\x8b\xe6\x8b\x89"}},
      // Fields after the fourth are ignored.
      {"E10,a=1,rf=2,d,extra,\"more\"", {"E10", "1", "2", "d"}},
      // An empty field 4 still makes a record.
      {"E11,a=1,rf=2,", {"E11", "1", "2", ""}},
  };
  for (const RowCase& c : cases) {
    const EllipsoidCatalogue& catalogue = LoadFrom(c.line + "\n");
    ASSERT_EQ(catalogue.size(), 1u) << c.line;
    EXPECT_EQ(catalogue[0], c.record) << c.line;
  }
}

TEST(EllipsoidCatalogueTest, RowsWithFewerThanFourFieldsAreSkipped) {
  const EllipsoidCatalogue& catalogue =
      LoadFrom("\nno commas at all\nX,a=1,rf=2\nA,a=1,rf=2,first\r\n,,,\n");
  ASSERT_EQ(catalogue.size(), 2u);
  EXPECT_EQ(catalogue[0].name, "A");
  EXPECT_EQ(catalogue[1], (EllipsoidRecord{"", "", "", ""}));
}

TEST(EllipsoidCatalogueTest, FileOrderAndFirstOfDuplicateNames) {
  LoadFrom("WGS84,a=1,rf=1,first\nOther,a=2,rf=2,x\nWGS84,a=3,rf=3,second");
  ASSERT_EQ(TheEllipsoidCatalogue().size(), 3u);
  EXPECT_EQ(TheEllipsoidCatalogue()[2].description, "second");

  EllipsoidRecord record;
  FindEllipsoid("WGS84", record);
  EXPECT_EQ(record, (EllipsoidRecord{"WGS84", "1", "1", "first"}));
  ASSERT_NE(FindEllipsoidEntry("WGS84"), nullptr);
  EXPECT_EQ(FindEllipsoidEntry("WGS84"), &TheEllipsoidCatalogue()[0]);
}

TEST(EllipsoidCatalogueTest, LookupIsExact) {
  LoadFrom("\xEF\xBB\xBFWGS84,a=1,rf=1,d\n Blank,a=1,rf=1,d\nkrass,a=1,rf=1,d\n");
  const EllipsoidRecord untouched{"keep", "these", "four", "texts"};
  for (const std::string name : {"WGS84", "Blank", "KRASS", "krass ", ""}) {
    EllipsoidRecord record = untouched;
    FindEllipsoid(name, record);
    EXPECT_EQ(record, untouched) << "[" << name << "]";
    EXPECT_EQ(FindEllipsoidEntry(name), nullptr) << "[" << name << "]";
  }
  EXPECT_NE(FindEllipsoidEntry("\xEF\xBB\xBFWGS84"), nullptr);
  EXPECT_NE(FindEllipsoidEntry(" Blank"), nullptr);
  EXPECT_NE(FindEllipsoidEntry("krass"), nullptr);
}

TEST(EllipsoidCatalogueTest, FailedLoadLeavesTheCatalogueUnchanged) {
  LoadFrom("WGS84,a=6378137,rf=298.257223563,d\n");
  const EllipsoidCatalogue before = TheEllipsoidCatalogue();
  EXPECT_FALSE(LoadEllipsoidCatalogue(test::ScratchTablePath(".missing")));
  EXPECT_EQ(TheEllipsoidCatalogue(), before);
  // A file that opens but holds nothing empties it.
  LoadFrom("");
  EXPECT_TRUE(TheEllipsoidCatalogue().empty());
}

TEST(EllipsoidCatalogueTest, UserRowsFollowTheShippedOnes) {
  const test::ScratchTable shipped("WGS84,a=6378137,rf=298.257223563,d\nkrass,a=6378245,rf=298.3,k\n", ".shipped.csv");
  const test::ScratchTable user("\"Mine\",\"a=6378000\",\"rf=300\",\"mine\"\nBall,a=6371000,b=6371000,ball\n", ".user.csv");
  ASSERT_TRUE(LoadEllipsoidCatalogue(shipped.path(), user.path()));
  EXPECT_EQ(ShippedEllipsoidCount(), 2u);
  ASSERT_EQ(UserEllipsoids().size(), 2u);
  EXPECT_EQ(UserEllipsoids()[0], (EllipsoidRecord{"Mine", "6378000", "300", "mine"}));
  EXPECT_EQ(UserEllipsoids()[1].inverseFlattening, "0");

  // A missing user table holds none; a missing shipped table changes nothing.
  const std::string missing = test::ScratchTablePath(".missing");
  ASSERT_TRUE(LoadEllipsoidCatalogue(shipped.path(), missing));
  EXPECT_TRUE(UserEllipsoids().empty());
  ASSERT_TRUE(LoadEllipsoidCatalogue(shipped.path(), user.path()));
  EXPECT_FALSE(LoadEllipsoidCatalogue(missing, user.path()));
  EXPECT_EQ(TheEllipsoidCatalogue().size(), 4u);
}

TEST(EllipsoidCatalogueTest, RowTextReadsBackAsTheRecord) {
  const EllipsoidRecord records[] = {{"Mine", "6378000", "300", "工地"}, {" Blank", "1e6", "0", ""},
                                     {"b-named", "6378137", "298.257222101", "b in the description"}};
  for (const EllipsoidRecord& record : records) {
    const EllipsoidCatalogue& catalogue = LoadFrom(EllipsoidRow(record) + "\n");
    ASSERT_EQ(catalogue.size(), 1u);
    EXPECT_EQ(catalogue[0], record) << EllipsoidRow(record);
  }
}

struct RefusalCase {
  EllipsoidRecord candidate;
  std::optional<std::size_t> replacing;
  std::string refusal;
};

TEST(EllipsoidCatalogueTest, UserEllipsoidRefusals) {
  const test::ScratchTable shipped("WGS84,a=6378137,rf=298.257223563,d\n", ".shipped.csv");
  const test::ScratchTable user("Mine,a=6378000,rf=300,m\nOther,a=6378000,rf=300,o\n", ".user.csv");
  ASSERT_TRUE(LoadEllipsoidCatalogue(shipped.path(), user.path()));
  const std::string clash = "椭球名称已存在,请检查.", bad = "椭球参数错误,请检查.";
  const RefusalCase cases[] = {
      {{"New", "6378000", "300", "d"}, std::nullopt, ""},
      {{"Sphere", "6371000", "0", "d"}, std::nullopt, ""},
      {{"Mine", "6378001", "300", "d"}, 0, ""},  // its own name
      {{"WGS84", "6378000", "300", "d"}, std::nullopt, clash},
      {{"WGS84", "6378000", "300", "d"}, 0, clash},
      {{"Other", "6378000", "300", "d"}, 0, clash},
      {{"wgs84", "6378000", "300", "d"}, std::nullopt, ""},  // names are exact
      {{"", "6378000", "300", "d"}, std::nullopt, bad},
      {{"A,B", "6378000", "300", "d"}, std::nullopt, bad},
      {{"\"Q", "6378000", "300", "d"}, std::nullopt, bad},
      {{"N", "6378000", "300", "x,y"}, std::nullopt, bad},
      {{"N", "6378000 m", "300", "d"}, std::nullopt, bad},
      {{"N", "0", "300", "d"}, std::nullopt, bad},
      {{"N", "6378000", "1", "d"}, std::nullopt, bad},
      {{"N", "6378000", "-300", "d"}, std::nullopt, bad},
  };
  for (const RefusalCase& test : cases)
    EXPECT_EQ(UserEllipsoidRefusal(test.candidate, test.replacing), test.refusal) << test.candidate.name;
}

TEST(EllipsoidCatalogueTest, InverseFlatteningFromAxes) {
  EXPECT_EQ(InverseFlatteningFromAxes("100", "99"), "100.000000000000000");
  EXPECT_EQ(InverseFlatteningFromAxes("6371000", "6371000"), "0");
  for (const auto& [a, b] : {std::pair{"100", "101"}, {"100", "0"}, {"100", "-1"}, {"100", "99m"}, {"x", "99"}, {"0", "0"}})
    EXPECT_EQ(InverseFlatteningFromAxes(a, b), std::nullopt) << a << " " << b;
}

// 1/f from a PROJ ellipsoid entry: "rf=<1/f>" or "b=<semi-minor axis>".
double ProjInverseFlattening(const PJ_ELLPS& entry) {
  const double semiMajorAxis = std::strtod(entry.major + 2, nullptr);
  const std::string_view ell = entry.ell;
  if (ell.starts_with("rf=")) return std::strtod(entry.ell + 3, nullptr);
  const double semiMinorAxis = std::strtod(entry.ell + 2, nullptr);
  return semiMajorAxis / (semiMajorAxis - semiMinorAxis);
}

const PJ_ELLPS* FindProjEllipsoid(const std::string& name) {
  for (const PJ_ELLPS* entry = proj_list_ellps(); entry->id != nullptr; ++entry) {
    if (name == entry->id) return entry;
  }
  return nullptr;
}

TEST(EllipsoidCatalogueTest, ShippedTableHoldsStandardEllipsoidsKnownToProj) {
  ASSERT_TRUE(LoadEllipsoidCatalogue(GetTablePath("ellips.csv")));
  const EllipsoidCatalogue& catalogue = TheEllipsoidCatalogue();
  ASSERT_FALSE(catalogue.empty());
  EXPECT_EQ(catalogue[0], (EllipsoidRecord{"WGS84", "6378137", "298.257223563",
                                           "WGS84\xe6\xa4\xad\xe7\x90\x83\xef\xbc\x88GPS\xef\xbc\x89"}));

  EllipsoidRecord cgcs2000;
  FindEllipsoid("CGCS2000", cgcs2000);
  EXPECT_EQ(cgcs2000.semiMajorAxis, "6378137");
  EXPECT_EQ(cgcs2000.inverseFlattening, "298.257222101");

  for (const EllipsoidRecord& record : catalogue) {
    EXPECT_FALSE(record.description.empty()) << record.name;
    if (record.name == "CGCS2000") continue;  // not in PROJ's table
    const PJ_ELLPS* proj = FindProjEllipsoid(record.name);
    ASSERT_NE(proj, nullptr) << record.name << " is not a PROJ ellipsoid";
    // Our figures are the ones the names stand for everywhere else, PROJ included.
    EXPECT_EQ(std::strtod(record.semiMajorAxis.c_str(), nullptr), std::strtod(proj->major + 2, nullptr))
        << record.name;
    EXPECT_NEAR(std::strtod(record.inverseFlattening.c_str(), nullptr), ProjInverseFlattening(*proj), 1e-9)
        << record.name;
  }
}

}  // namespace
}  // namespace tarnwell

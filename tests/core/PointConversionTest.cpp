#include "engine/PointConversion.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>

#include "MessageRecorder.h"
#include "TableTestFile.h"
#include "engine/ConversionPlan.h"
#include "engine/CoordSettings.h"
#include "engine/Messages.h"
#include "tables/NumberText.h"
#include "tables/EllipsoidCatalogue.h"

namespace tarnwell {
namespace {

struct StringBox : TextBox {
  explicit StringBox(std::string initial = {}) : text(std::move(initial)) {}
  std::string GetText() const override { return text; }
  void SetText(const std::string& newText) override { text = newText; }
  std::string text;
};

using Triple = std::array<std::string, 3>;

class PointConversion : public testing::Test {
 protected:
  void SetUp() override {
    CoordSettings::instance() = {};
    const test::ScratchTable table("\"WGS84\",\"a=6378137\",\"rf=298.257223563\",\"WGS84\"\n"
                                        "\"krass\",\"a=6378245\",\"rf=298.3\",\"Krassovsky\"\n"
                                        "\"GRS80\",\"a=6378137\",\"rf=298.257222101\",\"GRS80\"\n"
                                        "\"CGCS2000\",\"a=6378137\",\"rf=298.257222101\",\"CGCS2000\"\n"
                                        "\"Bessel-b\",\"a=6377397.155\",\"b=6356078.962818\",\"a name PROJ lacks\"\n");
    ASSERT_TRUE(LoadEllipsoidCatalogue(table.path()));
  }
  void TearDown() override { CoordSettings::instance() = {}; }

  static CoordSettings& Settings() { return CoordSettings::instance(); }

  // Runs ConvertPoint with target boxes that start as "old".
  static Triple Point(const Triple& source) {
    StringBox s1(source[0]), s2(source[1]), s3(source[2]), t1("old"), t2("old"), t3("old");
    ConvertPoint(s1, t1, s2, t2, s3, t3);
    return {t1.text, t2.text, t3.text};
  }

  // Converts as a file line is converted: with a plan, in place; false
  // (with the plan's message shown, if any) when nothing was converted.
  static bool Record(Triple& point) {
    const auto plan = ConversionPlan::FromSettings(Settings());
    if (!plan || plan->route() == Route::SameLB || plan->route() == Route::NoConversion) return false;
    TargetPoint target;
    if (const Refusal refusal = plan->Convert(point[0], point[1], point[2], target); !refusal.empty()) {
      ShowMessage(std::string(refusal));
      return false;
    }
    const auto texts = plan->Texts(target);
    std::copy(texts.begin(), texts.end(), point.begin());
    return true;
  }

  static double Number(const std::string& text) {
    double value = std::nan("");
    EXPECT_TRUE(ReadNumber(text, value)) << text;
    return value;
  }

  MessageRecorder recorder;
};

struct DispatchCase {
  const char* sourceType;
  const char* targetType;
  bool useSevenParams;
  const char* sourceEllipsoid;
  const char* targetEllipsoid;
  const char* message;  // shown by both entry points; "" for none
  bool recordConverts;
  bool pointCopies;     // ConvertPoint writes the source texts unchanged
};

void PrintTo(const DispatchCase& c, std::ostream* out) {
  *out << c.sourceType << "->" << c.targetType << (c.useSevenParams ? " seven " : " ") << c.sourceEllipsoid
       << "->" << c.targetEllipsoid;
}

class Dispatch : public PointConversion, public testing::WithParamInterface<DispatchCase> {};

TEST_P(Dispatch, FollowsTheTableOfTypes) {
  const DispatchCase& c = GetParam();
  Settings().sourceType = c.sourceType;
  Settings().targetType = c.targetType;
  Settings().useSevenParams = c.useSevenParams;
  Settings().sourceEllipsoid = c.sourceEllipsoid;
  Settings().targetEllipsoid = c.targetEllipsoid;
  Settings().sourceAngleFormat = Settings().targetAngleFormat = "DDD";
  const std::vector<std::string> expected =
      *c.message ? std::vector<std::string>{c.message} : std::vector<std::string>{};

  Triple record{" 30 ", " 120 ", " 0 "};
  EXPECT_EQ(Record(record), c.recordConverts);
  EXPECT_EQ(recorder.messages, expected);

  recorder.messages.clear();
  const Triple point = Point({" 30 ", " 120 ", " 0 "});
  if (c.pointCopies) {
    EXPECT_EQ(point, (Triple{" 30 ", " 120 ", " 0 "}));
  } else if (!c.recordConverts) {
    EXPECT_EQ(point, (Triple{"old", "old", "old"}));
  }
  EXPECT_EQ(recorder.messages, expected);
}

INSTANTIATE_TEST_SUITE_P(
    Pairs, Dispatch,
    testing::Values(
        DispatchCase{"Space", "Space", false, "WGS84", "WGS84", "", false, true},
        DispatchCase{"LB", "LB", false, "WGS84", "WGS84", "", false, true},
        DispatchCase{"Space", "Plan", false, "WGS84", "WGS84", "", false, true},
        DispatchCase{"Plan", "Space", false, "WGS84", "WGS84", "", false, true},
        DispatchCase{"Plan", "Plan", false, "WGS84", "WGS84", "", false, true},
        DispatchCase{"lb", "Space", false, "WGS84", "WGS84", "", false, true},  // keywords are case-sensitive
        DispatchCase{"LB", "Space", false, "WGS84", "WGS84", "", true, false},
        DispatchCase{"LB", "Plan", false, "WGS84", "WGS84", "", true, false},
        DispatchCase{"Space", "LB", false, "WGS84", "WGS84", "", true, false},
        DispatchCase{"Plan", "LB", false, "WGS84", "WGS84", "", true, false},
        DispatchCase{"LB", "LB", true, "WGS84", "krass", "", true, false},
        DispatchCase{"LB", "Space", false, "WGS84", "krass", "椭球必须相同.", false, false},
        DispatchCase{"LB", "LB", true, "WGS84", "WGS84", "椭球必须不同.", false, false},
        DispatchCase{"LB", "Space", false, "wgs84", "wgs84", "椭球不存在,请检查.", false, false},
        DispatchCase{"Plan", "LB", false, "NoSuch", "NoSuch", "椭球不存在,请检查.", false, false},
        DispatchCase{"LB", "LB", true, "WGS84", "NoSuch", "椭球不存在,请检查.", false, false}));

TEST_F(PointConversion, LBToSpaceGivesTheKnownPoint) {
  Settings().sourceType = "LB";
  Settings().targetType = "Space";
  const Triple point = Point({"0:0:0", "120:0:0", "0"});
  EXPECT_NEAR(Number(point[0]), -3189068.5, 1e-6);
  EXPECT_NEAR(Number(point[1]), 5523628.670817, 1e-6);
  EXPECT_EQ(point[2], "0.000000000000000");
  EXPECT_EQ(point[1].substr(point[1].find('.')).size(), 16u);  // 15 decimals
  EXPECT_TRUE(recorder.messages.empty());
}

TEST_F(PointConversion, LBToPlanPutsTheCentralMeridianAtTheFalseEasting) {
  Settings().sourceType = "LB";
  Settings().targetType = "Plan";
  const Triple point = Point({"  0:0:0", "120:0:0  ", " 8.5 "});
  EXPECT_NEAR(Number(point[0]), 0, 1e-9);
  EXPECT_NEAR(Number(point[1]), 500000, 1e-9);
  EXPECT_EQ(point[2], "8.500000000000000");
}

TEST_F(PointConversion, SpaceToLBWritesTheTargetAngleFormat) {
  Settings().sourceType = "Space";
  Settings().targetType = "LB";
  EXPECT_EQ(Point({"-3189068.5", "5523628.670817", "0"})[1].substr(0, 9), "120:00:0.");
  Settings().targetAngleFormat = "DMM";
  EXPECT_EQ(Point({"6378137", "0", "0"}), (Triple{"000:0.000000000000000", "000:0.000000000000000",
                                                  "0.000000000000000"}));
}

// LB → Space → LB and LB → Plan → LB on several ellipsoids, far from the
// central meridian and in both hemispheres.
TEST_F(PointConversion, RoundTripsAgreeToTheNanodegree) {
  Settings().sourceAngleFormat = Settings().targetAngleFormat = "DDD";
  const double points[][3] = {{31.2345678912, 121.4567891234, 45.678}, {45.5, 126.0, 1200.25},
                              {18.25, 110.0, -12.5},                    {-33.8688, 151.2093, 58.0},
                              {53.5, 130.5, 0.0}};
  for (const char* ellipsoid : {"WGS84", "krass", "CGCS2000", "Bessel-b"}) {
    Settings().sourceEllipsoid = Settings().targetEllipsoid = ellipsoid;
    for (const char* via : {"Space", "Plan"}) {
      for (const auto& p : points) {
        Triple point{FormatNumber(p[0]), FormatNumber(p[1]), FormatNumber(p[2])};
        Settings().sourceType = "LB";
        Settings().targetType = via;
        ASSERT_TRUE(Record(point));
        Settings().sourceType = via;
        Settings().targetType = "LB";
        ASSERT_TRUE(Record(point));
        EXPECT_NEAR(Number(point[0]), p[0], 1e-9) << ellipsoid << " via " << via;
        EXPECT_NEAR(Number(point[1]), p[1], 1e-9) << ellipsoid << " via " << via;
        EXPECT_NEAR(Number(point[2]), p[2], 1e-6) << ellipsoid << " via " << via;
      }
    }
  }
  EXPECT_TRUE(recorder.messages.empty());
}

// An ellipsoid PROJ has no name for is given to it by its size: CGCS2000
// and GRS80 share a and 1/f, so their plane coordinates agree.
TEST_F(PointConversion, EllipsoidUnknownToPROJProjectsBySize) {
  Settings().sourceType = "LB";
  Settings().targetType = "Plan";
  Settings().sourceAngleFormat = "DDD";
  Triple byName{"35.123", "123.456", "10"}, bySize = byName;
  Settings().sourceEllipsoid = Settings().targetEllipsoid = "GRS80";
  ASSERT_TRUE(Record(byName));
  Settings().sourceEllipsoid = Settings().targetEllipsoid = "CGCS2000";
  ASSERT_TRUE(Record(bySize));
  for (int i = 0; i < 3; ++i) EXPECT_NEAR(Number(bySize[i]), Number(byName[i]), 1e-9);
}

TEST_F(PointConversion, ZeroSevenParamsMoveThePointOntoTheTargetEllipsoid) {
  Settings().useSevenParams = true;
  Settings().sourceType = Settings().targetType = "LB";
  Settings().targetEllipsoid = "krass";
  Settings().sourceAngleFormat = Settings().targetAngleFormat = "DDD";
  Triple chained{"31.5", "118.25", "100"};
  ASSERT_TRUE(Record(chained));

  Triple direct{"31.5", "118.25", "100"};
  Settings().useSevenParams = false;
  Settings().targetEllipsoid = "WGS84";
  Settings().targetType = "Space";
  ASSERT_TRUE(Record(direct));
  Settings().sourceEllipsoid = Settings().targetEllipsoid = "krass";
  Settings().sourceType = "Space";
  Settings().targetType = "LB";
  ASSERT_TRUE(Record(direct));
  EXPECT_EQ(chained, direct);
  EXPECT_NE(Number(chained[0]), 31.5);  // the same cartesian point, another ellipsoid
}

TEST_F(PointConversion, MalformedLatitudeNamesItsSide) {
  Settings().sourceType = "LB";
  Settings().targetType = "Space";
  EXPECT_EQ(Point({"30:30", "120:0:0", "0"}), (Triple{"old", "old", "old"}));
  Settings().targetType = "Plan";
  EXPECT_EQ(Point({"30:30", "120:0:0", "0"}), (Triple{"old", "old", "old"}));
  EXPECT_EQ(recorder.messages, (std::vector<std::string>{"坐标格式错误,请检查", "坐标格式错误,请检查."}));
}

TEST_F(PointConversion, SevenParamChainReportsABadLatitudeOnce) {
  Settings().useSevenParams = true;
  Settings().sourceType = Settings().targetType = "LB";
  Settings().targetEllipsoid = "krass";
  EXPECT_EQ(Point({"abc", "120:0:0", "0"}), (Triple{"old", "old", "old"}));
  Triple record{"abc", "120:0:0", "0"};
  EXPECT_FALSE(Record(record));
  EXPECT_EQ(recorder.messages, (std::vector<std::string>(2, "坐标格式错误,请检查")));
}

TEST_F(PointConversion, BlanksAroundValuesAreIgnored) {
  Settings().sourceType = "LB";
  Settings().targetType = "Space";
  const Triple trimmed = Point({"  0:0:0  ", " 120:0:0 ", "\t0 "});
  EXPECT_NEAR(Number(trimmed[0]), -3189068.5, 1e-6);
  EXPECT_EQ(Point({"\t0:0:0", "120:0:0", "0"}), trimmed);
  EXPECT_TRUE(recorder.messages.empty());
}

// A typing mistake is refused and changes nothing, whatever the route.
struct MistakeCase {
  const char* sourceType;
  const char* targetType;
  const char* angleFormat;
  Triple values;
  const char* message;
};

void PrintTo(const MistakeCase& c, std::ostream* out) {
  *out << c.sourceType << "->" << c.targetType << ' ' << c.values[0] << '|' << c.values[1] << '|' << c.values[2];
}

class Mistakes : public PointConversion, public testing::WithParamInterface<MistakeCase> {};

TEST_P(Mistakes, AreRefusedWithTheMessage) {
  const MistakeCase& c = GetParam();
  Settings().sourceType = c.sourceType;
  Settings().targetType = c.targetType;
  Settings().sourceAngleFormat = c.angleFormat;
  EXPECT_EQ(Point(c.values), (Triple{"old", "old", "old"}));
  EXPECT_EQ(recorder.messages, std::vector<std::string>{c.message});
}

INSTANTIATE_TEST_SUITE_P(
    Typing, Mistakes,
    testing::Values(MistakeCase{"LB", "Space", "DDD", {"3l.5", "121.25", "10"}, "坐标格式错误,请检查"},
                    MistakeCase{"LB", "Space", "DDD", {"31.5", "121.25", "abc"}, "坐标格式错误,请检查"},
                    MistakeCase{"LB", "Space", "DDD", {"", "121.25", "10"}, "坐标格式错误,请检查"},
                    MistakeCase{"LB", "Space", "DMS", {"30:ab:cd", "121:0:0", "10"}, "坐标格式错误,请检查"},
                    MistakeCase{"LB", "Plan", "DMM", {"1e15", "121:0", "10"}, "坐标格式错误,请检查."},
                    MistakeCase{"LB", "Plan", "DDD", {"31.5", "121.25", "12abc"}, "坐标格式错误,请检查."},
                    MistakeCase{"Space", "LB", "DDD", {"", "", ""}, "坐标格式错误,请检查."},
                    MistakeCase{"Space", "LB", "DDD", {"1e400", "0", "0"}, "坐标格式错误,请检查."},
                    MistakeCase{"Plan", "LB", "DDD", {"3487088.1", "nan", "0"}, "坐标格式错误,请检查."}));

// Far outside the projection an inverse is no answer: north 20 000 km lies
// beyond the pole.
TEST_F(PointConversion, PlanPointOutsideTheProjectionIsRefused) {
  Settings().sourceType = "Plan";
  Settings().targetType = "LB";
  EXPECT_EQ(Point({"20000000", "500000", "0"}), (Triple{"old", "old", "old"}));
  EXPECT_EQ(Point({"3000000", "50000000", "0"}), (Triple{"old", "old", "old"}));
  EXPECT_EQ(recorder.messages, std::vector<std::string>(2, "坐标转换失败,请检查."));
  recorder.messages.clear();
  Settings().targetAngleFormat = "DDD";
  EXPECT_EQ(Point({"3487088.142902604304254", "618757.212154228007421", "10"})[0].substr(0, 10), "31.4999999");
  EXPECT_EQ(Point({"3487088", "1500000", "10"})[1].substr(0, 3), "130");  // 10° out: confirmed, then kept
  EXPECT_TRUE(recorder.messages.empty());
}

TEST_F(PointConversion, RefusedProjectionLeavesTheTargets) {
  Settings().sourceType = "LB";
  Settings().targetType = "Plan";
  Settings().projection.projKey = "nosuchprojection";
  EXPECT_EQ(Point({"30:0:0", "120:0:0", "0"}), (Triple{"old", "old", "old"}));
  Settings().sourceType = "Plan";
  Settings().targetType = "LB";
  Triple record{"3000000", "500000", "0"};
  EXPECT_FALSE(Record(record));
  Settings().projection.projKey = "tmerc";
  Settings().projection.centralMeridian = "12O";
  EXPECT_FALSE(Record(record));
  EXPECT_EQ(recorder.messages, (std::vector<std::string>(3, "投影参数错误,请检查.")));
}

// Each conversion plans with the settings of its moment.
TEST_F(PointConversion, ProjectionChangeTakesEffectAtOnce) {
  Settings().sourceType = "LB";
  Settings().targetType = "Plan";
  Settings().sourceAngleFormat = "DDD";
  EXPECT_NEAR(Number(Point({"0", "120", "0"})[1]), 500000, 1e-9);
  Settings().projection.centralMeridian = "123";
  EXPECT_LT(Number(Point({"0", "120", "0"})[1]), 500000 - 300000);
  Settings().projection.falseEasting = "0";
  Settings().projection.centralMeridian = "120";
  EXPECT_NEAR(Number(Point({"0", "120", "0"})[1]), 0, 1e-9);
}

}  // namespace
}  // namespace tarnwell

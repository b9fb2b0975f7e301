#include "estimate/CalibrationReport.h"

#include <gtest/gtest.h>

#include "BatchTestSupport.h"
#include "MessageRecorder.h"
#include "PlaneTestPoints.h"
#include "tables/NumberText.h"
#include "tables/TableText.h"

namespace tarnwell {
namespace {

// Ten points moved by a known set, the target of P3 6 cm east: flagged.
LocalGridEstimate FlaggedEstimate() {
  std::vector<PlaneCommonPoint> points = test::ScatteredPoints(10);
  const FourParams truth = {2000, -2000, 100, 25};
  for (PlaneCommonPoint& p : points) {
    truth.Apply(p.targetNorth, p.targetEast);
    p.targetHeight += 2.5;
  }
  test::AddTargetNoise(points, 0.002);
  points[3].targetEast += 0.06;
  std::optional<LocalGridEstimate> estimate = EstimateLocalGrid(points, {});
  EXPECT_TRUE(estimate);
  return std::move(*estimate);
}

std::size_t Count(const std::string& text, const std::string& part) {
  std::size_t count = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
  return count;
}

TEST(CalibrationReport, HtmlAndCsvCarryTheParametersThePrecisionAndTheFlags) {
  CoordSettings settings;
  settings.targetEllipsoid = "krass";
  const LocalGridEstimate estimate = FlaggedEstimate();
  ASSERT_TRUE(estimate.report.points[3].flagged);
  const CalibrationReport report = MakeLocalGridReport(estimate, settings, {{"a.csv", "b&c.csv"}, "2026-12-07 20:00 UTC"});

  const std::string html = ReportHtml(report, "plot.png");
  EXPECT_NE(html.find("<h1>四参数及高程拟合计算报告</h1>"), std::string::npos);
  EXPECT_NE(html.find("<td>krass</td>"), std::string::npos);
  EXPECT_NE(html.find("b&amp;c.csv"), std::string::npos);
  EXPECT_NE(html.find("<img src=\"plot.png\">"), std::string::npos);
  EXPECT_NE(html.find("2026-12-07 20:00 UTC"), std::string::npos);
  EXPECT_EQ(Count(html, "<tr class=\"flag\"><td>P3</td>"), 1u);
  EXPECT_EQ(Count(html, "<td class=\"n\">超限</td>"), 1u);

  const std::string csv = ReportCsv(report);
  EXPECT_EQ(csv.rfind("\xEF\xBB\xBF四参数及高程拟合计算报告\n", 0), 0u);
  std::string sigma0 = "平面单位权中误差 σ0,";
  AppendShortestNumber(estimate.report.plane.sigma0, sigma0);
  EXPECT_NE(csv.find(sigma0 + " 米\n"), std::string::npos);
  // The header and every point after the last title.
  const std::string title = "残差 (米)\n";
  const std::vector<std::string> table = SplitAtChar(csv.substr(csv.find(title) + title.size()), '\n');
  ASSERT_EQ(table.size(), 12u);  // header, 10 points, empty tail
  EXPECT_EQ(table[0], "点名,参与计算,vx,vy,vh,平面,标准化残差,超限");
  EXPECT_EQ(table[4].rfind("P3,是,", 0), 0u);
  EXPECT_TRUE(table[4].ends_with(",超限"));
  EXPECT_EQ(table[5].back(), ',');  // P4: within the tolerance
}

TEST(CalibrationReport, WriteReplacesTheFileWholeOrSaysItCannot) {
  test::ScratchFolder folder;
  const std::string path = folder.File("report.html");
  ASSERT_TRUE(WriteReportFile(path, "<html>old</html>"));
  ASSERT_TRUE(WriteReportFile(path, "<html>new</html>"));
  EXPECT_EQ(test::ReadBytes(path), "<html>new</html>");
  MessageRecorder recorder;
  EXPECT_FALSE(WriteReportFile(folder.File("missing/report.csv"), "x"));
  EXPECT_EQ(recorder.messages, std::vector<std::string>{"报告无法写入: " + folder.File("missing/report.csv")});
}

}  // namespace
}  // namespace tarnwell

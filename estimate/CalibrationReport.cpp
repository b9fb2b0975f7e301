#include "estimate/CalibrationReport.h"

#include <array>
#include <cstdio>

#include "batch/AtomicFileWriter.h"
#include "engine/Messages.h"
#include "tables/NumberText.h"

namespace tarnwell {
namespace {

std::string Shortest(double value) {
  std::string text;
  AppendShortestNumber(value, text);
  return text;
}

// Residuals to a tenth of a millimetre, as the pages show them.
std::string Metres(double value) {
  char text[64];
  std::snprintf(text, sizeof text, "%.4f", value);
  return text;
}

std::string Number(double value) {
  char text[64];
  std::snprintf(text, sizeof text, "%.2f", value);
  return text;
}

std::string ProjectionText(const ProjectionParams& projection) {
  std::string text = projection.projKey + " (" + projection.description + ")";
  if (projection.centralMeridian) text += ", 中央子午线 " + Shortest(*projection.centralMeridian) + "°";
  if (projection.zoneWidth > 0) text += ", " + std::to_string(projection.zoneWidth) + "° 分带";
  if (projection.zone > 0) text += ", 带号 " + std::to_string(projection.zone);
  text += ", 投影面高程 " + Shortest(projection.surfaceHeight.value_or(0)) + " 米";
  return text;
}

CalibrationReport::Section SystemsSection(const CoordSettings& settings, bool withProjection) {
  CalibrationReport::Section section{"坐标系", {}};
  section.items.push_back({"源椭球", settings.sourceEllipsoid});
  section.items.push_back({"目的椭球", settings.targetEllipsoid});
  if (withProjection) {
    section.items.push_back({"源投影", ProjectionText(SourceProjection(settings))});
    section.items.push_back({"目的投影", ProjectionText(settings.projection)});
  }
  section.items.push_back(
      {"旋转约定", std::string(KeywordOf<RotationConvention>(kRotationConventions, RotationConvention::CoordinateFrame))});
  return section;
}

CalibrationReport::Section SourceSection(const ReportSource& source, const ResidualTolerance& tolerance) {
  CalibrationReport::Section section{"来源", {}};
  for (const std::string& file : source.inputFiles) section.items.push_back({"输入文件", file});
  section.items.push_back({"限差", "平面 " + Shortest(tolerance.horizontal) + " 米, 高程 " + Shortest(tolerance.vertical) + " 米"});
  section.items.push_back({"日期", source.date});
  return section;
}

// "value ± deviation unit"
std::string WithDeviation(double value, double deviation, std::string_view unit) {
  return Shortest(value) + " ± " + Shortest(deviation) + " " + std::string(unit);
}

// The suspected blunder's name, or 无.
std::string SuspectText(const std::string& name) { return name.empty() ? "无" : name; }

// The coefficients a0… of a height surface with their standard deviations.
void AppendCoefficients(const HeightFit& fit, const std::array<double, 6>& deviations,
                        CalibrationReport::Section& section) {
  for (std::size_t j = 0; j < CoefficientCount(fit.model); ++j) {
    std::string name = "a";
    name += std::to_string(j);
    section.items.push_back({std::move(name), WithDeviation(fit.coefficients[j], deviations[j], "")});
  }
}

const char* Flag(bool flagged) { return flagged ? "超限" : ""; }
const char* Participation(bool participates) { return participates ? "是" : "否"; }

// Quoted where a comma, quote or line end would split the field.
std::string CsvField(const std::string& field) {
  if (field.find_first_of(",\"\r\n") == std::string::npos) return field;
  std::string quoted = "\"";
  for (char c : field) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
  return quoted + "\"";
}

std::string HtmlText(std::string_view text) {
  std::string escaped;
  for (char c : text) {
    switch (c) {
      case '&': escaped += "&amp;"; break;
      case '<': escaped += "&lt;"; break;
      case '>': escaped += "&gt;"; break;
      case '"': escaped += "&quot;"; break;
      default: escaped += c;
    }
  }
  return escaped;
}

}  // namespace

CalibrationReport MakeSevenParameterReport(const SevenParamsEstimate& estimate, const CoordSettings& settings,
                                           const ReportSource& source) {
  CalibrationReport report;
  report.title = "七参数计算报告";
  report.sections.push_back(SystemsSection(settings, false));
  const SevenParams& p = estimate.params;
  const SevenParams& d = estimate.deviations;
  const SevenParams& q = estimate.inverse;
  report.sections.push_back({"七参数 (源→目的)",
                             {{"dX", WithDeviation(p.dX, d.dX, "米")},
                              {"dY", WithDeviation(p.dY, d.dY, "米")},
                              {"dZ", WithDeviation(p.dZ, d.dZ, "米")},
                              {"rX", WithDeviation(p.rX, d.rX, "秒")},
                              {"rY", WithDeviation(p.rY, d.rY, "秒")},
                              {"rZ", WithDeviation(p.rZ, d.rZ, "秒")},
                              {"尺度", WithDeviation(p.scalePpm, d.scalePpm, "ppm")}}});
  report.sections.push_back({"反向七参数 (目的→源)",
                             {{"dX,dY,dZ (米)", Shortest(q.dX) + ", " + Shortest(q.dY) + ", " + Shortest(q.dZ)},
                              {"rX,rY,rZ (秒)", Shortest(q.rX) + ", " + Shortest(q.rY) + ", " + Shortest(q.rZ)},
                              {"尺度 (ppm)", Shortest(q.scalePpm)}}});
  const FitReport& fit = estimate.report;
  report.sections.push_back({"精度",
                             {{"单位权中误差 σ0", Shortest(fit.sigma0) + " 米"},
                              {"多余观测数", std::to_string(fit.redundancy)},
                              {"参与计算的公共点", std::to_string(fit.pointCount)},
                              {"三维残差均方根", Metres(fit.rms3D) + " 米"},
                              {"疑似粗差", SuspectText(fit.suspectName)}}});
  report.sections.push_back(SourceSection(source, settings.tolerance));
  report.residualHeader = {"点名", "参与计算", "vX", "vY", "vZ", "平面", "高程", "三维", "标准化残差", "超限"};
  for (const PointResidual& r : fit.points) {
    report.residualRows.push_back({r.name, Participation(r.participates), Metres(r.vX), Metres(r.vY), Metres(r.vZ),
                                   Metres(r.vHorizontal), Metres(r.vVertical), Metres(r.v3D), Number(r.standardized),
                                   Flag(r.flagged)});
  }
  return report;
}

CalibrationReport MakeLocalGridReport(const LocalGridEstimate& estimate, const CoordSettings& settings,
                                      const ReportSource& source) {
  CalibrationReport report;
  report.title = "四参数及高程拟合计算报告";
  report.sections.push_back(SystemsSection(settings, true));
  const FourParams& p = estimate.plane.params;
  const FourParams& d = estimate.plane.deviations;
  report.sections.push_back({"四参数",
                             {{"ΔX", WithDeviation(p.dNorth, d.dNorth, "米")},
                              {"ΔY", WithDeviation(p.dEast, d.dEast, "米")},
                              {"旋转", WithDeviation(p.rotationArcSeconds, d.rotationArcSeconds, "秒")},
                              {"尺度", WithDeviation(p.scalePpm, d.scalePpm, "ppm")}}});
  const HeightFit& fit = estimate.height.fit;
  CalibrationReport::Section height{"高程拟合 (" + std::string(KeywordOf<HeightModel>(kHeightModels, fit.model)) + ")",
                                    {{"重心 x, y", Shortest(fit.centroid.north) + ", " + Shortest(fit.centroid.east)}}};
  // On a side with normal heights the fit is of what the model leaves.
  if (const std::optional<CoordinateSystem> side = LocalGridSide(settings); side && side->height == HeightSystem::Normal) {
    height.items.insert(height.items.begin(),
                        {"拟合对象", "h2 − H, H = h − N − r (高程模型: " + (side->geoid.empty() ? "无" : side->geoid) + ")"});
  }
  AppendCoefficients(fit, estimate.height.deviations, height);
  report.sections.push_back(height);
  const PlaneFitReport& r = estimate.report;
  report.sections.push_back({"精度",
                             {{"平面单位权中误差 σ0", Shortest(r.plane.sigma0) + " 米"},
                              {"平面多余观测数", std::to_string(r.plane.redundancy)},
                              {"高程单位权中误差 σ0", Shortest(r.height.sigma0) + " 米"},
                              {"高程多余观测数", std::to_string(r.height.redundancy)},
                              {"参与计算的公共点", std::to_string(r.pointCount)},
                              {"疑似粗差", SuspectText(r.suspectName)}}});
  report.sections.push_back(SourceSection(source, settings.tolerance));
  report.residualHeader = {"点名", "参与计算", "vx", "vy", "vh", "平面", "标准化残差", "超限"};
  for (const PlaneResidual& point : r.points) {
    report.residualRows.push_back({point.name, Participation(point.participates), Metres(point.vNorth),
                                   Metres(point.vEast), Metres(point.vHeight), Metres(point.v2D),
                                   Number(point.standardized), Flag(point.flagged)});
  }
  return report;
}

CalibrationReport MakeHeightFitReport(const AnomalyEstimate& estimate, const CoordSettings& settings,
                                      const ReportSource& source) {
  CalibrationReport report;
  report.title = "高程拟合计算报告";
  const HeightFit& surface = estimate.fit.surface;
  report.sections.push_back(
      {"高程系统",
       {{"椭球", settings.sourceEllipsoid},
        {"高程模型", settings.geoid.empty() ? "无 (r = h − H)" : settings.geoid + " (r = h − H − N, N 双线性内插)"},
        {"正常高", "H = h − N − r"}}});
  CalibrationReport::Section fit{
      "高程异常拟合 (" + std::string(KeywordOf<HeightModel>(kHeightModels, surface.model)) + ")",
      {{"原点 B0, L0 (度)", Shortest(estimate.fit.originLatitude) + ", " + Shortest(estimate.fit.originLongitude)},
       {"重心 x, y (米)", Shortest(surface.centroid.north) + ", " + Shortest(surface.centroid.east)}}};
  AppendCoefficients(surface, estimate.deviations, fit);
  report.sections.push_back(fit);
  report.sections.push_back({"精度",
                             {{"单位权中误差 σ0", Shortest(estimate.sigma0) + " 米"},
                              {"多余观测数", std::to_string(estimate.redundancy)},
                              {"参与计算的公共点", std::to_string(estimate.pointCount)},
                              {"残差均方根", Metres(estimate.rms) + " 米"},
                              {"疑似粗差", SuspectText(estimate.suspectName)}}});
  report.sections.push_back(SourceSection(source, settings.tolerance));
  report.residualHeader = {"点名", "参与计算", "高程异常 r", "残差", "标准化残差", "超限"};
  for (const AnomalyResidual& point : estimate.residuals) {
    report.residualRows.push_back({point.name, Participation(point.participates), Metres(point.anomaly),
                                   Metres(point.residual), Number(point.standardized), Flag(point.flagged)});
  }
  return report;
}

std::string ReportHtml(const CalibrationReport& report, std::string_view plotSource) {
  std::string html = "<!DOCTYPE html>\n<html lang=\"zh-CN\"><head><meta charset=\"utf-8\"><title>" +
                     HtmlText(report.title) +
                     "</title>\n<style>table{border-collapse:collapse}td,th{border:1px solid #888;padding:2px 6px}"
                     "td.n{text-align:right}tr.flag td{color:#c00}</style></head><body>\n<h1>" +
                     HtmlText(report.title) + "</h1>\n";
  for (const CalibrationReport::Section& section : report.sections) {
    html += "<h2>" + HtmlText(section.title) + "</h2>\n<table>\n";
    for (const auto& [name, value] : section.items)
      html += "<tr><th>" + HtmlText(name) + "</th><td>" + HtmlText(value) + "</td></tr>\n";
    html += "</table>\n";
  }
  if (!plotSource.empty()) html += "<h2>残差图</h2>\n<p><img src=\"" + HtmlText(plotSource) + "\"></p>\n";
  html += "<h2>残差 (米)</h2>\n<table>\n<tr>";
  for (const std::string& cell : report.residualHeader) html += "<th>" + HtmlText(cell) + "</th>";
  html += "</tr>\n";
  for (const std::vector<std::string>& row : report.residualRows) {
    html += row.back().empty() ? "<tr>" : "<tr class=\"flag\">";
    for (std::size_t i = 0; i < row.size(); ++i)
      html += (i < 2 ? "<td>" : "<td class=\"n\">") + HtmlText(row[i]) + "</td>";
    html += "</tr>\n";
  }
  return html + "</table>\n</body></html>\n";
}

std::string ReportCsv(const CalibrationReport& report) {
  // The byte-order mark tells spreadsheets the text is UTF-8.
  std::string csv = "\xEF\xBB\xBF" + CsvField(report.title) + "\n";
  for (const CalibrationReport::Section& section : report.sections) {
    csv.append("\n").append(CsvField(section.title)).append("\n");
    for (const auto& [name, value] : section.items) csv += CsvField(name) + "," + CsvField(value) + "\n";
  }
  csv += "\n残差 (米)\n";
  const auto line = [](const std::vector<std::string>& cells) {
    std::string text;
    for (std::size_t i = 0; i < cells.size(); ++i) text.append(i ? "," : "").append(CsvField(cells[i]));
    return text.append("\n");
  };
  csv += line(report.residualHeader);
  for (const std::vector<std::string>& row : report.residualRows) csv += line(row);
  return csv;
}

bool WriteReportFile(const std::string& path, std::string_view text) {
  AtomicFileWriter writer;
  if (!writer.Open(path) || !writer.Append(text) || !writer.Commit()) {
    ShowMessage("报告无法写入: " + path);
    return false;
  }
  return true;
}

}  // namespace tarnwell

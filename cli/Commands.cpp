#include "cli/Commands.h"

#include <filesystem>
#include <ctime>
#include <iostream>

#include "batch/CoordinateFile.h"
#include "batch/VectorExport.h"
#include "cli/ProjectionList.h"
#include "cli/ReportOutput.h"
#include "cli/SettingsOptions.h"
#include "engine/CoordSettings.h"
#include "engine/PointConversion.h"
#include "engine/Refusal.h"
#include "estimate/CalibrationReport.h"
#include "estimate/HeightAnomalies.h"
#include "estimate/PlaneFitReport.h"
#include "estimate/SevenParameters.h"
#include "estimate/ThreeParameters.h"
#include "tables/EllipsoidCatalogue.h"
#include "tables/NumberText.h"
#include "tables/SupportedProjections.h"

namespace tarnwell::cli {
namespace {

void PrintSevenParams(const SevenParams& p) {
  std::cout << FormatNumber(p.dX) << ',' << FormatNumber(p.dY) << ',' << FormatNumber(p.dZ) << ','
            << FormatNumber(p.rX) << ',' << FormatNumber(p.rY) << ',' << FormatNumber(p.rZ) << ','
            << FormatNumber(p.scalePpm) << '\n';
}

// `label`, then the numbers in their shortest form that reads back the same.
void PrintShortest(std::string_view label, std::initializer_list<double> values) {
  std::string line(label);
  for (double value : values) {
    line += ',';
    AppendShortestNumber(value, line);
  }
  std::cout << line << '\n';
}

void PrintShortest(std::string_view label, const SevenParams& p) {
  PrintShortest(label, {p.dX, p.dY, p.dZ, p.rX, p.rY, p.rZ, p.scalePpm});
}

const char* FlagText(bool flagged) { return flagged ? ",超限\n" : "\n"; }

void PrintSuspect(const std::string& name) {
  if (!name.empty()) std::cout << "疑似粗差," << name << '\n';
}

// Residuals in metres, one point a line, then the summary and the precision.
void PrintFitReport(const SevenParamsEstimate& estimate) {
  const FitReport& report = estimate.report;
  std::cout << "点名,vX,vY,vZ,v3D\n";
  for (const PointResidual& point : report.points) {
    std::cout << point.name << ',' << FormatNumber(point.vX) << ',' << FormatNumber(point.vY) << ','
              << FormatNumber(point.vZ) << ',' << FormatNumber(point.v3D) << FlagText(point.flagged);
  }
  std::cout << "三维残差均方根," << FormatNumber(report.rms3D) << '\n'
            << "最大三维残差," << FormatNumber(report.largest3D) << ',' << report.largestName << '\n'
            << "点数," << report.pointCount << '\n'
            << "多余观测数," << report.redundancy << '\n';
  PrintShortest("单位权中误差", {report.sigma0});
  PrintShortest("参数中误差", estimate.deviations);
  PrintSuspect(report.suspectName);
  PrintShortest("反向七参数", estimate.inverse);
}

// The four parameters on one line; on the next the height fit: the centroid
// it is reduced to, then the coefficients of its model (1, 3 or 6).
void PrintLocalGrid(const FourParams& p, const HeightFit& fit) {
  std::cout << FormatNumber(p.dNorth) << ',' << FormatNumber(p.dEast) << ',' << FormatNumber(p.rotationArcSeconds)
            << ',' << FormatNumber(p.scalePpm) << '\n';
  std::string line = "高程拟合";
  for (double value : {fit.centroid.north, fit.centroid.east}) {
    line += ',';
    AppendShortestNumber(value, line);
  }
  for (std::size_t j = 0; j < CoefficientCount(fit.model); ++j) {
    line += ',';
    AppendShortestNumber(fit.coefficients[j], line);
  }
  std::cout << line << '\n';
}

// The anomaly fit on one line, as --anomaly-fit takes it: the origin B0, L0
// (decimal degrees), the centroid in the local plane, the coefficients.
void PrintAnomalyFit(const AnomalyFit& fit) {
  const HeightFit& surface = fit.surface;
  std::cout << "高程拟合," << FormatNumber(fit.originLatitude) << ',' << FormatNumber(fit.originLongitude) << ','
            << FormatNumber(surface.centroid.north) << ',' << FormatNumber(surface.centroid.east);
  for (std::size_t j = 0; j < CoefficientCount(surface.model); ++j)
    std::cout << ',' << FormatNumber(surface.coefficients[j]);
  std::cout << '\n';
}

// The coefficients' standard deviations after `label`, as many as the model has.
void PrintHeightDeviations(std::string_view label, HeightModel model, const std::array<double, 6>& deviations) {
  std::string line(label);
  for (std::size_t j = 0; j < CoefficientCount(model); ++j) {
    line += ',';
    AppendShortestNumber(deviations[j], line);
  }
  std::cout << line << '\n';
}

void PrintAnomalyResiduals(const AnomalyEstimate& estimate) {
  for (const AnomalyResidual& point : estimate.residuals)
    std::cout << point.name << ',' << FormatNumber(point.residual) << FlagText(point.flagged);
  std::cout << "高程残差均方根," << FormatNumber(estimate.rms) << '\n'
            << "最大高程残差," << FormatNumber(estimate.largest) << ',' << estimate.largestName << '\n'
            << "多余观测数," << estimate.redundancy << '\n';
  PrintShortest("单位权中误差", {estimate.sigma0});
  PrintHeightDeviations("高程拟合中误差", estimate.fit.surface.model, estimate.deviations);
  PrintSuspect(estimate.suspectName);
}

void PrintPlaneFitReport(const LocalGridEstimate& estimate) {
  const PlaneFitReport& report = estimate.report;
  std::cout << "点名,vx,vy,vh,v2D\n";
  for (const PlaneResidual& point : report.points) {
    std::cout << point.name << ',' << FormatNumber(point.vNorth) << ',' << FormatNumber(point.vEast) << ','
              << FormatNumber(point.vHeight) << ',' << FormatNumber(point.v2D) << FlagText(point.flagged);
  }
  std::cout << "平面残差均方根," << FormatNumber(report.plane.rms) << '\n'
            << "最大平面残差," << FormatNumber(report.plane.largest) << ',' << report.plane.largestName << '\n'
            << "高程残差均方根," << FormatNumber(report.height.rms) << '\n'
            << "最大高程残差," << FormatNumber(report.height.largest) << ',' << report.height.largestName << '\n'
            << "点数," << report.pointCount << '\n'
            << "多余观测数," << report.plane.redundancy << '\n'
            << "高程多余观测数," << report.height.redundancy << '\n';
  const FourParams& d = estimate.plane.deviations;
  PrintShortest("单位权中误差", {report.plane.sigma0});
  PrintShortest("参数中误差", {d.dNorth, d.dEast, d.rotationArcSeconds, d.scalePpm});
  PrintShortest("高程单位权中误差", {report.height.sigma0});
  PrintHeightDeviations("高程拟合中误差", estimate.height.fit.model, estimate.height.deviations);
  PrintSuspect(report.suspectName);
}

// The date and time of the report, UTC.
std::string Now() {
  const std::time_t now = std::time(nullptr);
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%d %H:%M UTC", std::gmtime(&now));
  return text;
}

// γ (decimal degrees), k, the elevation factor, the combined factor and the
// length distortion in mm per km.
void PrintGridFactors(const GridFactors& factors) {
  std::cout << FormatNumber(factors.convergenceDegrees) << ',' << FormatNumber(factors.pointScale) << ','
            << FormatNumber(factors.elevationFactor) << ',' << FormatNumber(factors.combinedFactor) << ','
            << FormatNumber(factors.distortionMmPerKm) << '\n';
}

}  // namespace

ExitStatus RunPoint(const Values& values, const ToolOptions& options, std::string& error) {
  const CoordSettings& settings = CoordSettings::instance();
  const PointTexts source = {values[0], values[1], values[2]};
  if (options.factors && !HasPlanSide(settings)) {
    error = "--factors 需要平面坐标 (Plan) 一侧";
    return kExitUsage;
  }
  PointTexts target;
  GridFactors factors;
  Refusal refusal = ConvertPoint(settings, source, target);
  if (!refusal && options.factors) refusal = PointGridFactors(settings, source, factors);
  if (refusal) {
    error = MessageText(refusal);
    return kExitRefused;
  }
  std::cout << target[0] << ',' << target[1] << ',' << target[2] << '\n';
  if (options.factors) PrintGridFactors(factors);
  return kExitSuccess;
}

// Each input on its own: a refused one is named after its messages and the
// next goes on. The exit status is a refusal when any was refused.
ExitStatus RunFile(const Values& given, const ToolOptions& options, std::string& error) {
  // A folder stands for its coordinate files.
  Values values;
  for (const std::string& input : given) {
    if (input.empty()) {
      error = "缺少输入文件";
      return kExitUsage;
    }
    std::error_code notFolder;
    if (!std::filesystem::is_directory(input, notFolder)) {
      values.push_back(input);
      continue;
    }
    const std::vector<std::string> files = CoordinateFilesIn(input);
    if (files.empty()) {
      error = "文件夹中没有坐标文件 (.csv .txt .dat): " + input;
      return kExitUsage;
    }
    values.insert(values.end(), files.begin(), files.end());
  }
  // One output file for several inputs would keep only the last.
  std::error_code notFolder;
  if (values.size() > 1 && !options.output.empty() && !std::filesystem::is_directory(options.output, notFolder)) {
    error = "多个输入文件时 --output 须为已有的文件夹";
    return kExitUsage;
  }
  // The export's report would lie beside its hidden text.
  if (options.exportFormat && options.badLines == BadLines::Report) {
    error = "--export 不能与 --bad-lines report 同用";
    return kExitUsage;
  }
  // An export has its own format; the option would be of no effect.
  if (options.exportFormat && CoordSettings::instance().outputLayout != OutputLayout::Input) {
    error = "--export 不能与 --output-layout csv 同用";
    return kExitUsage;
  }
  BatchOptions batch;
  batch.threads = options.threads;
  batch.output = options.output;
  batch.badLines = options.badLines;
  batch.factors = options.factors;
  ExitStatus status = kExitSuccess;
  for (const std::string& input : values) {
    // The conversion shows its messages itself.
    const BatchResult result = options.exportFormat
                                   ? ExportCoordinateFile(CoordSettings::instance(), input, *options.exportFormat, batch)
                                   : ConvertCoordinateFile(CoordSettings::instance(), input, batch);
    if (result.outcome == BatchOutcome::Converted) {
      std::cout << result.outputPath << std::endl;  // at once: a later file may take long
      continue;
    }
    status = kExitRefused;
    if (values.size() > 1) std::cerr << "未转换: " << input << '\n';
  }
  return status;
}

ExitStatus RunThree(const Values& values, const ToolOptions&, std::string&) {
  const std::optional<SevenParams> shift = ComputeThreeParameters(CoordSettings::instance(), values[0], values[1],
                                                                  values[2], values[3], values[4], values[5]);
  if (!shift) return kExitRefused;
  PrintSevenParams(*shift);
  return kExitSuccess;
}

ExitStatus RunSeven(const Values& values, const ToolOptions& options, std::string& error) {
  if (!ReportPathUsable(options.reportPath, error)) return kExitUsage;
  std::vector<CommonPointLine> commonPoints;
  for (const std::string& path : values) {
    if (!ImportCommonPointFile(CoordSettings::instance(), path, commonPoints)) return kExitRefused;
  }
  const std::optional<SevenParamsEstimate> estimate =
      ComputeSevenParameters(CoordSettings::instance(), commonPoints, options.datumModel);
  if (!estimate) return kExitRefused;
  PrintSevenParams(estimate->params);
  PrintFitReport(*estimate);
  const CalibrationReport report = MakeSevenParameterReport(*estimate, CoordSettings::instance(), {values, Now()});
  return WriteReport(options.reportPath, report, ResidualPoints(estimate->report)) ? kExitSuccess : kExitRefused;
}

ExitStatus RunFour(const Values& values, const ToolOptions& options, std::string& error) {
  if (!ReportPathUsable(options.reportPath, error)) return kExitUsage;
  std::vector<PlaneCommonPoint> commonPoints;
  for (const std::string& path : values) {
    if (!ImportPlaneCommonPointFile(path, commonPoints)) return kExitRefused;
  }
  const LocalGridOptions gridOptions{options.planeModel,
                                     options.heightModel.value_or(AutomaticHeightModel(commonPoints.size())),
                                     CoordSettings::instance().tolerance};
  const std::optional<std::vector<PlaneCommonPoint>> onGridHeights =
      PointsOnGridHeights(CoordSettings::instance(), commonPoints);
  if (!onGridHeights) return kExitRefused;
  const std::optional<LocalGridEstimate> estimate = EstimateLocalGrid(*onGridHeights, gridOptions);
  if (!estimate) return kExitRefused;
  PrintLocalGrid(estimate->plane.params, estimate->height.fit);
  PrintPlaneFitReport(*estimate);
  const CalibrationReport report = MakeLocalGridReport(*estimate, CoordSettings::instance(), {values, Now()});
  return WriteReport(options.reportPath, report, ResidualPoints(estimate->report, commonPoints)) ? kExitSuccess
                                                                                                : kExitRefused;
}

ExitStatus RunHeight(const Values& values, const ToolOptions& options, std::string& error) {
  if (!ReportPathUsable(options.reportPath, error)) return kExitUsage;
  const CoordSettings& settings = CoordSettings::instance();
  std::shared_ptr<const GeoidModel> geoid;
  if (!settings.geoid.empty()) {
    if (const Refusal refusal = GeoidModel::Open(settings.geoid, geoid)) {
      error = MessageText(refusal);
      return kExitRefused;
    }
  }
  std::vector<LevelledPoint> points;
  for (const std::string& path : values) {
    if (!ImportLevelledPointFile(path, settings.sourceAngleFormat, points)) return kExitRefused;
  }
  const std::optional<AnomalyEstimate> estimate =
      EstimateAnomalyFit(points, geoid.get(), options.heightModel, settings.tolerance);
  if (!estimate) return kExitRefused;
  PrintAnomalyFit(estimate->fit);
  PrintAnomalyResiduals(*estimate);
  return WriteReport(options.reportPath, MakeHeightFitReport(*estimate, settings, {values, Now()})) ? kExitSuccess
                                                                                                   : kExitRefused;
}

ExitStatus RunEllipsoids(const Values&, const ToolOptions&, std::string&) {
  for (const EllipsoidRecord& record : TheEllipsoidCatalogue()) {
    std::cout << record.name << ',' << record.semiMajorAxis << ',' << record.inverseFlattening << ','
              << record.description << '\n';
  }
  return kExitSuccess;
}

ExitStatus RunProjections(const Values&, const ToolOptions&, std::string& error) {
  if (!LoadProjections(error)) return kExitRefused;
  const std::vector<const ProjectionParams*> list = SortedProjectionList();
  for (std::size_t position = 0; position < list.size(); ++position) {
    const ProjectionParams& entry = *list[position];
    std::cout << position << ',' << (FindSupportedProjection(entry.projKey) ? "支持" : "不支持") << ','
              << entry.projKey << ',' << entry.description << '\n';
  }
  return kExitSuccess;
}

}  // namespace tarnwell::cli

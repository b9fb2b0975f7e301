#include "cli/Commands.h"

#include <filesystem>
#include <iostream>

#include "batch/CoordinateFile.h"
#include "batch/VectorExport.h"
#include "cli/ProjectionList.h"
#include "cli/SettingsOptions.h"
#include "engine/CoordSettings.h"
#include "engine/PointConversion.h"
#include "engine/Refusal.h"
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

// Residuals in metres, one point a line, then the summary.
void PrintFitReport(const FitReport& report) {
  std::cout << "点名,vX,vY,vZ,v3D\n";
  for (const PointResidual& point : report.points) {
    std::cout << point.name << ',' << FormatNumber(point.vX) << ',' << FormatNumber(point.vY) << ','
              << FormatNumber(point.vZ) << ',' << FormatNumber(point.v3D) << '\n';
  }
  std::cout << "三维残差均方根," << FormatNumber(report.rms3D) << '\n'
            << "最大三维残差," << FormatNumber(report.largest3D) << ',' << report.largestName << '\n'
            << "点数," << report.pointCount << '\n'
            << "多余观测数," << report.redundancy << '\n';
}

// The four parameters on one line; on the next the height fit: the centroid
// it is reduced to, then the coefficients of its model (1, 3 or 6).
void PrintLocalGrid(const FourParams& p, const HeightFit& fit) {
  std::cout << FormatNumber(p.dNorth) << ',' << FormatNumber(p.dEast) << ',' << FormatNumber(p.rotationArcSeconds)
            << ',' << FormatNumber(p.scalePpm) << '\n';
  std::cout << "高程拟合," << FormatNumber(fit.centroid.north) << ',' << FormatNumber(fit.centroid.east);
  for (std::size_t j = 0; j < CoefficientCount(fit.model); ++j) std::cout << ',' << FormatNumber(fit.coefficients[j]);
  std::cout << '\n';
}

void PrintPlaneFitReport(const PlaneFitReport& report) {
  std::cout << "点名,vx,vy,vh,v2D\n";
  for (const PlaneResidual& point : report.points) {
    std::cout << point.name << ',' << FormatNumber(point.vNorth) << ',' << FormatNumber(point.vEast) << ','
              << FormatNumber(point.vHeight) << ',' << FormatNumber(point.v2D) << '\n';
  }
  std::cout << "平面残差均方根," << FormatNumber(report.plane.rms) << '\n'
            << "最大平面残差," << FormatNumber(report.plane.largest) << ',' << report.plane.largestName << '\n'
            << "高程残差均方根," << FormatNumber(report.height.rms) << '\n'
            << "最大高程残差," << FormatNumber(report.height.largest) << ',' << report.height.largestName << '\n'
            << "点数," << report.pointCount << '\n'
            << "多余观测数," << report.plane.redundancy << '\n'
            << "高程多余观测数," << report.height.redundancy << '\n';
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
ExitStatus RunFile(const Values& values, const ToolOptions& options, std::string& error) {
  for (const std::string& input : values) {
    if (input.empty()) {
      error = "缺少输入文件";
      return kExitUsage;
    }
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

ExitStatus RunSeven(const Values& values, const ToolOptions&, std::string&) {
  std::vector<CommonPointLine> commonPoints;
  for (const std::string& path : values) {
    if (!ImportCommonPointFile(CoordSettings::instance(), path, commonPoints)) return kExitRefused;
  }
  const std::optional<SevenParamsEstimate> estimate = ComputeSevenParameters(CoordSettings::instance(), commonPoints);
  if (!estimate) return kExitRefused;
  PrintSevenParams(estimate->params);
  PrintFitReport(estimate->report);
  return kExitSuccess;
}

ExitStatus RunFour(const Values& values, const ToolOptions& options, std::string&) {
  std::vector<PlaneCommonPoint> commonPoints;
  for (const std::string& path : values) {
    if (!ImportPlaneCommonPointFile(path, commonPoints)) return kExitRefused;
  }
  const std::optional<LocalGridEstimate> estimate = EstimateLocalGrid(commonPoints, options.heightModel);
  if (!estimate) return kExitRefused;
  PrintLocalGrid(estimate->params, estimate->heightFit);
  PrintPlaneFitReport(estimate->report);
  return kExitSuccess;
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

#include "cli/Commands.h"

#include <iostream>

#include "batch/CoordinateFile.h"
#include "cli/ProjectionList.h"
#include "cli/SettingsOptions.h"
#include "engine/CoordSettings.h"
#include "engine/PointConversion.h"
#include "engine/Refusal.h"
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

void PrintAnomalyResiduals(const AnomalyEstimate& estimate) {
  for (const AnomalyResidual& point : estimate.residuals)
    std::cout << point.name << ',' << FormatNumber(point.residual) << '\n';
  std::cout << "高程残差均方根," << FormatNumber(estimate.rms) << '\n'
            << "最大高程残差," << FormatNumber(estimate.largest) << ',' << estimate.largestName << '\n';
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

}  // namespace

ExitStatus RunPoint(const Values& values, const ToolOptions&, std::string& error) {
  PointTexts target;
  if (const Refusal refusal = ConvertPoint(CoordSettings::instance(), {values[0], values[1], values[2]}, target)) {
    error = MessageText(refusal);
    return kExitRefused;
  }
  std::cout << target[0] << ',' << target[1] << ',' << target[2] << '\n';
  return kExitSuccess;
}

ExitStatus RunFile(const Values& values, const ToolOptions& options, std::string& error) {
  if (values[0].empty()) {
    error = "缺少输入文件";
    return kExitUsage;
  }
  BatchOptions batch;
  batch.threads = options.threads;
  // The conversion shows its messages itself.
  const BatchResult result = ConvertCoordinateFile(CoordSettings::instance(), values[0], batch);
  if (result.outcome != BatchOutcome::Converted) return kExitRefused;
  std::cout << result.outputPath << '\n';
  return kExitSuccess;
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
  const std::optional<LocalGridEstimate> estimate =
      EstimateLocalGrid(commonPoints, options.heightModel.value_or(AutomaticHeightModel(commonPoints.size())));
  if (!estimate) return kExitRefused;
  PrintLocalGrid(estimate->params, estimate->heightFit);
  PrintPlaneFitReport(estimate->report);
  return kExitSuccess;
}

ExitStatus RunHeight(const Values& values, const ToolOptions& options, std::string& error) {
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
  const std::optional<AnomalyEstimate> estimate = EstimateAnomalyFit(points, geoid.get(), options.heightModel);
  if (!estimate) return kExitRefused;
  PrintAnomalyFit(estimate->fit);
  PrintAnomalyResiduals(*estimate);
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

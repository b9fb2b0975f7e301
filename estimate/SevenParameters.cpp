#include "estimate/SevenParameters.h"

#include <array>
#include <cmath>

#include "tables/TextLineReader.h"
#include "engine/BursaWolf.h"
#include "engine/CoordSettings.h"
#include "engine/Messages.h"
#include "engine/NumberText.h"
#include "engine/PointConversion.h"
#include "linalg.h"
#include "solvers.h"
#include "tables/ListOrder.h"
#include "tables/TableText.h"

namespace tarnwell {
namespace {

const char* const kSolveFailed = "七参数计算失败,请检查公共点。";

constexpr double kDegreesPerRadian = 57.29577951308232;
constexpr double kArcSecondsPerDegree = 3600;
constexpr double kPpm = 1000000;

using Cartesian = std::array<double, 3>;  // X, Y, Z in metres

struct CommonPoint {
  std::string name;
  Cartesian source;  // source datum, earth-centred
  Cartesian target;  // target datum, earth-centred
};

// B, L, h texts of one side to earth-centred coordinates; false (with the
// conversion's message shown) when B or L does not read.
bool ToCartesian(ConversionSide side, std::string b, std::string l, std::string h, Cartesian& xyz) {
  if (!ConvertLBToSpace(side, b, l, h)) return false;
  xyz = {ParseNumber(b), ParseNumber(l), ParseNumber(h)};
  return true;
}

// Every line becomes a point, or nothing does: false after the first line
// that does not read, with its message shown.
bool ReadCommonPoints(const std::vector<std::string>& lines, std::vector<CommonPoint>& points) {
  std::vector<std::string> fields;
  for (const std::string& line : lines) {
    SplitAtChar(line, ',', fields);
    if (fields.size() != 7) {
      ShowMessage("文件的格式不正确，请检查。");
      return false;
    }
    CommonPoint point;
    point.name = fields[0];
    if (!ToCartesian(ConversionSide::Source, fields[1], fields[2], fields[3], point.source)) return false;
    if (!ToCartesian(ConversionSide::Target, fields[4], fields[5], fields[6], point.target)) return false;
    points.push_back(std::move(point));
  }
  return true;
}

Cartesian SourceCentroid(const std::vector<CommonPoint>& points) {
  Cartesian sum{};
  for (const CommonPoint& point : points) {
    for (int axis = 0; axis < 3; ++axis) sum[axis] += point.source[axis];
  }
  for (double& value : sum) value /= static_cast<double>(points.size());
  return sum;
}

// The linearised Bursa-Wolf equations, three per point, solved by LSQR. The
// scale and rotation columns hold coordinates reduced to the centroid of the
// source points: with raw earth-centred coordinates (6.4e6 m from the origin,
// a few km apart) those columns are nearly collinear with the translation
// columns and LSQR stops far from the solution. The translations solved for
// are those at the centroid and are carried back to the origin afterwards.
// Throws alglib::ap_error when the library refuses.
SevenParams SolveBursaWolf(const std::vector<CommonPoint>& points) {
  const auto rows = static_cast<alglib::ae_int_t>(3 * points.size());
  const Cartesian centroid = SourceCentroid(points);

  alglib::sparsematrix a;
  alglib::sparsecreate(rows, 7, a);
  alglib::real_1d_array b;
  b.setlength(rows);
  for (std::size_t i = 0; i < points.size(); ++i) {
    const Cartesian& source = points[i].source;
    const Cartesian& target = points[i].target;
    const double x = source[0] - centroid[0];
    const double y = source[1] - centroid[1];
    const double z = source[2] - centroid[2];
    // Columns: dX, dY, dZ, scale m, rotations rX, rY, rZ (radians).
    const double coefficients[3][7] = {{1, 0, 0, x, 0, -z, y},
                                       {0, 1, 0, y, z, 0, -x},
                                       {0, 0, 1, z, -y, x, 0}};
    for (int axis = 0; axis < 3; ++axis) {
      const auto row = static_cast<alglib::ae_int_t>(3 * i + axis);
      for (int column = 0; column < 7; ++column) alglib::sparseset(a, row, column, coefficients[axis][column]);
      b[row] = target[axis] - source[axis];
    }
  }
  alglib::sparseconverttocrs(a);

  alglib::linlsqrstate state;
  alglib::linlsqrcreate(rows, 7, state);
  // Tight tolerances and no iteration cap (all three 0 would mean the
  // library's defaults, which stop after 7 iterations).
  alglib::linlsqrsetcond(state, 1e-12, 1e-12, 0);
  alglib::linlsqrsolvesparse(state, a, b);
  alglib::real_1d_array solution;
  alglib::linlsqrreport report;
  alglib::linlsqrresults(state, solution, report);

  const double m = solution[3], rX = solution[4], rY = solution[5], rZ = solution[6];
  const auto [x0, y0, z0] = centroid;
  SevenParams params;
  params.dX = solution[0] - (m * x0 - rY * z0 + rZ * y0);
  params.dY = solution[1] - (m * y0 + rX * z0 - rZ * x0);
  params.dZ = solution[2] - (m * z0 - rX * y0 + rY * x0);
  params.rX = rX * kDegreesPerRadian * kArcSecondsPerDegree;
  params.rY = rY * kDegreesPerRadian * kArcSecondsPerDegree;
  params.rZ = rZ * kDegreesPerRadian * kArcSecondsPerDegree;
  params.scalePpm = m * kPpm;
  return params;
}

// LSQR works with the norms of b and of the columns; numbers whose squares
// overflow make it stop at once with a solution of zeros.
bool WithinSolverRange(const std::vector<CommonPoint>& points) {
  const Cartesian centroid = SourceCentroid(points);
  double sumOfSquares = 0;
  for (const CommonPoint& point : points) {
    for (int axis = 0; axis < 3; ++axis) {
      const double reduced = point.source[axis] - centroid[axis];
      const double difference = point.target[axis] - point.source[axis];
      sumOfSquares += reduced * reduced + difference * difference;
    }
  }
  return std::isfinite(sumOfSquares);
}

bool AllFinite(const SevenParams& p) {
  for (double value : {p.dX, p.dY, p.dZ, p.rX, p.rY, p.rZ, p.scalePpm}) {
    if (!std::isfinite(value)) return false;
  }
  return true;
}

FitReport MakeFitReport(const std::vector<CommonPoint>& points, const SevenParams& params) {
  FitReport report;
  double sumOfSquares = 0;
  for (const CommonPoint& point : points) {
    Cartesian moved = point.source;
    ApplyBursaWolf(params, moved[0], moved[1], moved[2]);
    PointResidual residual;
    residual.name = point.name;
    residual.vX = point.target[0] - moved[0];
    residual.vY = point.target[1] - moved[1];
    residual.vZ = point.target[2] - moved[2];
    residual.v3D = std::sqrt(residual.vX * residual.vX + residual.vY * residual.vY + residual.vZ * residual.vZ);
    sumOfSquares += residual.v3D * residual.v3D;
    if (report.points.empty() || residual.v3D > report.largest3D) {
      report.largest3D = residual.v3D;
      report.largestName = residual.name;
    }
    report.points.push_back(std::move(residual));
  }
  report.pointCount = points.size();
  report.rms3D = std::sqrt(sumOfSquares / static_cast<double>(points.size()));
  report.redundancy = 3 * static_cast<long>(points.size()) - 7;
  return report;
}

}  // namespace

bool ImportCommonPointFile(const std::string& path, std::vector<std::string>& list) {
  // All lines are read before the list changes, so a file that fails to
  // read leaves the list as it was.
  TextLineReader file;
  std::vector<std::string> lines;
  if (file.Open(path)) {
    std::string_view line;
    while (file.NextLine(line)) lines.emplace_back(line);
  }
  if (!file.Opened() || file.ReadFailed()) {
    ShowMessage("坐标文件无法读取。");
    return false;
  }
  for (std::string& line : lines) InsertSorted(list, std::move(line));
  return true;
}

bool ComputeSevenParameters(const std::vector<std::string>& lines, FitReport* report) {
  CoordSettings& settings = CoordSettings::instance();
  if (settings.sourceEllipsoid == settings.targetEllipsoid) {
    ShowMessage("椭球必须不同.");
    return false;
  }
  if (lines.empty()) {
    ShowMessage("没有公共点,请先导入文件。");
    return false;
  }
  std::vector<CommonPoint> points;
  if (!ReadCommonPoints(lines, points)) return false;

  if (!WithinSolverRange(points)) {
    ShowMessage(kSolveFailed);
    return false;
  }
  SevenParams params;
  try {
    params = SolveBursaWolf(points);
  } catch (const alglib::ap_error&) {
    ShowMessage(kSolveFailed);
    return false;
  }
  if (!AllFinite(params)) {
    ShowMessage(kSolveFailed);
    return false;
  }
  settings.sevenParams = params;
  if (report) *report = MakeFitReport(points, params);
  return true;
}

}  // namespace tarnwell

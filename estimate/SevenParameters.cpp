#include "estimate/SevenParameters.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <iterator>
#include <string_view>

#include "engine/BursaWolf.h"
#include "engine/ConversionPlan.h"
#include "engine/Messages.h"
#include "estimate/CommonPointFile.h"
#include "linalg.h"
#include "solvers.h"
#include "tables/ListOrder.h"
#include "tables/NumberText.h"
#include "tables/TableText.h"

namespace tarnwell {
namespace {

const char* const kSolveFailed = "七参数计算失败,请检查公共点。";
const char* const kPoorlySpread = "公共点不足或分布不当,无法计算七参数。";

constexpr double kDegreesPerRadian = 57.29577951308232;
constexpr double kArcSecondsPerDegree = 3600;
constexpr double kPpm = 1000000;

// The common points determine the rotations only when they span a plane:
// the second singular value of the centred source coordinates must reach
// this share of the first (else the points lie on one line, or on one spot).
constexpr double kLeastSpreadRatio = 1e-6;

using Cartesian = std::array<double, 3>;  // X, Y, Z in metres

struct CommonPoint {
  std::string_view name;
  Cartesian source;  // source datum, earth-centred
  Cartesian target;  // target datum, earth-centred
  bool participates = true;
};

// The geodetic points of one common-point line. The empty text when they
// read, else the message for the line.
std::string ReadCommonPointLine(std::string_view line, AngleFormat sourceFormat, AngleFormat targetFormat,
                                std::string_view& name, GeodeticPoint& source, GeodeticPoint& target) {
  std::array<std::string_view, 7> fields;
  if (!SplitExactly(line, ',', fields)) return std::string(kBadCommonPointLine);
  if (!ReadGeodeticPoint(fields[1], fields[2], fields[3], sourceFormat, source))
    return MessageText({RefusalReason::SourceFormat, {}});
  if (!ReadGeodeticPoint(fields[4], fields[5], fields[6], targetFormat, target))
    return MessageText({RefusalReason::Format, {}});
  name = fields[0];
  return {};
}

Cartesian AsArray(const CartesianPoint& point) { return {point.X, point.Y, point.Z}; }

// Every line becomes a point, or nothing does: false after the first line
// that does not read, with its message and number shown.
bool ReadCommonPoints(const CoordSettings& settings, const EllipsoidPair& ellipsoids,
                      const std::vector<CommonPointLine>& list, std::vector<CommonPoint>& points) {
  const AngleFormat sourceFormat = settings.sourceAngleFormat;
  const AngleFormat targetFormat = settings.targetAngleFormat;
  points.reserve(list.size());
  for (std::size_t index = 0; index < list.size(); ++index) {
    CommonPoint point;
    GeodeticPoint source, target;
    const std::string& line = list[index].text;
    if (const std::string refusal = ReadCommonPointLine(line, sourceFormat, targetFormat, point.name, source, target);
        !refusal.empty()) {
      ShowMessage(MessageWithLine(refusal, index + 1, line));
      return false;
    }
    point.participates = list[index].participates;
    point.source = AsArray(ellipsoids.source.ToCartesian(source));
    point.target = AsArray(ellipsoids.target.ToCartesian(target));
    points.push_back(point);
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

// True when the source points span at least a plane (see kLeastSpreadRatio).
// The squared singular values of the centred coordinates are the
// eigenvalues of their 3 × 3 scatter matrix.
bool WellSpread(const std::vector<CommonPoint>& points) {
  if (points.size() < 3) return false;
  const Cartesian centroid = SourceCentroid(points);
  alglib::real_2d_array scatter;
  scatter.setlength(3, 3);
  for (int row = 0; row < 3; ++row)
    for (int column = 0; column < 3; ++column) scatter[row][column] = 0;
  for (const CommonPoint& point : points) {
    for (int row = 0; row < 3; ++row)
      for (int column = row; column < 3; ++column)
        scatter[row][column] += (point.source[row] - centroid[row]) * (point.source[column] - centroid[column]);
  }
  alglib::real_1d_array eigenvalues;  // ascending
  alglib::real_2d_array unusedVectors;
  if (!alglib::smatrixevd(scatter, 3, 0, true, eigenvalues, unusedVectors)) return false;
  const double largest = std::sqrt(std::max(eigenvalues[2], 0.0));
  const double second = std::sqrt(std::max(eigenvalues[1], 0.0));
  return largest > 0 && second >= kLeastSpreadRatio * largest;
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

// The residuals of every point; the summary of the participating ones.
FitReport MakeFitReport(const std::vector<CommonPoint>& points, const SevenParams& params) {
  FitReport report;
  double sumOfSquares = 0;
  for (const CommonPoint& point : points) {
    const Cartesian moved = AsArray(ApplyBursaWolf(params, {point.source[0], point.source[1], point.source[2]}));
    PointResidual residual;
    residual.name = std::string(point.name);
    residual.participates = point.participates;
    residual.vX = point.target[0] - moved[0];
    residual.vY = point.target[1] - moved[1];
    residual.vZ = point.target[2] - moved[2];
    residual.v3D = std::sqrt(residual.vX * residual.vX + residual.vY * residual.vY + residual.vZ * residual.vZ);
    if (point.participates) {
      sumOfSquares += residual.v3D * residual.v3D;
      if (report.pointCount++ == 0 || residual.v3D > report.largest3D) {
        report.largest3D = residual.v3D;
        report.largestName = residual.name;
      }
    }
    report.points.push_back(std::move(residual));
  }
  if (report.pointCount > 0) report.rms3D = std::sqrt(sumOfSquares / static_cast<double>(report.pointCount));
  report.redundancy = std::max(0L, 3 * static_cast<long>(report.pointCount) - 7);
  return report;
}

std::vector<CommonPoint> Participating(const std::vector<CommonPoint>& points) {
  std::vector<CommonPoint> participating;
  std::copy_if(points.begin(), points.end(), std::back_inserter(participating),
               [](const CommonPoint& point) { return point.participates; });
  return participating;
}

}  // namespace

bool ImportCommonPointFile(const CoordSettings& settings, const std::string& path,
                           std::vector<CommonPointLine>& list) {
  const AngleFormat sourceFormat = settings.sourceAngleFormat;
  const AngleFormat targetFormat = settings.targetAngleFormat;
  std::vector<CommonPointLine> lines;
  const bool whole = ReadCommonPointFile(path, [&](std::string_view line) {
    std::string_view name;
    GeodeticPoint source, target;
    std::string refusal = ReadCommonPointLine(line, sourceFormat, targetFormat, name, source, target);
    if (refusal.empty()) lines.push_back({std::string(line)});
    return refusal;
  });
  if (!whole) return false;
  // Sorted once; the stable sort keeps equal lines in the order they came.
  const auto textLess = [](const CommonPointLine& left, const CommonPointLine& right) {
    return ListTextLess(left.text, right.text);
  };
  const auto firstNew = static_cast<std::ptrdiff_t>(list.size());
  list.insert(list.end(), std::make_move_iterator(lines.begin()), std::make_move_iterator(lines.end()));
  std::stable_sort(list.begin() + firstNew, list.end(), textLess);
  std::inplace_merge(list.begin(), list.begin() + firstNew, list.end(), textLess);
  return true;
}

std::optional<SevenParamsEstimate> ComputeSevenParameters(const CoordSettings& settings,
                                                          const std::vector<CommonPointLine>& list) {
  std::optional<EllipsoidPair> ellipsoids;
  if (Refusal refusal = EllipsoidPairOf(settings, ellipsoids)) {
    ShowMessage(MessageText(refusal));
    return std::nullopt;
  }
  if (list.empty()) {
    ShowMessage("没有公共点,请先导入文件。");
    return std::nullopt;
  }
  std::vector<CommonPoint> points;
  if (!ReadCommonPoints(settings, *ellipsoids, list, points)) return std::nullopt;
  // Every point gets a residual, so every point must be within range.
  if (!WithinSolverRange(points)) {
    ShowMessage(kSolveFailed);
    return std::nullopt;
  }
  const std::vector<CommonPoint> participating = Participating(points);
  if (!WellSpread(participating)) {
    ShowMessage(kPoorlySpread);
    return std::nullopt;
  }
  SevenParams params;
  try {
    params = SolveBursaWolf(participating);
  } catch (const alglib::ap_error&) {
    ShowMessage(kSolveFailed);
    return std::nullopt;
  }
  if (!AllFinite(params)) {
    ShowMessage(kSolveFailed);
    return std::nullopt;
  }
  return SevenParamsEstimate{params, MakeFitReport(points, params)};
}

}  // namespace tarnwell

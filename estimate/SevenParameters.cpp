#include "estimate/SevenParameters.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <iterator>
#include <string_view>

#include "engine/BursaWolf.h"
#include "engine/ConversionPlan.h"
#include "engine/Messages.h"
#include "engine/Units.h"
#include "estimate/Adjustment.h"
#include "estimate/CommonPointFile.h"
#include "tables/ListOrder.h"
#include "tables/NumberText.h"
#include "tables/TableText.h"

namespace tarnwell {
namespace {

const char* const kSolveFailed = "七参数计算失败,请检查公共点。";
const std::string kPoorlySpread = "公共点不足或分布不当,无法计算七参数。";

constexpr double kDegreesPerRadian = 57.29577951308232;
constexpr double kArcSecondsPerDegree = 3600;

using Cartesian = std::array<double, 3>;  // X, Y, Z in metres

struct CommonPoint {
  std::string_view name;
  Cartesian source;  // source datum, earth-centred
  Cartesian target;  // target datum, earth-centred
  Cartesian up;      // unit normal of the source ellipsoid at the point
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

Cartesian UpAt(const GeodeticPoint& point) {
  const double latitude = point.latitude / kDegreesPerRadian, longitude = point.longitude / kDegreesPerRadian;
  return {std::cos(latitude) * std::cos(longitude), std::cos(latitude) * std::sin(longitude), std::sin(latitude)};
}

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
    point.up = UpAt(source);
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

// Root mean square distance of the source points from their centroid, metres.
double SourceRadius(const std::vector<CommonPoint>& points, const Cartesian& centroid) {
  double sumOfSquares = 0;
  for (const CommonPoint& point : points) {
    for (int axis = 0; axis < 3; ++axis) sumOfSquares += std::pow(point.source[axis] - centroid[axis], 2);
  }
  return std::sqrt(sumOfSquares / static_cast<double>(points.size()));
}

// The unknowns of the adjustment in the order of SevenParams: the
// translations at the centroid, then the rotations and the scale as their
// effect at the radius R (ω·R, k·R, metres).
constexpr UnknownColumn kSevenColumns[] = {{"平移 dX", 0}, {"平移 dY", 0}, {"平移 dZ", 0}, {"旋转 rX", 1, true},
                                           {"旋转 rY", 1, true}, {"旋转 rZ", 1, true}, {"尺度", 1}};

std::size_t UnknownCount(DatumModel model) { return model == DatumModel::Full ? 7 : 6; }

struct BursaWolfSolution {
  SevenParams params;
  SevenParams deviations;
  Adjustment adjustment;  // rows in point order, X, Y, Z of each
};

// The linearised Bursa-Wolf equations, three per point, with the source
// coordinates reduced to their centroid and divided by the radius: with raw
// earth-centred coordinates (6.4e6 m from the origin, a few km apart) the
// rotation and scale columns are nearly collinear with the translations.
// The translations solved for are those at the centroid and are carried back
// to the origin afterwards, their deviations with them. Nothing, with `why`
// set where it can be said, when the points do not determine the unknowns.
std::optional<BursaWolfSolution> SolveBursaWolf(const std::vector<CommonPoint>& points, DatumModel model,
                                                std::string& why) {
  if (points.empty()) return std::nullopt;
  const Cartesian centroid = SourceCentroid(points);
  const double radius = SourceRadius(points, centroid);
  if (!(radius > 0)) return std::nullopt;
  const std::size_t unknowns = UnknownCount(model);
  ObservationEquations equations(unknowns);
  for (const CommonPoint& point : points) {
    const double x = (point.source[0] - centroid[0]) / radius;
    const double y = (point.source[1] - centroid[1]) / radius;
    const double z = (point.source[2] - centroid[2]) / radius;
    const double rows[3][7] = {{1, 0, 0, 0, -z, y, x}, {0, 1, 0, z, 0, -x, y}, {0, 0, 1, -y, x, 0, z}};
    for (int axis = 0; axis < 3; ++axis)
      equations.Add(std::span(rows[axis], unknowns), point.target[axis] - point.source[axis]);
  }
  std::optional<Adjustment> adjustment = Adjust(equations);
  if (!adjustment) return std::nullopt;
  why = UndeterminedReason(*adjustment, std::span(kSevenColumns, unknowns), radius);
  if (!why.empty()) return std::nullopt;

  // Every parameter as a gradient over the unknowns: the translation at the
  // origin is t − R·c, c the centroid over R.
  const double cx = centroid[0] / radius, cy = centroid[1] / radius, cz = centroid[2] / radius;
  const double toArcSeconds = kDegreesPerRadian * kArcSecondsPerDegree / radius;
  const double toPpm = kPpm / radius;
  const double gradients[7][7] = {{1, 0, 0, 0, cz, -cy, -cx},
                                  {0, 1, 0, -cz, 0, cx, -cy},
                                  {0, 0, 1, cy, -cx, 0, -cz},
                                  {0, 0, 0, toArcSeconds, 0, 0, 0},
                                  {0, 0, 0, 0, toArcSeconds, 0, 0},
                                  {0, 0, 0, 0, 0, toArcSeconds, 0},
                                  {0, 0, 0, 0, 0, 0, toPpm}};
  BursaWolfSolution solution{{}, {}, std::move(*adjustment)};
  double* const params[7] = {&solution.params.dX, &solution.params.dY, &solution.params.dZ, &solution.params.rX,
                             &solution.params.rY, &solution.params.rZ, &solution.params.scalePpm};
  double* const deviations[7] = {&solution.deviations.dX, &solution.deviations.dY, &solution.deviations.dZ,
                                 &solution.deviations.rX, &solution.deviations.rY, &solution.deviations.rZ,
                                 &solution.deviations.scalePpm};
  for (std::size_t p = 0; p < 7; ++p) {
    const std::span<const double> gradient(gradients[p], unknowns);
    *params[p] = 0;
    for (std::size_t j = 0; j < unknowns; ++j) *params[p] += gradient[j] * solution.adjustment.solution[j];
    *deviations[p] = solution.adjustment.StandardDeviation(gradient);
  }
  return solution;
}

// The decomposition works with the squares of the reduced coordinates and of
// the differences; numbers whose squares overflow cannot be solved.
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

double Dot(const Cartesian& a, const Cartesian& b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }

Cartesian Cross(const Cartesian& a, const Cartesian& b) {
  return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}

Cartesian Normalised(const Cartesian& v) {
  const double length = std::sqrt(Dot(v, v));
  return {v[0] / length, v[1] / length, v[2] / length};
}

// North and east unit vectors where the ellipsoid's normal is `up` (east is
// taken along the parallel; at a pole any direction serves).
struct Horizon {
  Cartesian north, east;
};

Horizon HorizonAt(const Cartesian& up) {
  const Cartesian polar = Cross({0, 0, 1}, up);
  const Cartesian east = Dot(polar, polar) > 1e-24 ? Normalised(polar) : Cartesian{0, 1, 0};
  return {Cross(up, east), east};
}

PointResidual ResidualOf(const CommonPoint& point, const SevenParams& params, const ResidualTolerance& tolerance) {
  const Cartesian moved = AsArray(ApplyBursaWolf(params, {point.source[0], point.source[1], point.source[2]}));
  PointResidual residual;
  residual.name = std::string(point.name);
  residual.participates = point.participates;
  residual.vX = point.target[0] - moved[0];
  residual.vY = point.target[1] - moved[1];
  residual.vZ = point.target[2] - moved[2];
  const Cartesian v = {residual.vX, residual.vY, residual.vZ};
  residual.v3D = std::sqrt(Dot(v, v));
  residual.vVertical = Dot(v, point.up);
  residual.vHorizontal = std::sqrt(std::max(Dot(v, v) - residual.vVertical * residual.vVertical, 0.0));
  const Horizon horizon = HorizonAt(point.up);
  residual.vNorth = Dot(v, horizon.north);
  residual.vEast = Dot(v, horizon.east);
  residual.flagged = residual.vHorizontal > tolerance.horizontal || std::fabs(residual.vVertical) > tolerance.vertical;
  return residual;
}

// The residuals of every point; the summary and the standardized residuals
// of the participating ones, whose rows `adjustment` holds in order.
FitReport MakeFitReport(const std::vector<CommonPoint>& points, const SevenParams& params,
                        const Adjustment& adjustment, const ResidualTolerance& tolerance) {
  FitReport report;
  double sumOfSquares = 0, largestStandardized = 0;
  Cartesian meanUp{};
  for (const CommonPoint& point : points)
    for (int axis = 0; axis < 3; ++axis) meanUp[axis] += point.up[axis];
  const Horizon plane = HorizonAt(Normalised(meanUp));
  const Cartesian centroid = SourceCentroid(points);
  for (const CommonPoint& point : points) {
    PointResidual residual = ResidualOf(point, params, tolerance);
    const Cartesian offset = {point.source[0] - centroid[0], point.source[1] - centroid[1], point.source[2] - centroid[2]};
    residual.north = Dot(offset, plane.north);
    residual.east = Dot(offset, plane.east);
    if (point.participates) {
      const std::size_t row = 3 * report.pointCount;
      for (std::size_t axis = 0; axis < 3; ++axis)
        residual.standardized = std::max(residual.standardized, std::fabs(adjustment.Standardized(row + axis)));
      if (residual.standardized > largestStandardized) {
        largestStandardized = residual.standardized;
        report.suspectName = residual.name;
      }
      sumOfSquares += residual.v3D * residual.v3D;
      if (report.pointCount++ == 0 || residual.v3D > report.largest3D) {
        report.largest3D = residual.v3D;
        report.largestName = residual.name;
      }
    }
    report.points.push_back(std::move(residual));
  }
  if (report.pointCount > 0) report.rms3D = std::sqrt(sumOfSquares / static_cast<double>(report.pointCount));
  report.redundancy = adjustment.degreesOfFreedom;
  report.sigma0 = adjustment.sigma0;
  return report;
}

// The points moved exactly back from their targets: the opposite set is
// fitted to them.
std::vector<CommonPoint> ExactInverse(const std::vector<CommonPoint>& points, const SevenParams& params) {
  std::vector<CommonPoint> inverse = points;
  for (CommonPoint& point : inverse) {
    const Cartesian& target = point.target;
    point.source = target;
    point.target = AsArray(InverseBursaWolf(params, RotationConvention::CoordinateFrame,
                                            {target[0], target[1], target[2]}));
  }
  return inverse;
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
                                                          const std::vector<CommonPointLine>& list,
                                                          DatumModel model) {
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
  std::string why;
  const std::optional<BursaWolfSolution> solution = SolveBursaWolf(participating, model, why);
  if (!solution) {
    ShowMessage(why.empty() ? kPoorlySpread : kPoorlySpread + ("\n" + why));
    return std::nullopt;
  }
  const std::optional<BursaWolfSolution> inverse =
      SolveBursaWolf(ExactInverse(participating, solution->params), model, why);
  if (!AllFinite(solution->params) || !inverse || !AllFinite(inverse->params)) {
    ShowMessage(kSolveFailed);
    return std::nullopt;
  }
  return SevenParamsEstimate{solution->params, solution->deviations, inverse->params,
                             MakeFitReport(points, solution->params, solution->adjustment, settings.tolerance)};
}

}  // namespace tarnwell

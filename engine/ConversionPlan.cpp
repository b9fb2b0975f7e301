#include "engine/ConversionPlan.h"

#include <algorithm>
#include <cmath>
#include <type_traits>

#include "engine/SettingRanges.h"
#include "tables/NumberText.h"

namespace tarnwell {
namespace {

// The levels of a side's chain: how many steps it climbs from earth-centred
// coordinates. Step 1 is the geocentric one, 2 the height (a step only for
// normal heights), 3 the projection, 4 the local grid.
int LevelOf(const CoordinateSystem& system) {
  switch (system.type) {
    case CoordinateType::Space: return 0;
    case CoordinateType::LB: return 2;
    case CoordinateType::Plan: return system.localGrid ? 4 : 3;
  }
  return 0;
}

bool SameHeights(const CoordinateSystem& source, const CoordinateSystem& target) {
  return source.height == target.height && source.geoid == target.geoid && source.anomalyFit == target.anomalyFit;
}

// The highest level up to which the two chains are the same steps.
int SharedLevel(const CoordinateSystem& source, const CoordinateSystem& target) {
  if (source.ellipsoid != target.ellipsoid) return 0;
  const int lower = std::min(LevelOf(source), LevelOf(target));
  if (lower < 2 || !SameHeights(source, target)) return 1;
  if (lower < 3 || source.projection != target.projection) return 2;
  if (lower < 4 || source.localGrid != target.localGrid) return 3;
  return 4;
}

// The height step of a side with normal heights; none for ellipsoidal ones.
Refusal MakeHeightStep(const CoordinateSystem& system, std::unique_ptr<ConversionStep>& step) {
  if (system.height == HeightSystem::Ellipsoidal) return {};
  if (system.geoid.empty() && !system.anomalyFit) return {RefusalReason::NormalHeightModel, {}};
  if (system.anomalyFit && !IsUsable(*system.anomalyFit)) return {RefusalReason::AnomalyFit, {}};
  std::shared_ptr<const GeoidModel> model;
  if (!system.geoid.empty()) {
    if (Refusal refusal = GeoidModel::Open(system.geoid, model)) return refusal;
  }
  step = std::make_unique<HeightStep>(std::move(model), system.anomalyFit);
  return {};
}

// Whether the datum set applies forward from `source` to `target`, or
// inverse; refused for another pair.
Refusal DatumDirection(const DatumTransformation& datum, const std::string& source, const std::string& target,
                       bool& inverse) {
  if (source == target) return {RefusalReason::EllipsoidsMustDiffer, {}};
  if (!DatumInRange(datum.params)) return {RefusalReason::DatumParams, {}};
  const bool stated = !datum.sourceEllipsoid.empty() || !datum.targetEllipsoid.empty();
  inverse = stated && datum.sourceEllipsoid == target && datum.targetEllipsoid == source;
  if (!stated || inverse || (datum.sourceEllipsoid == source && datum.targetEllipsoid == target)) return {};
  return {RefusalReason::DatumPair, "参数: " + datum.sourceEllipsoid + " → " + datum.targetEllipsoid};
}

// The step that climbs to `level` (1 to 4) on the side `system`; none where
// the level is no step on this side.
Refusal MakeStep(const CoordinateSystem& system, const Ellipsoid& ellipsoid, int level,
                 std::unique_ptr<ConversionStep>& step) {
  switch (level) {
    case 1:
      step = std::make_unique<GeocentricStep>(ellipsoid);
      return {};
    case 2: return MakeHeightStep(system, step);
    case 3: {
      const ProjectionParams& projection = system.projection;
      std::optional<PlaneProjection> made;
      if (ProjectionInRange(projection) &&
          PlaneHeightFits(projection.surfaceHeight.value_or(0), ellipsoid.figure().semiMajorAxis))
        made = PlaneProjection::Make(projection, ellipsoid);
      if (!made) return {RefusalReason::Projection, {}};
      step = std::make_unique<ProjectionStep>(std::move(*made));
      return {};
    }
    default:
      if (!IsUsable(system.localGrid->fourParams) || !IsUsable(system.localGrid->heightFit) ||
          !LocalGridInRange(*system.localGrid))
        return {RefusalReason::FourParams, {}};
      step = std::make_unique<LocalGridStep>(*system.localGrid, system.projection.zonePrefix);
      return {};
  }
}

}  // namespace

bool ReadPointValues(const CoordinateSystem& system, std::string_view first, std::string_view second,
                     std::string_view third, std::array<double, 3>& values) {
  std::array<double, 3> read;
  if (system.type == CoordinateType::LB) {
    GeodeticPoint point;
    if (!ReadGeodeticPoint(first, second, third, system.angleFormat, point)) return false;
    read = {point.latitude, point.longitude, point.height};
  } else if (!ReadNumber(first, read[0]) || !ReadNumber(second, read[1]) || !ReadNumber(third, read[2])) {
    return false;
  }
  values = read;
  return true;
}

std::string ConversionPlan::UnreadableDetail(std::string_view first) const {
  // A latitude that reads but lies past a pole is the one reason worth a word.
  double latitude;
  if (source_.type != CoordinateType::LB || !ReadAngle(first, source_.angleFormat, latitude) ||
      std::fabs(latitude) <= 90)
    return {};
  return LatitudeRangeDetail(latitude);
}

Refusal ConversionPlan::Make(const CoordinateSystem& source, const CoordinateSystem& target,
                             const DatumTransformation* datum, int outputDecimals, int angleDecimals,
                             std::optional<ConversionPlan>& plan) {
  bool datumInverse = false;
  if (datum) {
    if (Refusal refusal = DatumDirection(*datum, source.ellipsoid, target.ellipsoid, datumInverse)) return refusal;
  } else if (source.ellipsoid != target.ellipsoid) {
    return {RefusalReason::EllipsoidsMustMatch, {}};
  }
  ConversionPlan made;
  made.source_ = source;
  made.target_ = target;
  made.throughDatum_ = datum != nullptr;
  made.outputDecimals_ = std::clamp(outputDecimals, 0, kMaxFixedDecimals);
  made.angleDecimals_ = std::clamp(angleDecimals, 0, kMaxFixedDecimals);
  const int meeting = datum ? 0 : std::min({SharedLevel(source, target), LevelOf(source), LevelOf(target)});
  if (source.type == CoordinateType::LB && meeting == 0) made.unreadable_ = RefusalReason::SourceFormat;

  // Down the source's chain, through the datum, up the target's. An
  // ellipsoid is looked up only where a step needs it, the source's first.
  std::optional<Ellipsoid> sourceEllipsoid, targetEllipsoid;
  const auto addStep = [&](const CoordinateSystem& system, std::optional<Ellipsoid>& ellipsoid, int level,
                           bool inverse) -> Refusal {
    if (!ellipsoid) {
      if (Refusal refusal = Ellipsoid::FromCatalogue(system.ellipsoid, ellipsoid)) return refusal;
    }
    std::unique_ptr<ConversionStep> step;
    if (Refusal refusal = MakeStep(system, *ellipsoid, level, step)) return refusal;
    if (step) made.stages_.push_back({std::move(step), inverse});
    return {};
  };
  for (int level = LevelOf(source); level > meeting; --level) {
    if (Refusal refusal = addStep(source, sourceEllipsoid, level, true)) return refusal;
  }
  if (datum) {
    made.stages_.push_back(
        {std::make_unique<DatumShiftStep>(datum->params, datum->convention), datumInverse});
  }
  for (int level = meeting + 1; level <= LevelOf(target); ++level) {
    if (Refusal refusal = addStep(target, targetEllipsoid, level, false)) return refusal;
  }
  plan = std::move(made);
  return {};
}

Refusal ConversionPlan::FromSettings(const CoordSettings& settings, std::optional<ConversionPlan>& plan) {
  return Make(SourceSystem(settings), TargetSystem(settings), DatumInForce(settings), settings.outputDecimals,
              settings.angleDecimals, plan);
}

ConversionPlan::ConversionPlan(const ConversionPlan& other)
    : source_(other.source_),
      target_(other.target_),
      throughDatum_(other.throughDatum_),
      unreadable_(other.unreadable_),
      outputDecimals_(other.outputDecimals_),
      angleDecimals_(other.angleDecimals_) {
  for (const Stage& stage : other.stages_) stages_.push_back({stage.step->Clone(), stage.inverse});
}

ConversionPlan& ConversionPlan::operator=(const ConversionPlan& other) {
  if (this != &other) *this = ConversionPlan(other);
  return *this;
}

Refusal ConversionPlan::Convert(std::string_view first, std::string_view second, std::string_view third,
                                TargetPoint& target) const {
  StepPoint point;
  if (!ReadPointValues(source_, first, second, third, point)) return {unreadable_, UnreadableDetail(first)};
  if (Refusal refusal = ConvertValues(point)) return refusal;
  switch (target_.type) {
    case CoordinateType::Space: target = CartesianPoint{point[0], point[1], point[2]}; break;
    case CoordinateType::LB: target = GeodeticPoint{point[0], point[1], point[2]}; break;
    case CoordinateType::Plan: target = PlanePoint{point[0], point[1], point[2]}; break;
  }
  return {};
}

Refusal ConversionPlan::ConvertValues(StepPoint& point) const {
  StepPoint converted = point;
  for (const Stage& stage : stages_) {
    if (Refusal refusal = stage.inverse ? stage.step->Inverse(converted) : stage.step->Forward(converted))
      return refusal;
  }
  point = converted;
  return {};
}

void ConversionPlan::AppendValueText(const TargetPoint& point, int index, std::string& text) const {
  struct Values {
    double value[3];
    bool angles;  // the first two are latitude and longitude
  };
  const Values values = std::visit(
      [](const auto& p) {
        using Point = std::decay_t<decltype(p)>;
        if constexpr (std::is_same_v<Point, GeodeticPoint>) return Values{{p.latitude, p.longitude, p.height}, true};
        else if constexpr (std::is_same_v<Point, CartesianPoint>) return Values{{p.X, p.Y, p.Z}, false};
        else return Values{{p.north, p.east, p.height}, false};
      },
      point);
  if (values.angles && index < 2) {
    AppendAngle(values.value[index], target_.angleFormat, text, angleDecimals_);
  } else {
    AppendFixedDecimal(values.value[index], outputDecimals_, text);
  }
}

void ConversionPlan::AppendTexts(const TargetPoint& point, char separator, std::string& text) const {
  for (int index = 0; index < 3; ++index) {
    if (index > 0) text += separator;
    AppendValueText(point, index, text);
  }
}

std::array<std::string, 3> ConversionPlan::Texts(const TargetPoint& point) const {
  std::array<std::string, 3> texts;
  for (int index = 0; index < 3; ++index) AppendValueText(point, index, texts[index]);
  return texts;
}

Refusal EllipsoidPairOf(const CoordSettings& settings, std::optional<EllipsoidPair>& pair) {
  if (settings.sourceEllipsoid == settings.targetEllipsoid) return {RefusalReason::EllipsoidsMustDiffer, {}};
  std::optional<Ellipsoid> source, target;
  if (Refusal refusal = Ellipsoid::FromCatalogue(settings.sourceEllipsoid, source)) return refusal;
  if (Refusal refusal = Ellipsoid::FromCatalogue(settings.targetEllipsoid, target)) return refusal;
  pair = EllipsoidPair{*source, *target};
  return {};
}

}  // namespace tarnwell

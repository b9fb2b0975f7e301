#include "engine/ConversionPlan.h"

#include <algorithm>
#include <type_traits>

#include "engine/BursaWolf.h"
#include "engine/Messages.h"
#include "tables/NumberText.h"

namespace tarnwell {
namespace {

Route ChooseRoute(const CoordSettings& settings) {
  if (settings.useSevenParams) return Route::SevenParams;
  const bool targetLB = settings.targetType == "LB";
  if (settings.sourceType == "LB") {
    if (targetLB) return Route::SameLB;
    return settings.targetType == "Space" ? Route::LBToSpace : Route::LBToPlan;
  }
  if (settings.sourceType == "Space") return targetLB ? Route::SpaceToLB : Route::NoConversion;
  if (targetLB) return Route::PlanToLB;
  // Plane to plane is the four-parameter transformation alone.
  return settings.useFourParams && settings.targetType == "Plan" ? Route::PlanToPlan : Route::NoConversion;
}

bool EllipsoidChoiceAllowed(const CoordSettings& settings) {
  const bool same = settings.sourceEllipsoid == settings.targetEllipsoid;
  if (settings.useSevenParams && same) {
    ShowMessage("椭球必须不同.");
    return false;
  }
  if (!settings.useSevenParams && !same) {
    ShowMessage("椭球必须相同.");
    return false;
  }
  return true;
}

bool NeedsProjection(Route route) { return route == Route::LBToPlan || route == Route::PlanToLB; }

bool HasPlaneSide(Route route) { return NeedsProjection(route) || route == Route::PlanToPlan; }

// The projection on the source ellipsoid; nullopt (reported) when it is
// not supported, its parameters are not numbers or PROJ refuses it.
std::optional<PlaneProjection> MakeProjection(const ProjectionParams& projection, const Ellipsoid& ellipsoid) {
  std::optional<PlaneProjection> made = PlaneProjection::Make(projection, ellipsoid);
  if (!made) ShowMessage("投影参数错误,请检查.");
  return made;
}

}  // namespace

bool ReadSourceValues(bool geodetic, AngleFormat angleFormat, std::string_view first, std::string_view second,
                      std::string_view third, std::array<double, 3>& values) {
  std::array<double, 3> read;
  if (geodetic) {
    GeodeticPoint point;
    if (!ReadGeodeticPoint(first, second, third, angleFormat, point)) return false;
    read = {point.latitude, point.longitude, point.height};
  } else if (!ReadNumber(first, read[0]) || !ReadNumber(second, read[1]) || !ReadNumber(third, read[2])) {
    return false;
  }
  values = read;
  return true;
}

std::optional<ConversionPlan> ConversionPlan::FromSettings(const CoordSettings& settings) {
  if (!EllipsoidChoiceAllowed(settings)) return std::nullopt;
  ConversionPlan plan;
  plan.route_ = ChooseRoute(settings);
  plan.sourceAngleFormat_ = AngleFormatFromKeyword(settings.sourceAngleFormat);
  plan.targetAngleFormat_ = AngleFormatFromKeyword(settings.targetAngleFormat);
  plan.outputDecimals_ = std::clamp(settings.outputDecimals, 0, kMaxFixedDecimals);
  plan.sevenParams_ = settings.sevenParams;
  plan.useFourParams_ = settings.useFourParams && HasPlaneSide(plan.route_);
  plan.fourParams_ = settings.fourParams;
  plan.heightFit_ = settings.heightFit;
  if (plan.useFourParams_ && !(IsUsable(plan.fourParams_) && IsUsable(plan.heightFit_))) {
    ShowMessage("四参数错误,请检查.");
    return std::nullopt;
  }
  if (plan.route_ == Route::SameLB || plan.route_ == Route::NoConversion || plan.route_ == Route::PlanToPlan)
    return plan;

  if (plan.route_ == Route::SevenParams) {
    plan.targetEllipsoid_ = Ellipsoid::FromCatalogue(settings.targetEllipsoid);
    if (!plan.targetEllipsoid_) return std::nullopt;
  }
  plan.sourceEllipsoid_ = Ellipsoid::FromCatalogue(settings.sourceEllipsoid);
  if (!plan.sourceEllipsoid_) return std::nullopt;
  if (NeedsProjection(plan.route_)) {
    plan.projection_ = MakeProjection(settings.projection, *plan.sourceEllipsoid_);
    if (!plan.projection_) return std::nullopt;
  }
  return plan;
}

std::optional<ConversionPlan> ConversionPlan::ForDatumPair(const CoordSettings& settings) {
  CoordSettings datumPair = settings;
  datumPair.useSevenParams = true;
  return FromSettings(datumPair);
}

const Ellipsoid& ConversionPlan::ellipsoid(ConversionSide side) const {
  return side == ConversionSide::Source ? *sourceEllipsoid_ : *targetEllipsoid_;
}

AngleFormat ConversionPlan::angleFormat(ConversionSide side) const {
  return side == ConversionSide::Source ? sourceAngleFormat_ : targetAngleFormat_;
}

void ConversionPlan::ToLocalGrid(PlanePoint& point) const {
  if (!useFourParams_) return;
  point.height = heightFit_.Apply(point.north, point.east, point.height);
  fourParams_.Apply(point.north, point.east);
}

void ConversionPlan::FromLocalGrid(PlanePoint& point) const {
  if (!useFourParams_) return;
  fourParams_.Inverse(point.north, point.east);
  point.height = heightFit_.Inverse(point.north, point.east, point.height);
}

Refusal ConversionPlan::Convert(std::string_view first, std::string_view second, std::string_view third,
                                TargetPoint& target) const {
  if (route_ == Route::SameLB || route_ == Route::NoConversion)
    return kFormatWrong;  // no conversion: callers handle these routes themselves
  const bool geodeticSource = route_ == Route::LBToSpace || route_ == Route::LBToPlan || route_ == Route::SevenParams;
  std::array<double, 3> read;
  if (!ReadSourceValues(geodeticSource, sourceAngleFormat_, first, second, third, read))
    return route_ == Route::LBToSpace || route_ == Route::SevenParams ? kSourceFormatWrong : kFormatWrong;
  const GeodeticPoint geodetic{read[0], read[1], read[2]};
  PlanePoint plane{read[0], read[1], read[2]};
  switch (route_) {
    case Route::LBToSpace:
      target = sourceEllipsoid_->ToCartesian(geodetic);
      return {};
    case Route::SevenParams:
      target = targetEllipsoid_->ToGeodetic(ApplyBursaWolf(sevenParams_, sourceEllipsoid_->ToCartesian(geodetic)));
      return {};
    case Route::LBToPlan:
      if (Refusal refusal = projection_->Forward(geodetic, plane); !refusal.empty()) return refusal;
      ToLocalGrid(plane);
      target = plane;
      return {};
    case Route::SpaceToLB:
      target = sourceEllipsoid_->ToGeodetic(CartesianPoint{read[0], read[1], read[2]});
      return {};
    case Route::PlanToLB: {
      GeodeticPoint converted;
      FromLocalGrid(plane);
      if (Refusal refusal = projection_->Inverse(plane, converted); !refusal.empty()) return refusal;
      target = converted;
      return {};
    }
    case Route::PlanToPlan:
      ToLocalGrid(plane);
      target = plane;
      return {};
    case Route::SameLB:
    case Route::NoConversion: break;
  }
  return kFormatWrong;
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
    AppendAngle(values.value[index], targetAngleFormat_, text, outputDecimals_);
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

}  // namespace tarnwell

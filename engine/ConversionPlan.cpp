#include "engine/ConversionPlan.h"

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

std::optional<ConversionPlan> ConversionPlan::FromSettings(const CoordSettings& settings) {
  if (!EllipsoidChoiceAllowed(settings)) return std::nullopt;
  ConversionPlan plan;
  plan.route_ = ChooseRoute(settings);
  plan.sourceAngleFormat_ = AngleFormatFromKeyword(settings.sourceAngleFormat);
  plan.targetAngleFormat_ = AngleFormatFromKeyword(settings.targetAngleFormat);
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

bool ConversionPlan::ReadPlane(std::string_view north, std::string_view east, std::string_view height,
                               PlanePoint& point) const {
  PlanePoint read;
  if (!ReadNumber(north, read.north) || !ReadNumber(east, read.east) || !ReadNumber(height, read.height))
    return false;
  point = read;
  return true;
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
  switch (route_) {
    case Route::LBToSpace:
    case Route::LBToPlan:
    case Route::SevenParams: {
      GeodeticPoint geodetic;
      if (!ReadGeodeticPoint(first, second, third, sourceAngleFormat_, geodetic))
        return route_ == Route::LBToPlan ? kFormatWrong : kSourceFormatWrong;
      if (route_ == Route::LBToSpace) {
        target = sourceEllipsoid_->ToCartesian(geodetic);
      } else if (route_ == Route::SevenParams) {
        target = targetEllipsoid_->ToGeodetic(ApplyBursaWolf(sevenParams_, sourceEllipsoid_->ToCartesian(geodetic)));
      } else {
        PlanePoint plane;
        if (Refusal refusal = projection_->Forward(geodetic, plane); !refusal.empty()) return refusal;
        ToLocalGrid(plane);
        target = plane;
      }
      return {};
    }
    case Route::SpaceToLB: {
      CartesianPoint cartesian;
      if (!ReadNumber(first, cartesian.X) || !ReadNumber(second, cartesian.Y) || !ReadNumber(third, cartesian.Z))
        return kFormatWrong;
      target = sourceEllipsoid_->ToGeodetic(cartesian);
      return {};
    }
    case Route::PlanToLB: {
      PlanePoint plane;
      GeodeticPoint geodetic;
      if (!ReadPlane(first, second, third, plane)) return kFormatWrong;
      FromLocalGrid(plane);
      if (Refusal refusal = projection_->Inverse(plane, geodetic); !refusal.empty()) return refusal;
      target = geodetic;
      return {};
    }
    case Route::PlanToPlan: {
      PlanePoint plane;
      if (!ReadPlane(first, second, third, plane)) return kFormatWrong;
      ToLocalGrid(plane);
      target = plane;
      return {};
    }
    case Route::SameLB:
    case Route::NoConversion: break;
  }
  return kFormatWrong;  // no conversion: callers handle these routes themselves
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
    AppendAngle(values.value[index], targetAngleFormat_, text);
  } else {
    AppendNumber(values.value[index], text);
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

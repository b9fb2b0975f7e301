#include "engine/ConversionPlan.h"

#include <cmath>
#include <type_traits>

#include "engine/BursaWolf.h"
#include "engine/Messages.h"
#include "tables/NumberText.h"

namespace tarnwell {
namespace {


constexpr Refusal kConversionFailed = "坐标转换失败,请检查.";

// A plane point whose inverse lands farther than this from the central
// meridian (or nearer a pole) is projected forward again to confirm it: far
// out, the inverse of a projection may return a point that is not the one
// given. Within this band PROJ's inverses are exact. Beyond 90° from the
// central meridian lies the far side of the earth, where a transverse
// Mercator plane point wraps over the pole: no survey is there.
constexpr double kTrustedLongitudeBand = 4;    // degrees either side of the central meridian
constexpr double kTrustedLatitudeLimit = 85;   // degrees
constexpr double kRoundTripTolerance = 0.001;  // metres
constexpr double kFarSide = 90;                // degrees from the central meridian

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

// The projection on the source ellipsoid; nullopt (reported) when its
// parameters are not numbers or PROJ refuses the definition.
std::optional<MapProjection> MakeProjection(const ProjectionParams& projection, const Ellipsoid& ellipsoid) {
  std::string definition;
  std::optional<MapProjection> made;
  if (AppendProjDefinition(definition, projection)) {
    AppendProjEllipsoid(definition, ellipsoid.record(), ellipsoid.figure());
    made = MapProjection::FromDefinition(definition);
  }
  if (!made) ShowMessage("投影参数错误,请检查.");
  return made;
}

// The difference of two longitudes, folded into [0°, 180°].
double LongitudeGap(double longitude, double meridian) {
  return std::fabs(std::remainder(longitude - meridian, 360.0));
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
    double meridian;
    if (ReadNumber(settings.projection.centralMeridian, meridian)) plan.centralMeridian_ = meridian;
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

Refusal ConversionPlan::PlanToGeodetic(const PlanePoint& plane, GeodeticPoint& geodetic) const {
  GeodeticPoint inverse;
  if (!projection_->Inverse(plane, inverse)) return kConversionFailed;
  if (centralMeridian_ && LongitudeGap(inverse.longitude, *centralMeridian_) > kFarSide) return kConversionFailed;
  if (!InverseTrusted(inverse)) {
    PlanePoint again;
    if (!projection_->Forward(inverse, again) ||
        std::hypot(again.north - plane.north, again.east - plane.east) > kRoundTripTolerance)
      return kConversionFailed;
  }
  geodetic = inverse;
  return {};
}

bool ConversionPlan::InverseTrusted(const GeodeticPoint& inverse) const {
  if (!centralMeridian_) return false;
  const double gap = LongitudeGap(inverse.longitude, *centralMeridian_);
  return gap <= kTrustedLongitudeBand && std::fabs(inverse.latitude) <= kTrustedLatitudeLimit;
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
        if (!projection_->Forward(geodetic, plane)) return kConversionFailed;
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
      if (Refusal refusal = PlanToGeodetic(plane, geodetic); !refusal.empty()) return refusal;
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

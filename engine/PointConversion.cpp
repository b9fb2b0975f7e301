#include "engine/PointConversion.h"

#include "engine/AngleText.h"
#include "engine/BursaWolf.h"
#include "engine/CoordSettings.h"
#include "engine/Messages.h"
#include "engine/ProjBridge.h"
#include "tables/EllipsoidCatalogue.h"
#include "tables/TableText.h"

namespace tarnwell {
namespace {

// The source-side reading of B and L says so without a final full stop; the
// other conversions with one.
const char* const sourceFormatWrong = "坐标格式错误,请检查";
const char* const formatWrong = "坐标格式错误,请检查.";

void TrimBlanks(std::string& first, std::string& second, std::string& third) {
  for (std::string* text : {&first, &second, &third}) {
    TrimLeft(*text, ' ');
    TrimRight(*text, ' ');
  }
}

const std::string& EllipsoidName(ConversionSide side) {
  const CoordSettings& settings = CoordSettings::instance();
  return side == ConversionSide::Source ? settings.sourceEllipsoid : settings.targetEllipsoid;
}

// The side's ellipsoid from the catalogue; a name the catalogue does not hold
// is refused before any arithmetic, so no meaningless numbers are written.
const EllipsoidRecord* SideEllipsoid(ConversionSide side) {
  const EllipsoidRecord* ellipsoid = FindEllipsoidEntry(EllipsoidName(side));
  if (!ellipsoid) ShowMessage("椭球不存在,请检查.");
  return ellipsoid;
}

// Reads B and L in `format` as decimal degrees; on a malformed text shows
// `message` and returns false.
bool ReadLatitudeLongitude(const std::string& format, const char* message, std::string& latitude,
                           std::string& longitude) {
  if (AngleTextToDegrees(format, latitude) && AngleTextToDegrees(format, longitude)) return true;
  ShowMessage(message);
  return false;
}

void WriteLatitudeLongitude(std::string& latitude, std::string& longitude) {
  const std::string& format = CoordSettings::instance().targetAngleFormat;
  DegreesToAngleText(format, latitude);
  DegreesToAngleText(format, longitude);
}

// The ellipsoid part of a PROJ definition: PROJ's own name where it knows
// one, otherwise the catalogue's semi-major axis and inverse flattening.
void AppendEllipsoid(std::string& definition, const EllipsoidRecord& ellipsoid) {
  if (IsProjEllipsoidName(ellipsoid.name)) {
    definition += " +ellps=";
    definition += ellipsoid.name;
  } else {
    definition += " +a=";
    definition += ellipsoid.semiMajorAxis;
    definition += " +rf=";
    definition += ellipsoid.inverseFlattening;
  }
}

// The geodetic and the projected definition on the source ellipsoid. Each
// thread keeps the last pair with what it was built from, and builds anew
// only when the projection or the ellipsoid has changed since: a file
// conversion then builds them once, yet every point follows the settings.
struct PlanDefinitions {
  bool built = false;
  ProjectionParams projection;
  EllipsoidRecord ellipsoid;
  std::string geodetic;
  std::string projected;
};

const PlanDefinitions& BuildPlanDefinitions(const EllipsoidRecord& ellipsoid) {
  thread_local PlanDefinitions definitions;
  const ProjectionParams& projection = CoordSettings::instance().projection;
  if (definitions.built && definitions.projection == projection && definitions.ellipsoid == ellipsoid)
    return definitions;
  definitions.geodetic.assign("+proj=latlong");
  AppendEllipsoid(definitions.geodetic, ellipsoid);
  definitions.projected.clear();
  AppendProjDefinition(definitions.projected, projection);
  AppendEllipsoid(definitions.projected, ellipsoid);
  definitions.projection = projection;
  definitions.ellipsoid = ellipsoid;
  definitions.built = true;
  return definitions;
}

// What the pair of coordinate types (or the seven-parameter switch) calls for.
enum class Route { SevenParams, LBToSpace, LBToPlan, SpaceToLB, PlanToLB, SameLB, NoConversion };

Route ChooseRoute(const CoordSettings& settings) {
  if (settings.useSevenParams) return Route::SevenParams;
  const bool targetLB = settings.targetType == "LB";
  if (settings.sourceType == "LB") {
    if (targetLB) return Route::SameLB;
    return settings.targetType == "Space" ? Route::LBToSpace : Route::LBToPlan;
  }
  if (settings.sourceType == "Space") return targetLB ? Route::SpaceToLB : Route::NoConversion;
  return targetLB ? Route::PlanToLB : Route::NoConversion;
}

// With the switch on the ellipsoids must differ, without it they must be the
// same; false (reported) otherwise.
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

bool RunConversion(Route route, std::string& first, std::string& second, std::string& third) {
  switch (route) {
    case Route::SevenParams: return ConvertWithSevenParams(first, second, third);
    case Route::LBToSpace: return ConvertLBToSpace(ConversionSide::Source, first, second, third);
    case Route::LBToPlan: return ConvertLBToPlan(first, second, third);
    case Route::SpaceToLB: return ConvertSpaceToLB(ConversionSide::Source, first, second, third);
    case Route::PlanToLB: return ConvertPlanToLB(first, second, third);
    case Route::SameLB:
    case Route::NoConversion: break;
  }
  return false;
}

}  // namespace

bool ConvertLBToSpace(ConversionSide side, std::string& first, std::string& second, std::string& third) {
  TrimBlanks(first, second, third);
  const EllipsoidRecord* ellipsoid = SideEllipsoid(side);
  if (!ellipsoid) return false;
  const CoordSettings& settings = CoordSettings::instance();
  const bool source = side == ConversionSide::Source;
  if (!ReadLatitudeLongitude(source ? settings.sourceAngleFormat : settings.targetAngleFormat,
                             source ? sourceFormatWrong : formatWrong, first, second))
    return false;
  return GeodeticToSpace(ellipsoid->semiMajorAxis, ellipsoid->inverseFlattening, first, second, third);
}

bool ConvertLBToPlan(std::string& first, std::string& second, std::string& third) {
  TrimBlanks(first, second, third);
  const EllipsoidRecord* ellipsoid = SideEllipsoid(ConversionSide::Source);
  if (!ellipsoid) return false;
  if (!ReadLatitudeLongitude(CoordSettings::instance().sourceAngleFormat, formatWrong, first, second))
    return false;
  const PlanDefinitions& definitions = BuildPlanDefinitions(*ellipsoid);
  return GeodeticToPlan(definitions.geodetic, definitions.projected, first, second, third);
}

bool ConvertSpaceToLB(ConversionSide side, std::string& first, std::string& second, std::string& third) {
  TrimBlanks(first, second, third);
  const EllipsoidRecord* ellipsoid = SideEllipsoid(side);
  if (!ellipsoid) return false;
  if (!SpaceToGeodetic(ellipsoid->semiMajorAxis, ellipsoid->inverseFlattening, first, second, third))
    return false;
  WriteLatitudeLongitude(first, second);
  return true;
}

bool ConvertPlanToLB(std::string& first, std::string& second, std::string& third) {
  TrimBlanks(first, second, third);
  const EllipsoidRecord* ellipsoid = SideEllipsoid(ConversionSide::Source);
  if (!ellipsoid) return false;
  const PlanDefinitions& definitions = BuildPlanDefinitions(*ellipsoid);
  if (!PlanToGeodetic(definitions.projected, definitions.geodetic, first, second, third)) return false;
  WriteLatitudeLongitude(first, second);
  return true;
}

bool ConvertWithSevenParams(std::string& first, std::string& second, std::string& third) {
  if (!SideEllipsoid(ConversionSide::Target)) return false;
  if (!ConvertLBToSpace(ConversionSide::Source, first, second, third)) return false;
  ApplyBursaWolf(CoordSettings::instance().sevenParams, first, second, third);
  return ConvertSpaceToLB(ConversionSide::Target, first, second, third);
}

bool ConvertRecord(std::string& first, std::string& second, std::string& third) {
  const CoordSettings& settings = CoordSettings::instance();
  if (!EllipsoidChoiceAllowed(settings)) return false;
  const Route route = ChooseRoute(settings);
  if (route == Route::SameLB) ShowMessage("选择正确的目的坐标类型.");
  return RunConversion(route, first, second, third);
}

void ConvertPoint(TextBox& source1, TextBox& target1, TextBox& source2, TextBox& target2,
                  TextBox& source3, TextBox& target3) {
  std::string first = source1.GetText(), second = source2.GetText(), third = source3.GetText();
  const CoordSettings& settings = CoordSettings::instance();
  if (!EllipsoidChoiceAllowed(settings)) return;
  const Route route = ChooseRoute(settings);
  // A pair without a conversion shows the input as typed.
  const bool converted = route == Route::SameLB || route == Route::NoConversion ||
                         RunConversion(route, first, second, third);
  if (!converted) return;
  target1.SetText(first);
  target2.SetText(second);
  target3.SetText(third);
}

}  // namespace tarnwell

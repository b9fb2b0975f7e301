#include "engine/ProjBridge.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <initializer_list>
#include <string_view>
#include <vector>

#include "engine/Messages.h"
#include "engine/NumberText.h"
#include "engine/ProjObjectCache.h"

namespace tarnwell {
namespace {

constexpr double radiansPerDegree = 0.017453292519943295;
constexpr double degreesPerRadian = 57.29577951308232;

const char* const definitionRefused = "投影参数错误,请检查.";
const char* const noFiniteResult = "坐标转换失败,请检查.";

// Appends a double in the shortest text that reads back to the same bits.
void AppendExact(std::string& text, double value) {
  char digits[32];
  text.append(digits, std::to_chars(digits, digits + sizeof digits, value).ptr);
}

// The geocentric conversion of an ellipsoid given by a (metres) and the
// squared eccentricity es = 1 − (1 − 1/rf)²; nullptr (reported) when PROJ
// refuses the ellipsoid.
PJ* GeocentricObject(const std::string& semiMajorAxis, const std::string& inverseFlattening) {
  const double a = ParseNumber(semiMajorAxis);
  const double flatteningComplement = 1 - 1 / ParseNumber(inverseFlattening);
  const double es = 1 - flatteningComplement * flatteningComplement;
  thread_local std::string definition;
  definition.assign("+proj=cart +a=");
  AppendExact(definition, a);
  definition.append(" +es=");
  AppendExact(definition, es);
  PJ* object = ProjObjectCache::ForThisThread().Find(definition);
  if (!object) ShowMessage(definitionRefused);
  return object;
}

// Both objects of a projected conversion, source first; a refused source
// definition is reported without trying the other.
bool FindPair(const std::string& sourceDefinition, const std::string& destinationDefinition,
              PJ*& source, PJ*& destination) {
  ProjObjectCache& cache = ProjObjectCache::ForThisThread();
  source = cache.Find(sourceDefinition);
  destination = source ? cache.Find(destinationDefinition) : nullptr;
  if (destination) return true;
  ShowMessage(definitionRefused);
  return false;
}

// One PROJ call; false (reported) when PROJ gives no finite result.
bool Transform(PJ* object, PJ_DIRECTION direction, double x, double y, double z, PJ_COORD& result) {
  result = proj_trans(object, direction, proj_coord(x, y, z, 0));
  if (std::isfinite(result.xyz.x) && std::isfinite(result.xyz.y) && std::isfinite(result.xyz.z))
    return true;
  ShowMessage(noFiniteResult);
  return false;
}

void WriteThree(double first, double second, double third,
                std::string& firstText, std::string& secondText, std::string& thirdText) {
  FormatNumberInto(first, firstText);
  FormatNumberInto(second, secondText);
  FormatNumberInto(third, thirdText);
}

}  // namespace

void AppendProjDefinition(std::string& definition, const ProjectionParams& p) {
  const auto append = [&definition](std::initializer_list<std::string_view> pieces) {
    for (std::string_view piece : pieces) definition += piece;
  };
  switch (p.listIndex) {
    case 70:
      append({"+proj=", p.projKey, " +lat_ts=", p.originLatitude, " +lon_0=", p.centralMeridian,
              " +x_0=", p.falseEasting, " +y_0=", p.falseNorthing, " +units=m"});
      break;
    case 112:
      append({"+proj=", p.projKey, " +lat_0=", p.originLatitude, " +lon_0=", p.centralMeridian,
              " +x_0=", p.falseEasting, " +y_0=", p.falseNorthing, " +k=", p.scaleFactor, " +units=m"});
      break;
    default:
      append({"+proj=tmerc +lat_0=0 +lon_0=120 +k=1.000000 +x_0=500000 +y_0=0 +units=m"});
  }
}

std::string BuildProjDefinition(const ProjectionParams& projection) {
  std::string definition;
  AppendProjDefinition(definition, projection);
  return definition;
}

bool SpaceToGeodetic(const std::string& semiMajorAxis, const std::string& inverseFlattening,
                     std::string& first, std::string& second, std::string& third) {
  const double X = ParseNumber(first), Y = ParseNumber(second), Z = ParseNumber(third);
  PJ* geocentric = GeocentricObject(semiMajorAxis, inverseFlattening);
  if (!geocentric) return false;
  PJ_COORD geodetic;
  if (!Transform(geocentric, PJ_INV, X, Y, Z, geodetic)) return false;
  WriteThree(geodetic.lpz.phi * degreesPerRadian, geodetic.lpz.lam * degreesPerRadian, geodetic.lpz.z,
             first, second, third);
  return true;
}

bool GeodeticToSpace(const std::string& semiMajorAxis, const std::string& inverseFlattening,
                     std::string& first, std::string& second, std::string& third) {
  const double latitude = ParseNumber(first), longitude = ParseNumber(second), height = ParseNumber(third);
  PJ* geocentric = GeocentricObject(semiMajorAxis, inverseFlattening);
  if (!geocentric) return false;
  PJ_COORD cartesian;
  if (!Transform(geocentric, PJ_FWD, longitude * radiansPerDegree, latitude * radiansPerDegree, height,
                 cartesian))
    return false;
  WriteThree(cartesian.xyz.x, cartesian.xyz.y, cartesian.xyz.z, first, second, third);
  return true;
}

// The geodetic definition has no arithmetic of its own (it is the identity in
// radians); it is made so that a definition PROJ refuses is refused here.
bool GeodeticToPlan(const std::string& geodeticDefinition, const std::string& projectedDefinition,
                    std::string& first, std::string& second, std::string& third) {
  const double latitude = ParseNumber(first), longitude = ParseNumber(second), height = ParseNumber(third);
  PJ *geodetic, *projected;
  if (!FindPair(geodeticDefinition, projectedDefinition, geodetic, projected)) return false;
  PJ_COORD plane;
  if (!Transform(projected, PJ_FWD, longitude * radiansPerDegree, latitude * radiansPerDegree, height, plane))
    return false;
  WriteThree(plane.xyz.y, plane.xyz.x, plane.xyz.z, first, second, third);  // north, east, height
  return true;
}

bool PlanToGeodetic(const std::string& projectedDefinition, const std::string& geodeticDefinition,
                    std::string& first, std::string& second, std::string& third) {
  const double north = ParseNumber(first), east = ParseNumber(second), height = ParseNumber(third);
  PJ *projected, *geodetic;
  if (!FindPair(projectedDefinition, geodeticDefinition, projected, geodetic)) return false;
  PJ_COORD angles;
  if (!Transform(projected, PJ_INV, east, north, height, angles)) return false;
  WriteThree(angles.lpz.phi * degreesPerRadian, angles.lpz.lam * degreesPerRadian, angles.lpz.z,
             first, second, third);
  return true;
}

bool IsProjEllipsoidName(std::string_view name) {
  static const std::vector<std::string_view> knownNames = [] {
    std::vector<std::string_view> names;
    for (const PJ_ELLPS* ellipsoid = proj_list_ellps(); ellipsoid->id; ++ellipsoid)
      names.emplace_back(ellipsoid->id);
    std::sort(names.begin(), names.end());
    return names;
  }();
  return std::binary_search(knownNames.begin(), knownNames.end(), name);
}

}  // namespace tarnwell

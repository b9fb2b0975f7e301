#include "tables/ProjectionZones.h"

#include <cmath>

namespace tarnwell {
namespace {

constexpr double kZoneFalseEasting = 500000;      // metres
constexpr double kUtmScaleFactor = 0.9996;
constexpr double kUtmSouthFalseNorthing = 10000000;  // metres

// Degrees reduced to [0°, 360°): the remainder is exact, but a turn added to
// a tiny negative one may round up to 360.
double IntoTurn(double degrees) {
  double reduced = std::fmod(degrees, 360);
  if (reduced < 0) reduced += 360;
  return reduced < 360 ? reduced : 0;
}

}  // namespace

int ZoneCount(ZoneSystem system) { return system == ZoneSystem::GaussKruger3 ? 120 : 60; }

int ZoneOfLongitude(ZoneSystem system, double longitude) {
  switch (system) {
    case ZoneSystem::GaussKruger6:
      return static_cast<int>(std::floor(IntoTurn(longitude) / 6)) + 1;
    case ZoneSystem::GaussKruger3: {
      const int zone = static_cast<int>(std::floor((IntoTurn(longitude) - 1.5) / 3)) + 1;
      return zone == 0 ? 120 : zone;  // [0°, 1.5°) lies in the zone about 360°
    }
    case ZoneSystem::Utm:
      return static_cast<int>(std::floor(IntoTurn(longitude + 180) / 6)) + 1;
  }
  return 0;
}

double CentralMeridianOfZone(ZoneSystem system, int zone) {
  switch (system) {
    case ZoneSystem::GaussKruger6: return 6.0 * zone - 3;
    case ZoneSystem::GaussKruger3: return 3.0 * zone;
    case ZoneSystem::Utm: return 6.0 * zone - 183;
  }
  return 0;
}

void SetZoneParameters(ProjectionParams& projection, ZoneSystem system, int zone) {
  const bool utm = system == ZoneSystem::Utm;
  projection.centralMeridian = CentralMeridianOfZone(system, zone);
  projection.scaleFactor = utm ? kUtmScaleFactor : 1;
  projection.falseEasting = kZoneFalseEasting;
  projection.falseNorthing = utm && projection.south ? kUtmSouthFalseNorthing : 0;
  projection.originLatitude = 0;  // the equator
}

}  // namespace tarnwell

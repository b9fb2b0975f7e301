// A coordinate system: what one side of a conversion is. The ellipsoid, the
// coordinate type and the angle format; the height system of an "LB" or
// "Plan" side; a "Plan" side adds its projection and, where the switch puts
// it there, its local grid.
#pragma once

#include <optional>
#include <string>

#include "engine/AngleText.h"
#include "engine/AnomalyFit.h"
#include "engine/Keywords.h"
#include "engine/LocalGrid.h"
#include "tables/ProjectionParams.h"

namespace tarnwell {

// "Space": earth-centred X, Y, Z; "LB": geodetic B, L, h; "Plan": projected
// north x, east y, height h.
enum class CoordinateType { Space, LB, Plan };

inline constexpr Keyword<CoordinateType> kCoordinateTypes[] = {
    {"Space", CoordinateType::Space}, {"LB", CoordinateType::LB}, {"Plan", CoordinateType::Plan}};

// The height h of "LB" and "Plan" points: above the ellipsoid (大地高), or
// the normal height H = h − N − r (正常高) of a geoid model N and an anomaly
// fit r (engine/GeoidModel.h, engine/AnomalyFit.h). "Space" is ellipsoidal.
enum class HeightSystem { Ellipsoidal, Normal };

inline constexpr Keyword<HeightSystem> kHeightSystems[] = {{"ellipsoidal", HeightSystem::Ellipsoidal},
                                                           {"normal", HeightSystem::Normal}};

// A local site grid reached from the projection's grid (engine/LocalGrid.h).
struct LocalGrid {
  FourParams fourParams;
  HeightFit heightFit;

  bool operator==(const LocalGrid&) const = default;
};

struct CoordinateSystem {
  std::string ellipsoid;  // a name in the ellipsoid catalogue
  CoordinateType type = CoordinateType::Space;
  AngleFormat angleFormat = AngleFormat::DMS;  // of B and L ("LB")
  ProjectionParams projection;                 // "Plan" only
  std::optional<LocalGrid> localGrid;          // "Plan" only
  HeightSystem height = HeightSystem::Ellipsoidal;
  std::string geoid;                   // normal heights: the geoid model's name or path, or none
  std::optional<AnomalyFit> anomalyFit;  // normal heights: the fit of what the model leaves

  bool operator==(const CoordinateSystem&) const = default;
};

}  // namespace tarnwell

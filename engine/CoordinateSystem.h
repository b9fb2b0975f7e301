// A coordinate system: what one side of a conversion is. The ellipsoid, the
// coordinate type and the angle format; a "Plan" side adds its projection
// and, where the switch puts it there, its local grid.
#pragma once

#include <optional>
#include <string>

#include "engine/AngleText.h"
#include "engine/Keywords.h"
#include "engine/LocalGrid.h"
#include "tables/ProjectionParams.h"

namespace tarnwell {

// "Space": earth-centred X, Y, Z; "LB": geodetic B, L, h; "Plan": projected
// north x, east y, height h.
enum class CoordinateType { Space, LB, Plan };

inline constexpr Keyword<CoordinateType> kCoordinateTypes[] = {
    {"Space", CoordinateType::Space}, {"LB", CoordinateType::LB}, {"Plan", CoordinateType::Plan}};

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

  bool operator==(const CoordinateSystem&) const = default;
};

}  // namespace tarnwell

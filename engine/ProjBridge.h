// The thin layer between the engine's text values and the PROJ library.
//
// Each operation reads its three texts, makes one PROJ call and writes the
// results back with FormatNumber. Angles are decimal degrees in the texts and
// radians only at the PROJ boundary. PROJ objects are kept in a small
// per-thread cache keyed by the exact definition text, so a file of a million
// points does not build two million objects; the result is the same as
// building one per point.
//
// On failure the operation reports its message and returns false, leaving
// the three texts unchanged:
//   "投影参数错误,请检查."  PROJ refuses a definition;
//   "坐标转换失败,请检查."  PROJ gives no finite result for the point.
#pragma once

#include <string>
#include <string_view>

#include "engine/CoordSettings.h"

namespace tarnwell {

// The PROJ definition of a projection, without its ellipsoid. The field texts
// go in verbatim; listIndex 112 and 70 have their own forms, any other index
// gives a fixed transverse Mercator.
std::string BuildProjDefinition(const ProjectionParams& projection);

// The same, appended to `definition` (no allocation once its storage has grown).
void AppendProjDefinition(std::string& definition, const ProjectionParams& projection);

// Earth-centred X, Y, Z (metres) in first, second, third become latitude,
// longitude (decimal degrees) and ellipsoidal height, on the ellipsoid of
// semi-major axis a (metres) and inverse flattening 1/f, both as text.
bool SpaceToGeodetic(const std::string& semiMajorAxis, const std::string& inverseFlattening,
                     std::string& first, std::string& second, std::string& third);

// Latitude, longitude (decimal degrees), height become X, Y, Z (metres).
bool GeodeticToSpace(const std::string& semiMajorAxis, const std::string& inverseFlattening,
                     std::string& first, std::string& second, std::string& third);

// Latitude, longitude (decimal degrees), height become north, east, height
// (metres), from the geodetic definition to the projected definition.
bool GeodeticToPlan(const std::string& geodeticDefinition, const std::string& projectedDefinition,
                    std::string& first, std::string& second, std::string& third);

// North, east, height (metres) become latitude, longitude (decimal degrees)
// and height, from the projected definition to the geodetic definition.
bool PlanToGeodetic(const std::string& projectedDefinition, const std::string& geodeticDefinition,
                    std::string& first, std::string& second, std::string& third);

// True when PROJ knows `name` as one of its built-in ellipsoids (+ellps=).
bool IsProjEllipsoidName(std::string_view name);

}  // namespace tarnwell

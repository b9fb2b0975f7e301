// The map projections the program computes, and how the parameters of a
// projection record become PROJ's: one table for the definition builder,
// the catalogue's defaults, the projection dialog and the command line. A
// catalogue row whose key is not here is shown as not supported and never
// converted with.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "tables/ProjectionParams.h"
#include "tables/ProjectionZones.h"

namespace tarnwell {

// A parameter of the record, the PROJ parameter it becomes and the
// catalogue's default for it.
struct ProjParameter {
  ProjectionParameter field;
  std::string_view projName;  // "lat_0", "lat_ts", "lon_0", ...
  double defaultValue;
};

enum class ZoneScheme {
  None,         // a freely chosen central meridian
  GaussKruger,  // a free central meridian, or zones 3° or 6° wide
  Utm,          // always UTM's zones
};

struct SupportedProjection {
  std::string_view key;                       // value of +proj=
  std::string_view chineseName;               // the name the user reads (UTF-8)
  std::span<const ProjParameter> parameters;  // in the order of the definition
  ZoneScheme zones;
  int defaultZone;  // 0 where the projection has no zone by default
  // A transverse projection: 90° from the central meridian its plane folds
  // back over the pole, and a plane point there has a second inverse.
  bool transverse;
};

std::span<const SupportedProjection> SupportedProjections();

// nullptr when the program does not compute the projection of that key.
const SupportedProjection* FindSupportedProjection(std::string_view key);

// True for the transverse Mercator projections: tmerc, etmerc and utm.
bool IsTransverseMercator(std::string_view projKey);

// The zone system in force for the record; nullopt for a free central
// meridian (or a projection that is not supported).
std::optional<ZoneSystem> ZoneSystemOf(const ProjectionParams& projection);

// True when the zone fields fit the projection: a zone width of 3 or 6 only
// for a Gauss-Krüger scheme, prefix and automatic zone only where there are
// zones (the automatic zone only with the prefix), and a zone in range,
// which a zoned projection needs unless each point takes its own; the
// southern hemisphere only for UTM, which alone is told it. A zone number
// where the projection has no zones is simply not used.
bool ZoneChoiceValid(const ProjectionParams& projection);

// True when the user gives this parameter of the record: a parameter of its
// projection's definition (none when a zone fixes them all), or the
// projection-plane height, which every supported projection takes.
bool UsesParameter(const ProjectionParams& projection, ProjectionParameter field);

// The projection-plane height in metres: 0 where none is given.
double PlaneHeight(const ProjectionParams& projection);

}  // namespace tarnwell

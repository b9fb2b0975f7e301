// The conversion settings: every choice the user has made for a conversion,
// as one typed value. The main window, the settings dialogs and the
// estimation pages write it; a conversion takes the two coordinate systems
// and the datum transformation it describes (SourceSystem, TargetSystem) and
// never looks at it again.
#pragma once

#include <optional>
#include <string>

#include "engine/BursaWolf.h"
#include "engine/CoordinateSystem.h"
#include "engine/FileLayout.h"
#include "engine/LocalGrid.h"
#include "tables/ProjectionParams.h"

namespace tarnwell {

// The layout of a coordinate file: the point's name, then its three values.
enum class FileFormat { NameBLh, NameXYh, NameXYZ };

inline constexpr Keyword<FileFormat> kFileFormats[] = {
    {"n,b,l,h", FileFormat::NameBLh}, {"n,x,y,h", FileFormat::NameXYh}, {"n,X,Y,Z", FileFormat::NameXYZ}};

// How large a common point's residual may be before it is flagged, metres.
struct ResidualTolerance {
  double horizontal = 0.02;
  double vertical = 0.03;

  bool operator==(const ResidualTolerance&) const = default;
};

struct CoordSettings {
  CoordinateType sourceType = CoordinateType::Space;
  AngleFormat sourceAngleFormat = AngleFormat::DMS;
  CoordinateType targetType = CoordinateType::Space;
  AngleFormat targetAngleFormat = AngleFormat::DMS;
  std::string sourceEllipsoid = "WGS84";  // names in the ellipsoid catalogue
  std::string targetEllipsoid = "WGS84";
  // The datum transformation, applied between the two sides when switched on.
  bool useSevenParams = false;
  DatumTransformation datum;
  // The projection of the "Plan" target, or of the only "Plan" side; the
  // source's own where a plane source has another one (a change of zone).
  ProjectionParams projection;
  bool ownSourceProjection = false;
  ProjectionParams sourceProjection;
  FileFormat fileFormat = FileFormat::NameBLh;
  // A layout of the user's own; with its columns given it replaces fileFormat.
  FileLayout fileLayout;
  OutputLayout outputLayout = OutputLayout::Input;
  // The local grid: the four parameters and the height fit, switched on for
  // the "Plan" target, or else for a "Plan" source.
  bool useFourParams = false;
  FourParams fourParams;
  HeightFit heightFit;
  // The residuals of an estimate beyond it are flagged.
  ResidualTolerance tolerance;
  // The height systems of the two sides ("Space" is always ellipsoidal),
  // and for normal heights the geoid model (its name or a grid file's path;
  // empty for none) and the anomaly fit, switched on.
  HeightSystem sourceHeight = HeightSystem::Ellipsoidal;
  HeightSystem targetHeight = HeightSystem::Ellipsoidal;
  std::string geoid;
  bool useAnomalyFit = false;
  AnomalyFit anomalyFit;
  // Decimals of every converted number but an angle, 0..15.
  int outputDecimals = 15;
  // Decimals of an angle's last piece (the seconds of DMS, the minutes of
  // DMM, the degrees of DDD), 0..15: 0.001″ is 3 cm where 0.001 m is 1 mm,
  // so each has its own.
  int angleDecimals = 15;

  // The record the desktop program and the command-line tool keep for the
  // user's choices. The core never reads it: it is handed what it needs.
  // (Tests restore the defaults with `CoordSettings::instance() = {};`.)
  static CoordSettings& instance();

  bool operator==(const CoordSettings&) const = default;
};

// The projection of the source side.
const ProjectionParams& SourceProjection(const CoordSettings& settings);

// The two sides the settings describe.
CoordinateSystem SourceSystem(const CoordSettings& settings);
CoordinateSystem TargetSystem(const CoordSettings& settings);

// The side a local grid of the settings belongs to, whether or not it is
// switched on: the "Plan" target, or else a "Plan" source; none when
// neither side is "Plan". Without its local grid.
std::optional<CoordinateSystem> LocalGridSide(const CoordSettings& settings);

// The datum transformation the settings apply; nullptr when it is off.
const DatumTransformation* DatumInForce(const CoordSettings& settings);

}  // namespace tarnwell

// Exports of a coordinate file through GDAL's vector drivers, for CAD and
// GIS: every point of the input, converted with the settings, becomes a
// point feature (east, north, height; or L, B, h) with its name and height,
// in a file that carries the target's coordinate system: an EPSG code from
// PROJ's database where the system matches one (CGCS2000, 3° zone 39 with
// the zone prefix is EPSG:4527), otherwise the system's WKT.
//
//   dxf      POINT entities, each with a TEXT entity "name height" beside it;
//            DXF keeps no coordinate system
//   kml      always WGS84 B, L: the target side becomes B, L, which needs the
//            target ellipsoid WGS84; or, where only the source is on WGS84,
//            the points go to the source's B, L without the datum step
//   geojson, shp (ESRI Shapefile, names in UTF-8), gpkg (GeoPackage, in one
//            transaction and without a spatial index)
//
// The export is written as an AtomicFileSet: a failed one leaves nothing,
// and an older export keeps its files until the new one is complete.
//
// The points of Space coordinates, and of a Plan side whose points each take
// their own zone, lie in no one map system and are not exported.
#pragma once

#include <string>

#include "batch/CoordinateFile.h"
#include "engine/Keywords.h"

namespace tarnwell {

enum class ExportFormat { Dxf, Kml, GeoJson, Shapefile, GeoPackage };

inline constexpr Keyword<ExportFormat> kExportFormats[] = {{"dxf", ExportFormat::Dxf},
                                                           {"kml", ExportFormat::Kml},
                                                           {"geojson", ExportFormat::GeoJson},
                                                           {"shp", ExportFormat::Shapefile},
                                                           {"gpkg", ExportFormat::GeoPackage}};

// The export's path: the output path OutputPathFor gives, with the format's
// extension (".dxf", ".kml", ".geojson", ".shp", ".gpkg") in place of its own.
std::string ExportPathFor(const std::string& inputPath, const std::string& chosenPath, ExportFormat format);

// The settings the export converts with: the target side as the format
// needs it (KML: B, L on WGS84), angles in decimal degrees, every decimal,
// in the layout of the input.
CoordSettings ExportSettings(const CoordSettings& settings, ExportFormat format);

// The coordinate system of the target side of `settings`: "EPSG:n", or a
// WKT; empty when there is none (Space, points in zones of their own, an
// ellipsoid or projection that cannot be made).
std::string ExportCoordinateSystem(const CoordSettings& settings);

// Converts the input as ConvertCoordinateFile does (each message, each stop,
// bad lines as the options say) and writes the export; outputPath of the
// result is the export's path.
BatchResult ExportCoordinateFile(const CoordSettings& settings, const std::string& inputPath, ExportFormat format,
                                 const BatchOptions& options);

}  // namespace tarnwell

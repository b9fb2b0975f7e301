#include "batch/VectorExport.h"

#include <gdal_priv.h>
#include <ogr_feature.h>
#include <ogr_geometry.h>
#include <ogr_spatialref.h>
#include <ogrsf_frmts.h>

#include <array>
#include <filesystem>
#include <memory>
#include <mutex>
#include <optional>
#include <string_view>
#include <vector>

#include "batch/AtomicFileWriter.h"
#include "engine/Ellipsoid.h"
#include "engine/Messages.h"
#include "engine/ProjBridge.h"
#include "tables/FixedDecimalText.h"
#include "tables/NumberText.h"
#include "tables/ProjectionZones.h"
#include "tables/SupportedProjections.h"
#include "tables/TableText.h"
#include "tables/TextLineReader.h"

namespace tarnwell {
namespace {

const char* const kKmlNeedsWgs84 = "KML 只能写 WGS84 坐标: 目的椭球须为 WGS84。";
constexpr std::string_view kWgs84 = "WGS84";
const char* const kNoMapSystem = "空间直角坐标或各点分带的平面坐标不能导出。";
const char* const kExportNotCreated = "导出文件无法生成: ";
const char* const kExportReadOnly = "输出文件是只读的，未被替换: ";

// PROJ's database confidence from which a match counts: the definition is
// the same, only the names differ.
constexpr int kSameDefinition = 50;

struct FormatDriver {
  ExportFormat format;
  const char* driver;     // GDAL's name
  const char* extension;
  std::vector<const char*> datasetOptions, layerOptions;
  // What the driver may make beside the main file: the extensions of the
  // other files (in place of the main one's), and the endings put after the
  // whole name.
  std::vector<const char*> siblingExtensions, suffixes;
};

const FormatDriver& DriverOf(ExportFormat format) {
  static const FormatDriver kDrivers[] = {
      {ExportFormat::Dxf, "DXF", ".dxf", {}, {}, {}, {}},
      {ExportFormat::Kml, "KML", ".kml", {"NameField=name"}, {}, {}, {}},
      {ExportFormat::GeoJson, "GeoJSON", ".geojson", {}, {}, {}, {}},
      {ExportFormat::Shapefile, "ESRI Shapefile", ".shp", {}, {"ENCODING=UTF-8"},
       {".shx", ".dbf", ".prj", ".cpg", ".qix", ".sbn", ".sbx"}, {}},
      // Without a spatial index: SQLite's R*-tree takes most of a minute for a
      // million points; a GIS makes it when it wants one. SQLite's journals
      // belong to the file they lie beside.
      {ExportFormat::GeoPackage, "GPKG", ".gpkg", {}, {"SPATIAL_INDEX=NO"}, {}, {"-journal", "-wal", "-shm"}},
  };
  for (const FormatDriver& entry : kDrivers) {
    if (entry.format == format) return entry;
  }
  return kDrivers[0];
}

// The geographic systems of the catalogue's ellipsoids that have one.
std::optional<int> GeographicEpsg(const std::string& ellipsoid) {
  constexpr std::pair<std::string_view, int> kGeographic[] = {
      {"WGS84", 4326}, {"CGCS2000", 4490}, {"krass", 4214}, {"IAU76", 4610}};
  for (const auto& [name, code] : kGeographic) {
    if (ellipsoid == name) return code;
  }
  return std::nullopt;
}

// The plane system of the target side as a PROJ definition, in its zone
// with the zone prefix as part of the false easting; empty for points in
// zones of their own.
std::string PlaneDefinition(const ProjectionParams& projection, const EllipsoidFigure& figure) {
  if (projection.autoZone) return {};
  ProjectionParams fixed = projection;
  if (const std::optional<ZoneSystem> system = ZoneSystemOf(projection); system && *system != ZoneSystem::Utm) {
    SetZoneParameters(fixed, *system, projection.zone);
    if (projection.zonePrefix) *fixed.falseEasting += projection.zone * kZonePrefixUnit;
    // Written out as a free central meridian.
    fixed.zoneWidth = fixed.zone = 0;
    fixed.zonePrefix = false;
  }
  std::string definition;
  if (!AppendProjDefinition(definition, fixed)) return {};
  AppendProjEllipsoid(definition, figure, projection.surfaceHeight.value_or(0));
  return definition + " +type=crs";
}

// "EPSG:n" for the first system of PROJ's database with the definition of
// `system`, otherwise its WKT.
std::string Identified(OGRSpatialReference& system) {
  int count = 0;
  int* confidences = nullptr;
  OGRSpatialReferenceH* matches = system.FindMatches(nullptr, &count, &confidences);
  std::string identified;
  if (count > 0 && confidences[0] >= kSameDefinition) {
    const OGRSpatialReference* match = OGRSpatialReference::FromHandle(matches[0]);
    const char* authority = match->GetAuthorityName(nullptr);
    if (authority && std::string_view(authority) == "EPSG")
      identified = std::string("EPSG:").append(match->GetAuthorityCode(nullptr));
  }
  OSRFreeSRSArray(matches);
  CPLFree(confidences);
  if (!identified.empty()) return identified;
  char* wkt = nullptr;
  system.exportToWkt(&wkt);
  identified = wkt ? wkt : "";
  CPLFree(wkt);
  return identified;
}

void RegisterDrivers() {
  static std::once_flag registered;
  std::call_once(registered, [] { GDALAllRegister(); });
}

// A converted point read back from the converted text.
struct ExportPoint {
  std::string_view name, heightText;
  double x = 0, y = 0, z = 0;  // east or L, north or B, height
};

// Reads a line of the converted text in the layout it was written in;
// false for a header or comment line.
class ConvertedLineReader {
 public:
  explicit ConvertedLineReader(const CoordSettings& settings) : layout_(settings.fileLayout) {
    if (layout_.columns.empty()) return;
    columns_ = *ReadColumns(layout_.columns, settings.sourceType);
  }

  bool Read(std::string_view line, ExportPoint& point) {
    std::array<std::string_view, 3> values;
    if (columns_.empty()) {
      std::array<std::string_view, 4> fixed;
      if (!SplitExactly(line, ',', fixed)) return false;
      point.name = fixed[0];
      values = {fixed[1], fixed[2], fixed[3]};
    } else {
      SplitFields(line, layout_.separator, fields_);
      if (fields_.size() != columns_.size()) return false;
      point.name = {};
      for (std::size_t column = 0; column < columns_.size(); ++column) {
        if (columns_[column] == ColumnContent::Name) point.name = fields_[column];
        if (const std::optional<int> value = ValueIndexOf(columns_[column]))
          values[static_cast<std::size_t>(*value)] = fields_[column];
      }
    }
    point.heightText = values[2];
    return ReadNumber(values[1], point.x) && ReadNumber(values[0], point.y) && ReadNumber(values[2], point.z);
  }

 private:
  FileLayout layout_;
  std::vector<ColumnContent> columns_;  // empty for the fixed layout
  std::vector<std::string_view> fields_;
};

// The DXF text beside a point: "name height", quotes made single.
std::string LabelStyle(const ExportPoint& point) {
  std::string text = std::string(point.name) + " " + std::string(point.heightText);
  for (char& c : text) {
    if (c == '"') c = '\'';
  }
  return std::string("LABEL(f:\"Arial\",t:\"").append(text).append("\")");
}

bool WriteFeatures(OGRLayer& layer, const ExportFormat format, const CoordSettings& settings,
                   const std::string& convertedPath) {
  TextLineReader input;
  if (!input.Open(convertedPath)) return false;
  ConvertedLineReader reader(settings);
  ExportPoint point;
  std::string_view line;
  const bool cad = format == ExportFormat::Dxf;
  // One feature and one point, filled again for each point: most of the
  // time would otherwise go to making and unmaking them.
  OGRFeature feature(layer.GetLayerDefn()), label(layer.GetLayerDefn());
  OGRPoint geometry(0, 0, 0);
  const auto create = [&layer](OGRFeature& made) {
    made.SetFID(OGRNullFID);
    return layer.CreateFeature(&made) == OGRERR_NONE;
  };
  while (input.NextLine(line)) {
    if (!reader.Read(line, point)) continue;
    geometry.setX(point.x);
    geometry.setY(point.y);
    geometry.setZ(point.z);
    feature.SetGeometry(&geometry);
    if (cad) {
      label.SetGeometry(&geometry);
      label.SetStyleString(LabelStyle(point).c_str());
      if (!create(label)) return false;
    } else {
      feature.SetField(0, std::string(point.name).c_str());
      feature.SetField(1, point.z);
    }
    if (!create(feature)) return false;
  }
  return !input.ReadFailed();
}

// The names of the files beside the export's main file that belong to it.
std::vector<std::string> SiblingNames(const FormatDriver& entry, const std::string& path) {
  const std::filesystem::path main = std::filesystem::path(path).filename();
  std::vector<std::string> names;
  for (const char* extension : entry.siblingExtensions) names.push_back(std::filesystem::path(main).replace_extension(extension));
  for (const char* suffix : entry.suffixes) names.push_back(main.string() + suffix);
  return names;
}

// Writes the points of the converted text to a new dataset at `path`, a
// path no file has yet; closed before it returns.
bool WriteExport(const CoordSettings& settings, ExportFormat format, const std::string& convertedPath,
                 const std::string& path) {
  RegisterDrivers();
  const FormatDriver& entry = DriverOf(format);
  GDALDriver* driver = GetGDALDriverManager()->GetDriverByName(entry.driver);
  if (!driver) return false;
  std::vector<const char*> datasetOptions = entry.datasetOptions, layerOptions = entry.layerOptions;
  datasetOptions.push_back(nullptr);
  layerOptions.push_back(nullptr);
  // Closing writes what the drivers held back (DXF, KML and GeoJSON write
  // out there); a failure there is an error GDAL records.
  const auto close = [](GDALDataset* dataset) {
    CPLErrorReset();
    GDALClose(dataset);
  };
  std::unique_ptr<GDALDataset, decltype(close)> dataset(
      driver->Create(path.c_str(), 0, 0, 0, GDT_Unknown, const_cast<char**>(datasetOptions.data())), close);
  if (!dataset) return false;
  OGRSpatialReference system;
  const std::string definition = ExportCoordinateSystem(settings);
  const bool hasSystem = !definition.empty() && system.SetFromUserInput(definition.c_str()) == OGRERR_NONE;
  system.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
  const std::string layerName = std::filesystem::path(path).stem();
  OGRLayer* layer = dataset->CreateLayer(layerName.c_str(), hasSystem ? &system : nullptr, wkbPoint25D,
                                         const_cast<char**>(layerOptions.data()));
  if (!layer) return false;
  if (format != ExportFormat::Dxf) {
    OGRFieldDefn name("name", OFTString), height("h", OFTReal);
    if (layer->CreateField(&name) != OGRERR_NONE || layer->CreateField(&height) != OGRERR_NONE) return false;
  }
  // One transaction for the whole file: a GeoPackage commits once, not per point.
  const bool transaction = format == ExportFormat::GeoPackage && dataset->StartTransaction() == OGRERR_NONE;
  if (!WriteFeatures(*layer, format, settings, convertedPath)) return false;
  if (transaction && dataset->CommitTransaction() != OGRERR_NONE) return false;
  dataset.reset();
  return CPLGetLastErrorType() != CE_Failure && CPLGetLastErrorType() != CE_Fatal;
}

}  // namespace

std::string ExportPathFor(const std::string& inputPath, const std::string& chosenPath, ExportFormat format) {
  std::filesystem::path path = OutputPathFor(inputPath, chosenPath);
  return path.replace_extension(DriverOf(format).extension);
}

CoordSettings ExportSettings(const CoordSettings& settings, ExportFormat format) {
  CoordSettings exported = settings;
  if (format == ExportFormat::Kml) {
    // WGS84 B, L of the target; or of the source when only that is on
    // WGS84, leaving out the datum step away from it.
    if (exported.targetEllipsoid != kWgs84 && exported.sourceEllipsoid == kWgs84) {
      exported.targetEllipsoid = kWgs84;
      exported.useSevenParams = false;
    }
    // A local grid of the plane target has no part in its B, L.
    if (exported.targetType == CoordinateType::Plan) exported.useFourParams = false;
    exported.targetType = CoordinateType::LB;
  }
  exported.targetAngleFormat = AngleFormat::DDD;
  exported.outputLayout = OutputLayout::Input;  // read back by the input's columns
  exported.outputDecimals = kMaxFixedDecimals;
  return exported;
}

std::string ExportCoordinateSystem(const CoordSettings& settings) {
  const CoordinateSystem target = TargetSystem(settings);
  if (target.type == CoordinateType::Space || target.localGrid) return {};
  const std::optional<int> geographic = GeographicEpsg(target.ellipsoid);
  if (target.type == CoordinateType::LB && geographic) return std::string("EPSG:").append(std::to_string(*geographic));
  std::optional<Ellipsoid> ellipsoid;
  if (Ellipsoid::FromCatalogue(target.ellipsoid, ellipsoid)) return {};
  std::string definition;
  if (target.type == CoordinateType::LB) {
    definition = "+proj=longlat";
    AppendProjEllipsoid(definition, ellipsoid->figure());
    definition += " +type=crs";
  } else {
    definition = PlaneDefinition(target.projection, ellipsoid->figure());
  }
  OGRSpatialReference system;
  if (definition.empty() || system.importFromProj4(definition.c_str()) != OGRERR_NONE) return {};
  // On a plane of zero height the datum is the catalogue's own.
  OGRSpatialReference base;
  if (target.type == CoordinateType::Plan && geographic && !target.projection.surfaceHeight &&
      base.importFromEPSG(*geographic) == OGRERR_NONE)
    system.CopyGeogCSFrom(&base);
  return Identified(system);
}

BatchResult ExportCoordinateFile(const CoordSettings& settings, const std::string& inputPath, ExportFormat format,
                                 const BatchOptions& options) {
  const CoordSettings exported = ExportSettings(settings, format);
  if (format == ExportFormat::Kml && exported.targetEllipsoid != kWgs84) {
    ShowMessage(kKmlNeedsWgs84);
    return {};
  }
  if (exported.targetType == CoordinateType::Space ||
      (exported.targetType == CoordinateType::Plan && exported.projection.autoZone)) {
    ShowMessage(kNoMapSystem);
    return {};
  }
  const std::string path = ExportPathFor(inputPath, options.output, format);
  if (IsReadOnlyFile(path)) {
    ShowMessage(kExportReadOnly + path);
    return {};
  }
  AtomicFileSet files;
  if (!files.Open(path, SiblingNames(DriverOf(format), path))) {
    ShowMessage(kExportNotCreated + path);
    return {};
  }
  // The converted text goes to the export's temporary folder, to be read
  // back; it goes with the folder.
  BatchOptions text = options;
  text.output = files.ScratchPath("converted.txt");
  text.factors = false;
  // Points already in the export's system are only read and written again.
  text.copySameSystem = true;
  BatchResult result = ConvertCoordinateFile(exported, inputPath, text);
  if (result.outcome != BatchOutcome::Converted) return result;
  const bool written = WriteExport(exported, format, result.outputPath, files.writingPath()) && files.Commit();
  if (!written) {
    ShowMessage(kExportNotCreated + path);
    result.outcome = BatchOutcome::Stopped;
    result.outputPath.clear();
    return result;
  }
  result.outputPath = path;
  return result;
}

}  // namespace tarnwell

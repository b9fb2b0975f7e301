#include "tables/ProjectionCatalogue.h"

#include "tables/TableFileReader.h"

namespace tarnwell {

namespace {

// The rows whose projections have their own PROJ definition form and so
// their own default parameters: Transverse Mercator and Mercator.
constexpr std::int32_t kTransverseMercatorRow = 112;
constexpr std::int32_t kMercatorRow = 70;

}  // namespace

ProjectionCatalogue& TheProjectionCatalogue() {
  static ProjectionCatalogue catalogue;
  return catalogue;
}

void ProjectionDefaults(ProjectionParams& entry) {
  const std::string kUnused = "NULL";
  entry.centralMeridian = kUnused;
  entry.scaleFactor = kUnused;
  entry.falseNorthing = kUnused;
  entry.falseEasting = kUnused;
  entry.originLatitude = kUnused;
  entry.latitude1 = kUnused;
  entry.latitude2 = kUnused;
  entry.surfaceHeight = kUnused;
  entry.auxEllipsoid = kUnused;
  if (entry.listIndex == kTransverseMercatorRow) {
    entry.centralMeridian = "117.000";
    entry.scaleFactor = "1.000";
    entry.falseNorthing = "0.000";
    entry.falseEasting = "500000";
    entry.originLatitude = "0.000";
  } else if (entry.listIndex == kMercatorRow) {
    entry.centralMeridian = "117.000";
    entry.falseNorthing = "0.000";
    entry.falseEasting = "0.000";
    entry.originLatitude = "39.000";  // latitude of true scale
  }
}

bool LoadProjectionCatalogue(const std::string& path) {
  TableFileReader reader;
  if (!reader.Open(path, '"')) return false;
  ProjectionCatalogue& catalogue = TheProjectionCatalogue();
  catalogue.clear();
  std::vector<std::string> fields;
  // Every line counts, well-formed or not, so that a line number stays a
  // position in the sorted list.
  for (std::int32_t lineNumber = 0; reader.NextRow(fields); ++lineNumber) {
    if (fields.size() < 4) continue;
    ProjectionParams entry;
    entry.projKey = fields[1];
    entry.description = fields[3];
    entry.listIndex = lineNumber;
    ProjectionDefaults(entry);
    catalogue.push_back(std::move(entry));
  }
  return true;
}

std::string ProjectionListText(const ProjectionParams& entry) {
  return entry.projKey + "," + entry.description;
}

}  // namespace tarnwell

#include "tables/ProjectionCatalogue.h"

#include "tables/SupportedProjections.h"
#include "tables/TableFileReader.h"

namespace tarnwell {

ProjectionCatalogue& TheProjectionCatalogue() {
  static ProjectionCatalogue catalogue;
  return catalogue;
}

void ProjectionDefaults(ProjectionParams& entry) {
  for (ProjectionParameter field :
       {&ProjectionParams::centralMeridian, &ProjectionParams::scaleFactor, &ProjectionParams::falseNorthing,
        &ProjectionParams::falseEasting, &ProjectionParams::originLatitude, &ProjectionParams::latitude1,
        &ProjectionParams::latitude2, &ProjectionParams::surfaceHeight}) {
    (entry.*field).reset();
  }
  const SupportedProjection* supported = FindSupportedProjection(entry.projKey);
  entry.zoneWidth = 0;
  entry.zone = supported ? supported->defaultZone : 0;
  entry.zonePrefix = entry.autoZone = entry.south = false;
  if (!supported) return;
  for (const ProjParameter& parameter : supported->parameters) entry.*parameter.field = parameter.defaultValue;
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

#include "tables/EllipsoidCatalogue.h"

#include "engine/NumberText.h"
#include "tables/TableFileReader.h"
#include "tables/TableText.h"

namespace tarnwell {

namespace {

// One line of ellips.csv (at least four fields) as a record.
EllipsoidRecord EllipsoidFromFields(const std::vector<std::string>& fields) {
  EllipsoidRecord record;
  record.name = fields[0];
  TrimLeft(record.name, '"');
  TrimRight(record.name, '"');
  record.semiMajorAxis = ValueAfterEquals(fields[1]);
  record.inverseFlattening = ValueAfterEquals(fields[2]);
  // A lower-case "b" anywhere in field 3 marks the semi-minor axis.
  if (fields[2].find('b') != std::string::npos) {
    const double semiMajorAxis = ParseNumber(record.semiMajorAxis);
    const double semiMinorAxis = ParseNumber(record.inverseFlattening);
    record.inverseFlattening = FormatNumber(semiMajorAxis / (semiMajorAxis - semiMinorAxis));
  }
  record.description = fields[3];
  TrimLeft(record.description, ' ');
  TrimLeft(record.description, '"');
  TrimRight(record.description, '"');
  return record;
}

}  // namespace

EllipsoidCatalogue& TheEllipsoidCatalogue() {
  static EllipsoidCatalogue catalogue;
  return catalogue;
}

bool LoadEllipsoidCatalogue(const std::string& path) {
  TableFileReader reader;
  if (!reader.Open(path, ',')) return false;
  EllipsoidCatalogue& catalogue = TheEllipsoidCatalogue();
  catalogue.clear();
  std::vector<std::string> fields;
  while (reader.NextRow(fields)) {
    if (fields.size() >= 4) catalogue.push_back(EllipsoidFromFields(fields));
  }
  return true;
}

const EllipsoidRecord* FindEllipsoidEntry(const std::string& name) {
  for (const EllipsoidRecord& record : TheEllipsoidCatalogue()) {
    if (record.name == name) return &record;
  }
  return nullptr;
}

void FindEllipsoid(const std::string& name, EllipsoidRecord& record) {
  if (const EllipsoidRecord* found = FindEllipsoidEntry(name)) record = *found;
}

}  // namespace tarnwell

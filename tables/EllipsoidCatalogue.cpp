#include "tables/EllipsoidCatalogue.h"

#include "tables/NumberText.h"
#include "tables/TableFileReader.h"
#include "tables/TableText.h"

namespace tarnwell {

namespace {

// 1/f = a / (a − b), "0" for a sphere (b = a). A semi-minor axis that cannot
// belong to the ellipsoid stays as "b=" and its text, so that the row is
// refused wherever it is used and the table shows why.
std::string InverseFlatteningFromSemiMinorAxis(const EllipsoidRecord& record) {
  double semiMajorAxis, semiMinorAxis;
  if (!ReadNumber(record.semiMajorAxis, semiMajorAxis) || !ReadNumber(record.inverseFlattening, semiMinorAxis) ||
      !(semiMinorAxis > 0 && semiMinorAxis <= semiMajorAxis))
    return "b=" + record.inverseFlattening;
  if (semiMinorAxis == semiMajorAxis) return "0";
  return FormatNumber(semiMajorAxis / (semiMajorAxis - semiMinorAxis));
}

// One line of ellips.csv (at least four fields) as a record.
EllipsoidRecord EllipsoidFromFields(const std::vector<std::string>& fields) {
  EllipsoidRecord record;
  record.name = fields[0];
  TrimLeft(record.name, '"');
  TrimRight(record.name, '"');
  record.semiMajorAxis = ValueAfterEquals(fields[1]);
  record.inverseFlattening = ValueAfterEquals(fields[2]);
  // A lower-case "b" anywhere in field 3 marks the semi-minor axis.
  if (fields[2].find('b') != std::string::npos) record.inverseFlattening = InverseFlatteningFromSemiMinorAxis(record);
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

std::optional<EllipsoidFigure> FigureOf(const EllipsoidRecord& record) {
  double semiMajorAxis, inverseFlattening;
  if (!ReadNumber(record.semiMajorAxis, semiMajorAxis) || !(semiMajorAxis > 0) ||
      !ReadNumber(record.inverseFlattening, inverseFlattening))
    return std::nullopt;
  if (inverseFlattening != 0 && !(inverseFlattening > 1)) return std::nullopt;
  return EllipsoidFigure{semiMajorAxis, inverseFlattening};
}

void FindEllipsoid(const std::string& name, EllipsoidRecord& record) {
  if (const EllipsoidRecord* found = FindEllipsoidEntry(name)) record = *found;
}

}  // namespace tarnwell

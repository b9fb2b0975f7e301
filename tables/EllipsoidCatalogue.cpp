#include "tables/EllipsoidCatalogue.h"

#include <algorithm>

#include "tables/NumberText.h"
#include "tables/TableFileReader.h"
#include "tables/TableText.h"

namespace tarnwell {

namespace {

// A semi-minor axis that cannot belong to the ellipsoid stays as "b=" and
// its text, so that the row is refused wherever it is used and the table
// shows why.
std::string InverseFlatteningFromSemiMinorAxis(const EllipsoidRecord& record) {
  return InverseFlatteningFromAxes(record.semiMajorAxis, record.inverseFlattening)
      .value_or("b=" + record.inverseFlattening);
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

std::size_t shippedCount = 0;

// Appends the rows of the table at `path`; false when it cannot be opened.
bool AppendTable(const std::string& path, EllipsoidCatalogue& catalogue) {
  TableFileReader reader;
  if (!reader.Open(path, ',')) return false;
  std::vector<std::string> fields;
  while (reader.NextRow(fields)) {
    if (fields.size() >= 4) catalogue.push_back(EllipsoidFromFields(fields));
  }
  return true;
}

// A text that a table line carries unchanged as a name or description.
bool FitsTableField(const std::string& text) {
  return text.find(',') == std::string::npos && (text.empty() || (text.front() != '"' && text.back() != '"'));
}

}  // namespace

EllipsoidCatalogue& TheEllipsoidCatalogue() {
  static EllipsoidCatalogue catalogue;
  return catalogue;
}

bool LoadEllipsoidCatalogue(const std::string& path) {
  EllipsoidCatalogue loaded;
  if (!AppendTable(path, loaded)) return false;
  shippedCount = loaded.size();
  TheEllipsoidCatalogue() = std::move(loaded);
  return true;
}

bool LoadEllipsoidCatalogue(const std::string& shippedPath, const std::string& userPath) {
  if (!LoadEllipsoidCatalogue(shippedPath)) return false;
  AppendTable(userPath, TheEllipsoidCatalogue());
  return true;
}

std::size_t ShippedEllipsoidCount() { return std::min(shippedCount, TheEllipsoidCatalogue().size()); }

std::span<const EllipsoidRecord> UserEllipsoids() {
  return std::span<const EllipsoidRecord>(TheEllipsoidCatalogue()).subspan(ShippedEllipsoidCount());
}

std::string EllipsoidRow(const EllipsoidRecord& record) {
  return '"' + record.name + "\",\"a=" + record.semiMajorAxis + "\",\"rf=" + record.inverseFlattening + "\",\"" +
         record.description + '"';
}

std::optional<std::string> InverseFlatteningFromAxes(std::string_view semiMajorAxis, std::string_view semiMinorAxis) {
  double majorMetres, minorMetres;
  if (!ReadNumber(semiMajorAxis, majorMetres) || !ReadNumber(semiMinorAxis, minorMetres) ||
      !(minorMetres > 0 && minorMetres <= majorMetres))
    return std::nullopt;
  if (minorMetres == majorMetres) return "0";
  return FormatNumber(majorMetres / (majorMetres - minorMetres));
}

std::string UserEllipsoidRefusal(const EllipsoidRecord& candidate, std::optional<std::size_t> replacing) {
  const std::size_t shipped = ShippedEllipsoidCount();
  const EllipsoidCatalogue& catalogue = TheEllipsoidCatalogue();
  for (std::size_t row = 0; row < catalogue.size(); ++row) {
    const bool replaced = replacing && row == shipped + *replacing;
    if (!replaced && catalogue[row].name == candidate.name) return "椭球名称已存在,请检查.";
  }
  if (candidate.name.empty() || !FitsTableField(candidate.name) || !FitsTableField(candidate.description) ||
      candidate.description.starts_with(' ') || !FigureOf(candidate))
    return "椭球参数错误,请检查.";
  return {};
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

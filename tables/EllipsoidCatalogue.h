// The ellipsoid catalogue: the reference ellipsoids the user can choose,
// read from ellips.csv beside the program into one process-wide list, and
// after them the user's own ellipsoids from a table of the same form.
//
// A line of ellips.csv: name,a=<metres>,rf=<1/f>,description
// (each field may stand in double quotes; a field 3 holding a lower-case "b"
// gives the semi-minor axis instead, from which 1/f = a / (a − b) is computed;
// a sphere, b = a, has 1/f written as 0).
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tarnwell {

struct EllipsoidRecord {
  std::string name;
  std::string semiMajorAxis;      // a, metres, as written in the file
  std::string inverseFlattening;  // 1/f, as written or computed from b
  std::string description;

  bool operator==(const EllipsoidRecord&) const = default;
};

// The figure of an ellipsoid as numbers.
struct EllipsoidFigure {
  double semiMajorAxis;      // a, metres
  double inverseFlattening;  // 1/f as the table gives it; 0 for a sphere

  bool IsSphere() const { return inverseFlattening == 0; }
  double Flattening() const { return IsSphere() ? 0 : 1 / inverseFlattening; }
};

// The figure a record describes; nullopt when its values cannot make one:
// a or 1/f not wholly numbers, a ≤ 0, or 1/f ≤ 1 other than 0 (a sphere).
std::optional<EllipsoidFigure> FigureOf(const EllipsoidRecord& record);

using EllipsoidCatalogue = std::vector<EllipsoidRecord>;

// The process-wide catalogue, in file order; names need not be unique.
EllipsoidCatalogue& TheEllipsoidCatalogue();

// Empties and refills the catalogue from the file; false, with the catalogue
// unchanged, when the file cannot be opened. Lines with fewer than four
// fields are skipped.
bool LoadEllipsoidCatalogue(const std::string& path);

// Loads the shipped table as above and then appends the rows of the user's
// table (a missing user table holds none). False, with the catalogue
// unchanged, when the shipped table cannot be opened.
bool LoadEllipsoidCatalogue(const std::string& shippedPath, const std::string& userPath);

// How many rows at the start of the catalogue come from the shipped table;
// the rest are the user's.
std::size_t ShippedEllipsoidCount();

// The catalogue's rows after the shipped ones.
std::span<const EllipsoidRecord> UserEllipsoids();

// A line of the table for the record, as the loader reads it back.
std::string EllipsoidRow(const EllipsoidRecord& record);

// 1/f = a / (a − b) as text ("0" for a sphere, b = a); nullopt when a or b
// is not wholly a number, a ≤ 0, or b is not in (0, a].
std::optional<std::string> InverseFlatteningFromAxes(std::string_view semiMajorAxis, std::string_view semiMinorAxis);

// Why `candidate` cannot stand in the catalogue as a user ellipsoid, in the
// place of the user row `replacing` (an index into UserEllipsoids()) or as a
// new row; empty when it can. Its name must be new to the catalogue, and
// usable in a table line (not empty, no comma, no double quote at either
// end), and its figure sound (FigureOf).
std::string UserEllipsoidRefusal(const EllipsoidRecord& candidate, std::optional<std::size_t> replacing);

// Copies the first record named exactly `name` into `record`; leaves
// `record` untouched when there is none.
void FindEllipsoid(const std::string& name, EllipsoidRecord& record);

// The first record named exactly `name`, or nullptr (no copy: for the hot
// path of the conversions).
const EllipsoidRecord* FindEllipsoidEntry(const std::string& name);

}  // namespace tarnwell

// An ellipsoid of the catalogue, checked and ready for arithmetic: the
// conversions between geodetic and earth-centred cartesian coordinates on it.
#pragma once

#include <optional>
#include <string>

#include <GeographicLib/Geocentric.hpp>

#include "engine/Points.h"
#include "engine/Refusal.h"
#include "tables/EllipsoidCatalogue.h"

namespace tarnwell {

class Ellipsoid {
 public:
  // The catalogue's ellipsoid of that name into `ellipsoid`; refused when the
  // catalogue has none or when its values cannot make an ellipsoid.
  static Refusal FromCatalogue(const std::string& name, std::optional<Ellipsoid>& ellipsoid);

  const EllipsoidRecord& record() const { return record_; }
  const EllipsoidFigure& figure() const { return figure_; }

  CartesianPoint ToCartesian(const GeodeticPoint& point) const;
  GeodeticPoint ToGeodetic(const CartesianPoint& point) const;

 private:
  Ellipsoid(const EllipsoidRecord& record, const EllipsoidFigure& figure);

  EllipsoidRecord record_;
  EllipsoidFigure figure_;
  GeographicLib::Geocentric geocentric_;
};

}  // namespace tarnwell

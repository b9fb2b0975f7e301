// An ellipsoid of the catalogue, checked and ready for arithmetic: the
// conversions between geodetic and earth-centred cartesian coordinates on it.
#pragma once

#include <optional>
#include <string>

#include <GeographicLib/Geocentric.hpp>

#include "engine/Points.h"
#include "tables/EllipsoidCatalogue.h"

namespace tarnwell {

class Ellipsoid {
 public:
  // The catalogue's ellipsoid of that name. nullopt, with the message shown,
  // when the catalogue has none ("椭球不存在,请检查.") or when its values cannot
  // make an ellipsoid ("椭球参数错误,请检查.", naming it).
  static std::optional<Ellipsoid> FromCatalogue(const std::string& name);

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

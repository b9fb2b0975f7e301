#include "engine/Ellipsoid.h"

namespace tarnwell {

Ellipsoid::Ellipsoid(const EllipsoidRecord& record, const EllipsoidFigure& figure)
    : record_(record), figure_(figure), geocentric_(figure.semiMajorAxis, figure.Flattening()) {}

Refusal Ellipsoid::FromCatalogue(const std::string& name, std::optional<Ellipsoid>& ellipsoid) {
  const EllipsoidRecord* record = FindEllipsoidEntry(name);
  if (!record) return {RefusalReason::EllipsoidMissing, {}};
  const std::optional<EllipsoidFigure> figure = FigureOf(*record);
  if (!figure) return {RefusalReason::EllipsoidValues, "椭球: " + name};
  ellipsoid = Ellipsoid(*record, *figure);
  return {};
}

CartesianPoint Ellipsoid::ToCartesian(const GeodeticPoint& point) const {
  CartesianPoint cartesian;
  geocentric_.Forward(point.latitude, point.longitude, point.height, cartesian.X, cartesian.Y, cartesian.Z);
  return cartesian;
}

GeodeticPoint Ellipsoid::ToGeodetic(const CartesianPoint& point) const {
  GeodeticPoint geodetic;
  geocentric_.Reverse(point.X, point.Y, point.Z, geodetic.latitude, geodetic.longitude, geodetic.height);
  return geodetic;
}

}  // namespace tarnwell

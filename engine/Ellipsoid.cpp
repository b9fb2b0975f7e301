#include "engine/Ellipsoid.h"

#include "engine/Messages.h"

namespace tarnwell {

Ellipsoid::Ellipsoid(const EllipsoidRecord& record, const EllipsoidFigure& figure)
    : record_(record), figure_(figure), geocentric_(figure.semiMajorAxis, figure.Flattening()) {}

std::optional<Ellipsoid> Ellipsoid::FromCatalogue(const std::string& name) {
  const EllipsoidRecord* record = FindEllipsoidEntry(name);
  if (!record) {
    ShowMessage("椭球不存在,请检查.");
    return std::nullopt;
  }
  const std::optional<EllipsoidFigure> figure = FigureOf(*record);
  if (!figure) {
    ShowMessage("椭球参数错误,请检查.\n椭球: " + name);
    return std::nullopt;
  }
  return Ellipsoid(*record, *figure);
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

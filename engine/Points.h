// A point in each of the three coordinate types, as numbers.
#pragma once

namespace tarnwell {

// "LB": on an ellipsoid.
struct GeodeticPoint {
  double latitude = 0;   // B, decimal degrees
  double longitude = 0;  // L, decimal degrees
  double height = 0;     // h above the ellipsoid, metres
};

// "Space": earth-centred cartesian.
struct CartesianPoint {
  double X = 0, Y = 0, Z = 0;  // metres
};

// "Plan": in the plane of a map projection.
struct PlanePoint {
  double north = 0;   // x, metres
  double east = 0;    // y, metres
  double height = 0;  // h, metres, carried through unchanged
};

}  // namespace tarnwell

// The remove-restore fit of height anomalies: what is left of h − H at
// levelled points after a geoid model (r = h − H − N; r = h − H without a
// model), fitted as a surface (engine/LocalGrid.h) in local plane
// coordinates about the fit's origin:
//   north = a·(B − B0),  east = a·(L − L0)·cos B0
// with B, L in radians and a = 6 378 137 m. At 10 km from the origin these
// differ from true distances by well under 0.1 %, which a surface of
// centimetres cannot feel; what matters is that the fit and the conversion
// use the same coordinates. A normal height is then H = h − N − r(B, L).
#pragma once

#include "engine/LocalGrid.h"

namespace tarnwell {

struct AnomalyFit {
  double originLatitude = 0, originLongitude = 0;  // B0, L0, decimal degrees
  HeightFit surface;  // in local plane coordinates; its Offset is r

  // The local plane position (metres) of latitude, longitude in decimal degrees.
  PlanePosition LocalPosition(double latitude, double longitude) const;
  // r (metres) at latitude, longitude in decimal degrees.
  double Anomaly(double latitude, double longitude) const;

  bool operator==(const AnomalyFit&) const = default;
};

// True when the origin and the surface are finite.
bool IsUsable(const AnomalyFit& fit);

}  // namespace tarnwell

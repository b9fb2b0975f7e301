// The steps a conversion is made of. Each takes a point one level up, away
// from earth-centred coordinates, and back down again:
//
//   earth-centred X, Y, Z ──Geocentric──▶ geodetic B, L, h
//   geodetic B, L, h      ──Height──────▶ geodetic B, L, normal height H
//   geodetic B, L, h      ──Projection──▶ the projection's grid x, y, h
//   the projection's grid ──LocalGrid───▶ a local grid x, y, h
//   X, Y, Z (one datum)   ──DatumShift──▶ X, Y, Z (another datum)
//
// Units between steps: metres, except B and L in decimal degrees. A step
// refuses a point outside its domain, forward and inverse alike, and never
// hands on a value that is not finite.
#pragma once

#include <array>
#include <memory>
#include <optional>

#include "engine/BursaWolf.h"
#include "engine/CoordinateSystem.h"
#include "engine/Ellipsoid.h"
#include "engine/GeoidModel.h"
#include "engine/PlaneProjection.h"
#include "engine/Refusal.h"

namespace tarnwell {

// A point between two steps: X, Y, Z; B, L, h; or north x, east y, h.
using StepPoint = std::array<double, 3>;

class ConversionStep {
 public:
  virtual ~ConversionStep() = default;
  // A plan is copied for each thread that converts with it.
  virtual std::unique_ptr<ConversionStep> Clone() const = 0;
  virtual Refusal Forward(StepPoint& point) const = 0;
  virtual Refusal Inverse(StepPoint& point) const = 0;
};

// Earth-centred to geodetic on an ellipsoid, and back: GeographicLib's
// Geocentric, exact to a few nanometres. The inverse refuses |B| > 90°.
class GeocentricStep final : public ConversionStep {
 public:
  explicit GeocentricStep(Ellipsoid ellipsoid) : ellipsoid_(std::move(ellipsoid)) {}
  std::unique_ptr<ConversionStep> Clone() const override { return std::make_unique<GeocentricStep>(*this); }
  Refusal Forward(StepPoint& point) const override;
  Refusal Inverse(StepPoint& point) const override;

 private:
  Ellipsoid ellipsoid_;
};

// Ellipsoidal to normal heights, H = h − N − r, and back: N of the geoid
// model (none: 0) and r of the anomaly fit (none: 0) at B, L, which pass
// through. Refused where the model has no value. The model is shared by
// every copy: it is only read.
class HeightStep final : public ConversionStep {
 public:
  HeightStep(std::shared_ptr<const GeoidModel> model, std::optional<AnomalyFit> fit)
      : model_(std::move(model)), fit_(std::move(fit)) {}
  std::unique_ptr<ConversionStep> Clone() const override { return std::make_unique<HeightStep>(*this); }
  Refusal Forward(StepPoint& point) const override;
  Refusal Inverse(StepPoint& point) const override;

 private:
  // N + r at the point (metres).
  Refusal Separation(const StepPoint& point, double& separation) const;

  std::shared_ptr<const GeoidModel> model_;
  std::optional<AnomalyFit> fit_;
};

// Geodetic to the projection's grid, and back; the height passes through.
// Accurate to 1 mm where it converts: points where the projection is not are
// refused (engine/PlaneProjection.h).
class ProjectionStep final : public ConversionStep {
 public:
  explicit ProjectionStep(PlaneProjection projection) : projection_(std::move(projection)) {}
  std::unique_ptr<ConversionStep> Clone() const override { return std::make_unique<ProjectionStep>(*this); }
  Refusal Forward(StepPoint& point) const override;
  Refusal Inverse(StepPoint& point) const override;

 private:
  PlaneProjection projection_;
};

// The projection's grid to a local grid: the height fit at the grid
// position, then the four parameters; the inverse in closed form, exact to
// rounding. A prefixed easting goes through without its prefix: the zone
// number is a label, never rotated or scaled.
class LocalGridStep final : public ConversionStep {
 public:
  explicit LocalGridStep(LocalGrid grid, bool zonePrefix) : grid_(grid), zonePrefix_(zonePrefix) {}
  std::unique_ptr<ConversionStep> Clone() const override { return std::make_unique<LocalGridStep>(*this); }
  Refusal Forward(StepPoint& point) const override;
  Refusal Inverse(StepPoint& point) const override;

 private:
  LocalGrid grid_;
  bool zonePrefix_;
};

// The Bursa-Wolf transformation from one datum to another; the inverse
// solves its 3 × 3 system, so a round trip closes to rounding (1e-9 m).
class DatumShiftStep final : public ConversionStep {
 public:
  DatumShiftStep(const SevenParams& params, RotationConvention convention)
      : params_(params), convention_(convention) {}
  std::unique_ptr<ConversionStep> Clone() const override { return std::make_unique<DatumShiftStep>(*this); }
  Refusal Forward(StepPoint& point) const override;
  Refusal Inverse(StepPoint& point) const override;

 private:
  SevenParams params_;
  RotationConvention convention_;
};

}  // namespace tarnwell

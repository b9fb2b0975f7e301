// A conversion from one coordinate system to another, composed once as an
// ordered list of steps (engine/ConversionStep.h).
//
// Each side is a chain of steps up from earth-centred coordinates: the
// geocentric step on its ellipsoid, then for a "Plan" side its projection
// and its local grid. A point goes down the source's chain to where the two
// chains meet and up the target's: to earth-centred coordinates when a datum
// transformation lies between them, otherwise to the highest level the two
// sides share (one ellipsoid; one height system; one projection). Normal
// heights are one more step of a side's chain, at the geodetic level: two
// sides with the same normal heights meet above it and need none.
//
// A plan reads the three texts of a source point once, converts in numbers
// and writes the three target texts once. It never looks at any settings, so
// a conversion on a worker thread is safe however the window's settings
// change. It is not shared between threads: each thread converts with its
// own copy (a copy makes its own PROJ objects, and shares the geoid model,
// read once when the plan is made).
#pragma once

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "engine/AngleText.h"
#include "engine/ConversionStep.h"
#include "engine/CoordSettings.h"
#include "engine/CoordinateSystem.h"
#include "engine/Points.h"
#include "engine/Refusal.h"
#include "tables/FixedDecimalText.h"

namespace tarnwell {

// A converted point, in the target coordinate type.
using TargetPoint = std::variant<GeodeticPoint, CartesianPoint, PlanePoint>;

// The three values of a point of `system` read from its texts (blanks
// around them ignored): for "LB", B and L in the system's angle format, as
// decimal degrees, and h; for the other types three numbers. False, with
// `values` untouched, when any does not read.
bool ReadPointValues(const CoordinateSystem& system, std::string_view first, std::string_view second,
                     std::string_view third, std::array<double, 3>& values);

class ConversionPlan {
 public:
  // The plan from `source` to `target`, through `datum` when it is given;
  // refused when the choice of ellipsoids is not allowed (with a datum
  // transformation they must differ, and be its pair either way round;
  // without one they must be the same), when an ellipsoid is missing or
  // unusable, when a projection is refused, when a local grid is unusable
  // or when normal heights have no usable geoid model or anomaly fit.
  // Output numbers are written with `outputDecimals` (0..15), the last piece
  // of an angle with `angleDecimals`.
  static Refusal Make(const CoordinateSystem& source, const CoordinateSystem& target,
                      const DatumTransformation* datum, int outputDecimals, int angleDecimals,
                      std::optional<ConversionPlan>& plan);
  // The plan the settings describe.
  static Refusal FromSettings(const CoordSettings& settings, std::optional<ConversionPlan>& plan);

  ConversionPlan(const ConversionPlan& other);
  ConversionPlan& operator=(const ConversionPlan& other);
  ConversionPlan(ConversionPlan&&) noexcept = default;
  ConversionPlan& operator=(ConversionPlan&&) noexcept = default;
  ~ConversionPlan() = default;

  // True when the two sides are one system in one format: the plan only
  // reads and writes the values again.
  bool SameSystem() const { return source_ == target_ && !throughDatum_; }

  // Converts a point given by the three texts of the source type (blanks
  // around them ignored). A refusal leaves `target` as it was.
  Refusal Convert(std::string_view first, std::string_view second, std::string_view third,
                  TargetPoint& target) const;
  // Converts the values of a point in place (B, L in decimal degrees); a
  // refusal leaves them as they were.
  Refusal ConvertValues(StepPoint& point) const;

  // Appends the target texts, separated by `separator`: angles in the
  // target angle format, every other value a number; each rounded to the
  // output decimals, the last piece of an angle to the angle decimals.
  void AppendTexts(const TargetPoint& point, char separator, std::string& text) const;
  std::array<std::string, 3> Texts(const TargetPoint& point) const;
  // Appends the text of value 0, 1 or 2 of the point.
  void AppendValueText(const TargetPoint& point, int index, std::string& text) const;

 private:
  // One step of the plan: its forward or its inverse.
  struct Stage {
    std::unique_ptr<ConversionStep> step;
    bool inverse;
  };

  ConversionPlan() = default;

  // Why the source's first text does not read, where that can be said.
  std::string UnreadableDetail(std::string_view first) const;

  CoordinateSystem source_, target_;
  bool throughDatum_ = false;
  // A geodetic source that goes down to earth-centred coordinates reads
  // with the message of that road.
  RefusalReason unreadable_ = RefusalReason::Format;
  int outputDecimals_ = kMaxFixedDecimals;
  int angleDecimals_ = kMaxFixedDecimals;
  std::vector<Stage> stages_;
};

// The two ellipsoids between which datum parameters are estimated: the
// settings' source and target ellipsoids, which must differ.
struct EllipsoidPair {
  Ellipsoid source, target;
};
Refusal EllipsoidPairOf(const CoordSettings& settings, std::optional<EllipsoidPair>& pair);

}  // namespace tarnwell

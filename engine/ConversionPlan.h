// A conversion, fixed once from a snapshot of the settings: the route the
// pair of coordinate types (or the seven-parameter switch) calls for, the
// ellipsoids, the angle formats, the datum parameters and the map projection.
//
// A plan reads the three texts of a source point once, converts in numbers
// and writes the three target texts once. It never looks at the settings
// again, so a conversion on a worker thread is safe however the window's
// settings change. It is not shared between threads: each thread converts
// with its own copy (a copy makes its own PROJ objects).
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "engine/AngleText.h"
#include "engine/CoordSettings.h"
#include "engine/Ellipsoid.h"
#include "engine/Points.h"
#include "engine/PlaneProjection.h"
#include "tables/FixedDecimalText.h"

namespace tarnwell {

enum class ConversionSide { Source, Target };

// What the pair of coordinate types (or the seven-parameter switch) calls for.
// PlanToPlan is the four-parameter switch's own: from the projection's grid
// to the local grid.
enum class Route { SevenParams, LBToSpace, LBToPlan, SpaceToLB, PlanToLB, PlanToPlan, SameLB, NoConversion };

// Why a point was refused: one of the engine's fixed message texts; empty
// when the point was converted.
using Refusal = std::string_view;

// A geodetic point that does not read: on the way from the source to
// earth-centred coordinates the message has no final full stop, everywhere
// else it has one.
constexpr Refusal kSourceFormatWrong = "坐标格式错误,请检查";
constexpr Refusal kFormatWrong = "坐标格式错误,请检查.";

// A converted point, in the target coordinate type.
using TargetPoint = std::variant<GeodeticPoint, CartesianPoint, PlanePoint>;

// The three values of a source point read from its texts (blanks around
// them ignored), as every conversion reads them: for a geodetic source B and
// L in `angleFormat`, as decimal degrees, and h; for the other types three
// numbers. False, with `values` untouched, when any does not read.
bool ReadSourceValues(bool geodetic, AngleFormat angleFormat, std::string_view first, std::string_view second,
                      std::string_view third, std::array<double, 3>& values);

class ConversionPlan {
 public:
  // The plan for the settings. nullopt, with its message shown, when the
  // choice of ellipsoids is not allowed (with the seven-parameter switch they
  // must differ, without it they must be the same), when an ellipsoid the
  // route needs is missing or unusable, when the projection is refused, or
  // when the four parameters or the height fit of a plane route are unusable.
  // A route without a conversion (SameLB, NoConversion) needs nothing more.
  static std::optional<ConversionPlan> FromSettings(const CoordSettings& settings);

  // The plan of the datum transformation between the two ellipsoids, as the
  // parameter estimation needs it: the settings with the switch on.
  static std::optional<ConversionPlan> ForDatumPair(const CoordSettings& settings);

  Route route() const { return route_; }
  const SevenParams& sevenParams() const { return sevenParams_; }
  const Ellipsoid& ellipsoid(ConversionSide side) const;
  AngleFormat angleFormat(ConversionSide side) const;

  // Converts a point given by the three texts of the source type (blanks
  // around them ignored). A refusal leaves `target` as it was.
  Refusal Convert(std::string_view first, std::string_view second, std::string_view third,
                  TargetPoint& target) const;

  // Appends the target texts, separated by `separator`: angles in the
  // target angle format, every other value a number; each rounded to the
  // output decimals of the settings.
  void AppendTexts(const TargetPoint& point, char separator, std::string& text) const;
  std::array<std::string, 3> Texts(const TargetPoint& point) const;

 private:
  ConversionPlan() = default;

  // From the projection's grid to the local grid and back: the height fit at
  // the projection's grid position, the four parameters. Nothing without the
  // four-parameter switch.
  void ToLocalGrid(PlanePoint& point) const;
  void FromLocalGrid(PlanePoint& point) const;
  // Appends the text of value 0, 1 or 2 of the point.
  void AppendValueText(const TargetPoint& point, int index, std::string& text) const;

  Route route_ = Route::NoConversion;
  AngleFormat sourceAngleFormat_ = AngleFormat::DMS;
  AngleFormat targetAngleFormat_ = AngleFormat::DMS;
  int outputDecimals_ = kMaxFixedDecimals;
  std::optional<Ellipsoid> sourceEllipsoid_;
  std::optional<Ellipsoid> targetEllipsoid_;
  SevenParams sevenParams_;
  bool useFourParams_ = false;
  FourParams fourParams_;
  HeightFit heightFit_;
  std::optional<PlaneProjection> projection_;
};

}  // namespace tarnwell

// The settings as text: one table of fields that the settings store, the
// parameter files and the command-line tool all read and write with. Each
// field has its key, the option that sets it on the command line (where one
// does), and one reader that refuses a text that is not wholly a value of
// the field's type, not one of its keywords, or outside its range
// (engine/SettingRanges.h), so a value refused in one place is refused in all.
//
// Values are written as text: numbers in their shortest form that reads
// back to the same double, switches "true" or "false", enumerations by their
// keywords, a projection parameter the projection does not take as "".
#pragma once

#include <functional>
#include <span>
#include <string>
#include <string_view>

#include "engine/CoordSettings.h"

namespace tarnwell {

enum class FieldScope {
  Work,        // the work at hand: types, angle formats, file format, decimals
  Parameters,  // what a parameter file keeps: ellipsoids, projections, datum and local grid
};

struct SettingField {
  std::string_view key;     // "sourceEllipsoid", "projection.centralMeridian", "seven.dX", ...
  std::string_view option;  // "--lon0"; empty where no option sets the field alone
  FieldScope scope;
  int since;                // the parameter-file version that brought the key
  std::function<std::string(const CoordSettings&)> write;
  std::function<bool(std::string_view, CoordSettings&)> read;  // false, nothing changed, for a bad text
  // The projection parameter the field holds, so that a front end can ask
  // whether the projection takes it (UsesParameter); nullptr for any other field.
  ProjectionParameter parameter = nullptr;
};

// Every field, in the order parameter files write them.
std::span<const SettingField> SettingFields();

// nullptr when there is no such field.
const SettingField* FindSettingField(std::string_view key);
const SettingField* FindSettingOption(std::string_view option);

// The record a key belongs to, taken whole or not at all by a store: the
// part of the key before its first "." ("projection", "seven"), or the key.
std::string_view FieldRecord(std::string_view key);

}  // namespace tarnwell

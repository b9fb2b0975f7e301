// Parameter files: a set of transformation parameters kept in a text file
// of its own, to be opened again in a later session or on another computer.
//
// The file holds the fields of the settings codec that are parameters
// (engine/SettingsCodec.h): the ellipsoids, the projections with their zone
// options and plane heights, the seven parameters with their convention and
// the pair of ellipsoids they were stated for, the four parameters and the
// height fit, the geoid model (its name or its file's path) and the anomaly
// fit, with the switches that apply them; not the coordinate types, height
// systems, angle formats or file format, which belong to the work at hand. It is UTF-8
// text, one `key=value` a line; a line beginning with "#" and an empty line
// are comments. The first key is `version`, the format's version (3; files of
// version 2 are still read, without heights, and files of version 1, their
// seven parameters stated from their source to their target ellipsoid). Numbers are written in their shortest form that
// reads back to the same double, so a set saved and opened again converts bit
// for bit as before.
//
//   # Tarnwell 参数文件
//   version=3
//   sourceEllipsoid=WGS84
//   projection.centralMeridian=117
//   seven.dX=-15.415
//   ...
//
// Every key must appear exactly once; the value is the text after the first
// "=", taken as it stands.
#pragma once

#include <optional>
#include <string>

#include "engine/CoordSettings.h"

namespace tarnwell {

// The file's text for the parameters of `settings`.
std::string ParameterFileText(const CoordSettings& settings);

// Writes the parameter file through a temporary file renamed on success;
// false, with the message shown, when it could not be written (the file at
// `path` then keeps what it held).
bool WriteParameterFile(const std::string& path, const CoordSettings& settings);

// `base` with the parameters of the file at `path`; nothing when the file
// cannot be read, or has an unknown version, an unknown, repeated or missing
// key or a bad value: the message, naming the line where there is one, is then
// shown. The caller assigns the result, so a refused file changes nothing.
std::optional<CoordSettings> ReadParameterFile(const std::string& path, const CoordSettings& base);

}  // namespace tarnwell

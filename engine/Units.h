// The units in which surveyors state small angles and ratios.
#pragma once

#include <numbers>

namespace tarnwell {

inline constexpr double kArcSecondsPerRadian = 180 * 3600 / std::numbers::pi;
inline constexpr double kPpm = 1e6;  // parts per million in a ratio of 1

}  // namespace tarnwell

// The user's own ellipsoids: a table of the same form as ellips.csv in the
// program's configuration folder, listed after the shipped ellipsoids.
#pragma once

#include <QString>
#include <span>

#include "tables/EllipsoidCatalogue.h"

namespace tarnwell {

// <configuration folder>/user-ellips.csv.
QString UserEllipsoidTablePath();

// Fills the ellipsoid catalogue from the shipped table and the user's.
void LoadEllipsoids();

// Replaces the user table with `records`: written to a temporary file that
// takes the table's name only once it is complete. False, with the table
// unchanged, when it cannot be written.
bool SaveUserEllipsoids(std::span<const EllipsoidRecord> records);

}  // namespace tarnwell

// The projection list as the projection dialog shows it: the catalogue
// sorted by list text, equal texts in file order.
#pragma once

#include <vector>

#include "engine/CoordSettings.h"

namespace tarnwell::cli {

// The catalogue entries in list order; the index is the list position.
std::vector<const ProjectionParams*> SortedProjectionList();

}  // namespace tarnwell::cli

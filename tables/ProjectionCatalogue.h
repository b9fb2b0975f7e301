// The projection catalogue: the map projections the projection dialog offers,
// read from projs.csv beside the program.
//
// A line of projs.csv: "key","description". A row's zero-based line number
// is its listIndex; the file is kept in the order of the sorted projection
// list (ListTextLess), so that a line number is also a list position. The
// default parameters come from the table of supported projections by key.
#pragma once

#include <string>
#include <vector>

#include "tables/ProjectionParams.h"

namespace tarnwell {

using ProjectionCatalogue = std::vector<ProjectionParams>;

// The process-wide catalogue, in file order.
ProjectionCatalogue& TheProjectionCatalogue();

// Empties and refills the catalogue; false, with the catalogue unchanged,
// when the file cannot be opened. A line without two quoted texts gives no
// entry but still counts for the line numbers.
bool LoadProjectionCatalogue(const std::string& path);

// Sets the parameters and the zone fields of an entry to the defaults of its
// key: no value for every parameter the projection does not take, and for
// every parameter of a projection that is not supported.
void ProjectionDefaults(ProjectionParams& entry);

// The text a projection shows in the list: key, a comma, description.
std::string ProjectionListText(const ProjectionParams& entry);

}  // namespace tarnwell

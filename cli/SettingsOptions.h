// The SETTINGS options of tarnwell-cli, written into CoordSettings.
#pragma once

#include <string>

#include "cli/CommandLine.h"

namespace tarnwell::cli {

// Applies --tables first, then --params (a saved parameter file; exit
// status 1 with the core's message when it is refused), then --projection, then the other options in the
// order given (so --lon0 and the like override the projection's defaults),
// then the flags. With zones and no --zone, the zone is the one that holds
// the central meridian (--lon0 or the projection's). An option the chosen
// projection does not use is refused. Returns kExitSuccess, or the exit
// status with `error` set. --threads and --height-fit go into `options`.
ExitStatus ApplySettingsOptions(const CommandLine& line, ToolOptions& options, std::string& error);

// Loads projs.csv from the table directory; false with `error` set.
bool LoadProjections(std::string& error);

}  // namespace tarnwell::cli

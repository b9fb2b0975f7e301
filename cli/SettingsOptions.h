// The SETTINGS options of tarnwell-cli, written into CoordSettings.
//
// An option that sets one field of the settings is the settings codec's
// (engine/SettingsCodec.h): its reader, with its keywords and its range,
// judges the value. The composite options (--seven, --seven-inverse, --four)
// read each of their numbers with the field of that number. The projection
// options describe the target's projection, or the only "Plan" side's; the
// same options with "from-" after the dashes give the source a projection of
// its own (a change of zone).
#pragma once

#include <string>
#include <string_view>

#include "cli/CommandLine.h"

namespace tarnwell::cli {

// True for an option that takes a value, and for a flag that takes none.
bool TakesValue(std::string_view option);
bool IsFlag(std::string_view option);

// Applies --tables first (and reads the ellipsoid table), then --params (a
// saved parameter file; exit status 1 with the core's message when it is
// refused), then --projection and --from-projection, then the other options
// in the order given (so --lon0 and the like override the projection's
// defaults), then the flags. With zones and no --zone, the zone is the one
// that holds the central meridian. An option the projection of its side does
// not use is refused. Returns kExitSuccess, or the exit status with `error`
// set. --threads and --height-fit go into `options`.
ExitStatus ApplySettingsOptions(const CommandLine& line, ToolOptions& options, std::string& error);

// Loads projs.csv from the table directory; false with `error` set.
bool LoadProjections(std::string& error);

}  // namespace tarnwell::cli

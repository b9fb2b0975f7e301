// The commands of tarnwell-cli. Each reads CoordSettings (set from the
// options before), does what the matching page of the desktop application
// does, prints its result on stdout and returns the exit status, taken from
// the result: a refused point hands its message back in `error`; files and
// estimations show theirs through the core's message handler (stderr).
#pragma once

#include <string>
#include <vector>

#include "cli/CommandLine.h"

namespace tarnwell::cli {

using Values = std::vector<std::string>;

ExitStatus RunPoint(const Values& values, const ToolOptions& options, std::string& error);  // V1 V2 V3
ExitStatus RunFile(const Values& values, const ToolOptions& options, std::string& error);   // INPUT...
ExitStatus RunThree(const Values& values, const ToolOptions& options, std::string& error);  // B L h B2 L2 h2
ExitStatus RunSeven(const Values& values, const ToolOptions& options, std::string& error);  // FILE...
ExitStatus RunFour(const Values& values, const ToolOptions& options, std::string& error);   // FILE...
ExitStatus RunHeight(const Values& values, const ToolOptions& options, std::string& error); // FILE...
ExitStatus RunEllipsoids(const Values& values, const ToolOptions& options, std::string& error);
ExitStatus RunProjections(const Values& values, const ToolOptions& options, std::string& error);

}  // namespace tarnwell::cli

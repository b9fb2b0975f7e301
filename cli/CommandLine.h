// The command line of tarnwell-cli: a command, SETTINGS options and values.
//
// An argument that is one of the options takes the next argument as its
// value, whatever that begins with; a flag (--zone-prefix, --auto-zone,
// --south and their --from- forms) takes none; any other argument is a value, so negative numbers and
// angles such as -33:52:7.68 need no quoting. "--" ends the options:
// everything after it is a value.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "batch/CoordinateFile.h"
#include "estimate/FourParameters.h"
#include "batch/VectorExport.h"
#include "estimate/HeightFit.h"
#include "estimate/SevenParameters.h"

namespace tarnwell::cli {

// Exit status of the tool.
enum ExitStatus : int {
  kExitSuccess = 0,
  kExitRefused = 1,  // the core refused or failed; its message is on stderr
  kExitUsage = 2,    // the command line is wrong; a usage text is on stderr
};

// What the options set besides the conversion settings.
struct ToolOptions {
  int threads = 0;  // of a file conversion; 0 for every core
  std::string output;  // --output: a file or a folder for the converted files
  BadLines badLines = BadLines::Stop;
  bool factors = false;  // --factors: a point's grid factors on a second line
  // The surface of a height fit (`four`, `height`); none: the automatic choice.
  std::optional<HeightModel> heightModel;
  DatumModel datumModel = DatumModel::Full;         // of the seven-parameter estimation
  PlaneModel planeModel = PlaneModel::Full;         // of the four-parameter estimation
  std::string reportPath;                           // an estimate's report, .html or .csv; empty for none
  std::optional<ExportFormat> exportFormat;  // --export: through GDAL instead of a text file
};

struct CommandLine {
  std::string command;
  std::vector<std::pair<std::string, std::string>> options;  // in the order given
  std::vector<std::string> flags;                             // in the order given
  std::vector<std::string> values;
};

// Splits argv; false with `error` set when the command line is malformed.
bool ParseCommandLine(int argc, const char* const argv[], CommandLine& line, std::string& error);

// The text --help prints and a usage error follows with.
const char* UsageText();

}  // namespace tarnwell::cli

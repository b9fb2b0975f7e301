// --report FILE: the calibration report of an estimate, written in the
// format the file's name ends with (.html, .pdf or .csv).
#pragma once

#include <string>
#include <vector>

#include "estimate/CalibrationReport.h"
#include "report/ResidualDrawing.h"

namespace tarnwell::cli {

// Whether `path` names no report or one of a known format; checked before
// the estimate, so that a wrong name costs no work.
bool ReportPathUsable(const std::string& path, std::string& error);

// Writes the report to `path` with the residual plot of `plotted` (in HTML
// and PDF); true at once for no path. False, the message shown, when the
// file cannot be written.
bool WriteReport(const std::string& path, const CalibrationReport& report,
                 std::vector<ResidualDrawing::Point> plotted = {});

}  // namespace tarnwell::cli

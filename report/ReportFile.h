// A calibration report written to a file in the format its name ends with:
// .html or .htm (the residual plot inside, as PNG data), .pdf (that HTML
// printed on A4) or .csv (no plot). Painting the plot and printing need a
// QGuiApplication; the CSV does not.
#pragma once

#include <string>

#include "estimate/CalibrationReport.h"
#include "report/ResidualDrawing.h"

namespace tarnwell {

enum class ReportFormat { Html, Pdf, Csv, Unknown };

// By the name's ending, in either case.
ReportFormat ReportFormatOf(const std::string& path);

// "报告文件须以 .html、.pdf 或 .csv 结尾: PATH"
std::string UnknownReportEndingMessage(const std::string& path);

// Writes the report to `path` (bytes in the file system's encoding) under a
// temporary name, then renames it; the plot goes in unless it has no points.
// False, with the message shown, when the ending is none of the three or the
// file cannot be written ("报告无法写入: PATH").
bool WriteReport(const std::string& path, const CalibrationReport& report, const ResidualDrawing& plot);

}  // namespace tarnwell

// The report a surveyor hands over with an estimate: both coordinate
// systems, the parameters with their standard deviations, σ0 and the degrees
// of freedom, the residual table with its flags, the input files and the
// date. Held in a neutral form that renders as HTML or CSV here; the desktop
// program prints the HTML (with its residual plot) to PDF.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "engine/CoordSettings.h"
#include "estimate/HeightAnomalies.h"
#include "estimate/PlaneFitReport.h"
#include "estimate/SevenParameters.h"

namespace tarnwell {

struct CalibrationReport {
  // One titled list of named values ("单位权中误差", "0.012 米").
  struct Section {
    std::string title;
    std::vector<std::pair<std::string, std::string>> items;
  };

  std::string title;
  std::vector<Section> sections;
  std::vector<std::string> residualHeader;
  std::vector<std::vector<std::string>> residualRows;  // every point; the last cell "超限" or empty
};

// What the report says of where the estimate came from.
struct ReportSource {
  std::vector<std::string> inputFiles;
  std::string date;  // as it should read: "2026-12-07 19:50 UTC"
};

CalibrationReport MakeSevenParameterReport(const SevenParamsEstimate& estimate, const CoordSettings& settings,
                                           const ReportSource& source);
CalibrationReport MakeLocalGridReport(const LocalGridEstimate& estimate, const CoordSettings& settings,
                                      const ReportSource& source);
// The remove-restore height fit over the settings' geoid model.
CalibrationReport MakeHeightFitReport(const AnomalyEstimate& estimate, const CoordSettings& settings,
                                      const ReportSource& source);

// A whole HTML document in UTF-8. `plotSource`, where not empty, is the
// address of the residual plot's image (a file name or a data: URL).
std::string ReportHtml(const CalibrationReport& report, std::string_view plotSource = {});
// Comma-separated lines in UTF-8 after a byte-order mark: the sections as name,value lines under
// their titles, then the residual table; fields quoted where they need it.
std::string ReportCsv(const CalibrationReport& report);

// Writes `text` to `path` under a temporary name, then renames it; false,
// with "报告无法写入: PATH" shown, when it cannot.
bool WriteReportFile(const std::string& path, std::string_view text);

}  // namespace tarnwell

#include "cli/ReportOutput.h"

#include <QGuiApplication>
#include <clocale>
#include <iostream>

#include "report/ReportFile.h"

namespace tarnwell::cli {

bool ReportPathUsable(const std::string& path, std::string& error) {
  if (path.empty() || ReportFormatOf(path) != ReportFormat::Unknown) return true;
  error = UnknownReportEndingMessage(path);
  return false;
}

bool WriteReport(const std::string& path, const CalibrationReport& report,
                 std::vector<ResidualDrawing::Point> plotted) {
  if (path.empty()) return true;
  const ResidualDrawing plot(std::move(plotted));
  if (ReportFormatOf(path) == ReportFormat::Csv) return tarnwell::WriteReport(path, report, plot);
  // Painting text needs a QGuiApplication. The tool makes one only here, on
  // the offscreen platform unless told otherwise, so that it needs no display.
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  // Qt takes the user's locale for the C library; the tool's numbers keep the C one.
  const std::string locale = std::setlocale(LC_ALL, nullptr);
  int argc = 1;
  char name[] = "tarnwell-cli";
  char* argv[] = {name, nullptr};
  // Qt's own notes (a missing runtime folder and the like) are no concern of the
  // tool's user; what goes wrong is told by the tool's own messages.
  qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
    if (type == QtCriticalMsg || type == QtFatalMsg) std::cerr << text.toStdString() << '\n';
  });
  const QGuiApplication application(argc, argv);
  std::setlocale(LC_ALL, locale.c_str());
  return tarnwell::WriteReport(path, report, plot);
}

}  // namespace tarnwell::cli

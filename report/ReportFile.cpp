#include "report/ReportFile.h"

#include <QBuffer>
#include <QFile>
#include <QFont>
#include <QPageSize>
#include <QPdfWriter>
#include <QSaveFile>
#include <QTextDocument>
#include <QUrl>
#include <algorithm>
#include <cctype>

#include "engine/Messages.h"

namespace tarnwell {
namespace {

constexpr int kPlotWidth = 640, kPlotHeight = 420;  // pixels, whatever the window's size
constexpr int kPdfDotsPerInch = 150;

// Simplified Chinese glyphs whatever the machine's language: fonts of the
// Han script otherwise follow the locale, and may draw Japanese forms.
QFont ReportFont() {
  QFont font;
  font.setFamilies({QStringLiteral("Noto Sans CJK SC"), QStringLiteral("Source Han Sans SC"),
                    QStringLiteral("WenQuanYi Micro Hei"), QStringLiteral("Microsoft YaHei"),
                    QStringLiteral("PingFang SC")});
  return font;
}

std::string PngDataUrl(const QImage& image) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "PNG");
  return "data:image/png;base64," + bytes.toBase64().toStdString();
}

// Printed from the HTML on A4, through a file saved whole or not at all.
bool WritePdf(const std::string& path, const std::string& html, const QImage& plot) {
  QSaveFile file(QFile::decodeName(QByteArray::fromStdString(path)));
  if (!file.open(QIODevice::WriteOnly)) return false;
  QPdfWriter writer(&file);
  writer.setPageSize(QPageSize(QPageSize::A4));
  writer.setResolution(kPdfDotsPerInch);
  writer.setTitle(QStringLiteral("Tarnwell 计算报告"));
  QTextDocument document;
  document.setDefaultFont(ReportFont());
  if (!plot.isNull()) document.addResource(QTextDocument::ImageResource, QUrl(QStringLiteral("plot.png")), plot);
  document.setHtml(QString::fromStdString(html));
  document.setPageSize(writer.pageLayout().paintRectPixels(writer.resolution()).size());
  document.print(&writer);
  return file.commit();
}

}  // namespace

ReportFormat ReportFormatOf(const std::string& path) {
  const std::size_t dot = path.find_last_of("./");
  if (dot == std::string::npos || path[dot] != '.') return ReportFormat::Unknown;
  std::string ending = path.substr(dot + 1);
  std::transform(ending.begin(), ending.end(), ending.begin(), [](unsigned char c) { return std::tolower(c); });
  if (ending == "html" || ending == "htm") return ReportFormat::Html;
  if (ending == "pdf") return ReportFormat::Pdf;
  if (ending == "csv") return ReportFormat::Csv;
  return ReportFormat::Unknown;
}

std::string UnknownReportEndingMessage(const std::string& path) {
  return "报告文件须以 .html、.pdf 或 .csv 结尾: " + path;
}

bool WriteReport(const std::string& path, const CalibrationReport& report, const ResidualDrawing& plot) {
  const ReportFormat format = ReportFormatOf(path);
  if (format == ReportFormat::Csv) return WriteReportFile(path, ReportCsv(report));
  if (format == ReportFormat::Unknown) {
    ShowMessage(UnknownReportEndingMessage(path));
    return false;
  }
  const QImage image = plot.points().empty() ? QImage() : plot.Image(kPlotWidth, kPlotHeight, ReportFont());
  if (format == ReportFormat::Html)
    return WriteReportFile(path, ReportHtml(report, image.isNull() ? std::string() : PngDataUrl(image)));
  if (WritePdf(path, ReportHtml(report, image.isNull() ? std::string() : "plot.png"), image)) return true;
  ShowMessage("报告无法写入: " + path);
  return false;
}

}  // namespace tarnwell

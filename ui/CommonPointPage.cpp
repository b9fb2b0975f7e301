#include "ui/CommonPointPage.h"

#include <QBuffer>
#include <QDateTime>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QImage>
#include <QPageSize>
#include <QPdfWriter>
#include <QSaveFile>
#include <QTextDocument>
#include <QUrl>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "engine/Messages.h"
#include "ui/FormRows.h"
#include "ui/QtText.h"

namespace tarnwell {
namespace {

QPushButton* MakeButton(const QString& text, const QString& objectName) {
  auto* button = new QPushButton(text);
  button->setObjectName(objectName);
  return button;
}

}  // namespace

CommonPointPage::CommonPointPage(const QString& computeText, const QStringList& coordinateHeaders,
                                 const QStringList& residualHeaders, QWidget* parent)
    : QWidget(parent) {
  table_ = new CommonPointTable(coordinateHeaders, residualHeaders);
  connect(table_, &CommonPointTable::participationChanged, this,
          [this](std::size_t point, bool participates) { SetParticipates(point, participates); });
  summary_ = new QLabel;
  summary_->setObjectName(QStringLiteral("fitSummary"));
  summary_->setTextInteractionFlags(Qt::TextSelectableByMouse);

  QPushButton* import = MakeButton(QStringLiteral("导入文件"), QStringLiteral("importButton"));
  QPushButton* compute = MakeButton(computeText, QStringLiteral("computeButton"));
  QPushButton* clear = MakeButton(QStringLiteral("清空"), QStringLiteral("clearButton"));
  QPushButton* remove = MakeButton(QStringLiteral("删除"), QStringLiteral("deleteButton"));
  QPushButton* report = MakeButton(QStringLiteral("导出报告"), QStringLiteral("reportButton"));
  connect(report, &QPushButton::clicked, this, &CommonPointPage::OnExportReport);
  plot_ = new ResidualPlot;
  connect(import, &QPushButton::clicked, this, &CommonPointPage::OnImport);
  connect(compute, &QPushButton::clicked, this, &CommonPointPage::OnCompute);
  connect(clear, &QPushButton::clicked, this, &CommonPointPage::OnClear);
  connect(remove, &QPushButton::clicked, this, &CommonPointPage::OnDelete);

  buttons_ = new QVBoxLayout;
  for (QPushButton* button : {import, compute, remove, clear, report}) buttons_->addWidget(button);
  buttons_->addStretch();

  auto* pointColumn = new QVBoxLayout;
  pointColumn->addWidget(summary_);
  // The table keeps the larger share: the plot is an overview.
  pointColumn->addWidget(table_, 3);
  pointColumn->addWidget(plot_, 2);
  auto* layout = new QHBoxLayout(this);
  layout->addLayout(pointColumn, 4);
  layout->addLayout(buttons_, 1);
}

void CommonPointPage::AddOption(const QString& labelText, QWidget* control) {
  buttons_->insertWidget(1, control);
  // A check box carries its own text.
  if (!labelText.isEmpty()) buttons_->insertWidget(1, LabelFor(labelText, control));
}

void CommonPointPage::OnImport() {
  const QString path = chooseFile_(this);
  if (!path.isEmpty()) ImportFile(path);
}

void CommonPointPage::ImportFile(const QString& path) {
  if (!Import(ToStdPath(path))) return;
  importedFiles_.push_back(ToStd(path));
  ShowPoints();
  emit pointsImported();
}

void CommonPointPage::OnClear() {
  ClearPoints();
  importedFiles_.clear();
  ShowPoints();
}

void CommonPointPage::OnDelete() {
  const std::vector<std::size_t> selected = table_->SelectedPoints();
  if (selected.empty()) return;
  RemovePoints(selected);
  ShowPoints();
}

void CommonPointPage::ShowPoints() {
  table_->SetPoints(Rows());
  summary_->clear();
  plot_->SetPoints({});
  estimateShown_ = false;
}

void CommonPointPage::ShowResult(const std::vector<CommonPointTable::Residuals>& residuals, const QString& summary,
                                 const std::vector<bool>& flagged, std::vector<ResidualPlot::Point> plotted) {
  table_->SetResiduals(residuals, flagged);
  summary_->setText(summary);
  plot_->SetPoints(std::move(plotted));
  estimateShown_ = true;
}

void CommonPointPage::OnExportReport() {
  if (!estimateShown_) {
    ShowMessage("请先计算, 再导出报告。");
    return;
  }
  const QString path = chooseReport_(this);
  if (!path.isEmpty()) ExportReport(path);
}

namespace {

// The plot as the report shows it, at a fixed size whatever the window's.
QImage PlotImage(const ResidualPlot& shown) {
  ResidualPlot plot;
  plot.SetPoints(shown.points());
  plot.resize(640, 420);
  QImage image(plot.size(), QImage::Format_ARGB32);
  image.fill(Qt::white);
  plot.render(&image);
  return image;
}

QByteArray PngBytes(const QImage& image) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "PNG");
  return bytes;
}

// Printed from the HTML on A4, through a file saved whole or not at all.
bool WritePdf(const QString& path, const std::string& html, const QImage& plot) {
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly)) return false;
  QPdfWriter writer(&file);
  writer.setPageSize(QPageSize(QPageSize::A4));
  writer.setResolution(150);
  writer.setTitle(QStringLiteral("Tarnwell 计算报告"));
  QTextDocument document;
  document.addResource(QTextDocument::ImageResource, QUrl(QStringLiteral("plot.png")), plot);
  document.setHtml(ToQt(html));
  document.setPageSize(writer.pageLayout().paintRectPixels(writer.resolution()).size());
  document.print(&writer);
  return file.commit();
}

}  // namespace

bool CommonPointPage::ExportReport(const QString& path) {
  if (!estimateShown_) {
    ShowMessage("请先计算, 再导出报告。");
    return false;
  }
  const QDateTime now = QDateTime::currentDateTimeUtc();
  const CalibrationReport report =
      MakeReport({importedFiles_, ToStd(now.toString(QStringLiteral("yyyy-MM-dd HH:mm 'UTC'")))});
  const QString suffix = QFileInfo(path).suffix().toLower();
  if (suffix == QStringLiteral("csv")) return WriteReportFile(ToStdPath(path), ReportCsv(report));
  const QImage plot = PlotImage(*plot_);
  if (suffix == QStringLiteral("html") || suffix == QStringLiteral("htm")) {
    const std::string source = "data:image/png;base64," + PngBytes(plot).toBase64().toStdString();
    return WriteReportFile(ToStdPath(path), ReportHtml(report, source));
  }
  if (suffix == QStringLiteral("pdf")) {
    if (WritePdf(path, ReportHtml(report, "plot.png"), plot)) return true;
    ShowMessage("报告无法写入: " + ToStd(path));
    return false;
  }
  ShowMessage("报告文件须以 .html、.pdf 或 .csv 结尾: " + ToStd(path));
  return false;
}

}  // namespace tarnwell

#include "ui/CommonPointPage.h"

#include <QDateTime>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSplitter>
#include <QVBoxLayout>

#include "engine/Messages.h"
#include "report/ReportFile.h"
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

  // The plot beside the table, not under it: below the summary there is
  // little height, and the plot wants a nearly square room. The table keeps
  // the larger share; the divider moves.
  auto* residuals = new QSplitter(Qt::Horizontal);
  residuals->setObjectName(QStringLiteral("residualSplitter"));
  residuals->setChildrenCollapsible(false);
  residuals->addWidget(table_);
  residuals->addWidget(plot_);
  residuals->setStretchFactor(0, 3);
  residuals->setStretchFactor(1, 2);
  auto* pointColumn = new QVBoxLayout;
  pointColumn->addWidget(summary_);
  pointColumn->addWidget(residuals, 1);
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

bool CommonPointPage::ExportReport(const QString& path) {
  if (!estimateShown_) {
    ShowMessage("请先计算, 再导出报告。");
    return false;
  }
  const QDateTime now = QDateTime::currentDateTimeUtc();
  const CalibrationReport report =
      MakeReport({importedFiles_, ToStd(now.toString(QStringLiteral("yyyy-MM-dd HH:mm 'UTC'")))});
  return WriteReport(ToStdPath(path), report, plot_->drawing());
}

}  // namespace tarnwell

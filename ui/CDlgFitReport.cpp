#include "ui/CDlgFitReport.h"

#include <QApplication>
#include <QClipboard>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "ui/QtText.h"

namespace tarnwell {
namespace {

// Residuals in metres to a tenth of a millimetre.
QString Metres(double value) { return QString::number(value, 'f', 4); }

}  // namespace

CDlgFitReport::CDlgFitReport(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("fitReportDialog"));
  setWindowTitle(QStringLiteral("七参数拟合残差"));

  summary_ = new QLabel;
  summary_->setObjectName(QStringLiteral("fitSummary"));
  summary_->setTextInteractionFlags(Qt::TextSelectableByMouse);

  residualTable_ = new QTableWidget(0, 5);
  residualTable_->setObjectName(QStringLiteral("residualTable"));
  residualTable_->setHorizontalHeaderLabels({QStringLiteral("点名"), QStringLiteral("vX(米)"), QStringLiteral("vY(米)"),
                                             QStringLiteral("vZ(米)"), QStringLiteral("三维残差(米)")});
  residualTable_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  residualTable_->verticalHeader()->setVisible(false);
  residualTable_->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);

  auto* copy = new QPushButton(QStringLiteral("复制到剪贴板"));
  copy->setObjectName(QStringLiteral("copyButton"));
  copy->setAutoDefault(false);
  connect(copy, &QPushButton::clicked, this, &CDlgFitReport::OnCopy);
  auto* ok = new QPushButton(QStringLiteral("确定"));
  ok->setObjectName(QStringLiteral("okButton"));
  ok->setDefault(true);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(copy);
  buttons->addStretch();
  buttons->addWidget(ok);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(summary_);
  layout->addWidget(residualTable_, 1);
  layout->addLayout(buttons);
  resize(640, 420);
}

void CDlgFitReport::SetReport(const FitReport& report) {
  QString summary = QStringLiteral("公共点数=%1    多余观测数=%2\n三维残差均方根(RMS)=%3 米    最大三维残差=%4 米 (点名: %5)")
                        .arg(report.pointCount)
                        .arg(report.redundancy)
                        .arg(Metres(report.rms3D), Metres(report.largest3D), ToQt(report.largestName));
  if (report.redundancy < 0) summary += QStringLiteral("\n公共点少于3个，七参数不能唯一确定。");
  summary_->setText(summary);

  residualTable_->setRowCount(static_cast<int>(report.points.size()));
  int row = 0;
  for (const PointResidual& point : report.points) {
    const QString cells[5] = {ToQt(point.name), Metres(point.vX), Metres(point.vY), Metres(point.vZ), Metres(point.v3D)};
    for (int column = 0; column < 5; ++column) {
      auto* item = new QTableWidgetItem(cells[column]);
      if (column > 0) item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
      residualTable_->setItem(row, column, item);
    }
    ++row;
  }
}

QString CDlgFitReport::ReportText() const {
  QStringList lines;
  QStringList header;
  for (int column = 0; column < residualTable_->columnCount(); ++column) {
    header << residualTable_->horizontalHeaderItem(column)->text();
  }
  lines << header.join(QLatin1Char('\t'));
  for (int row = 0; row < residualTable_->rowCount(); ++row) {
    QStringList cells;
    for (int column = 0; column < residualTable_->columnCount(); ++column) cells << residualTable_->item(row, column)->text();
    lines << cells.join(QLatin1Char('\t'));
  }
  lines << summary_->text().split(QLatin1Char('\n'));
  return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

void CDlgFitReport::OnCopy() { QApplication::clipboard()->setText(ReportText()); }

}  // namespace tarnwell

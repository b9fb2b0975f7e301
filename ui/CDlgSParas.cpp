#include "ui/CDlgSParas.h"

#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "estimate/SevenParameters.h"
#include "ui/CDlgDatumTrans.h"
#include "ui/CDlgFitReport.h"
#include "ui/QtText.h"

namespace tarnwell {

CDlgSParas::CDlgSParas(CDlgDatumTrans* datumDialog, QWidget* parent) : QWidget(parent), datumDialog_(datumDialog) {
  setObjectName(QStringLiteral("sevenParameterPage"));
  fitReportDialog_ = new CDlgFitReport(this);

  commonPointList_ = new QListWidget;
  commonPointList_->setObjectName(QStringLiteral("commonPointList"));
  commonPointList_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);

  auto* import = new QPushButton(QStringLiteral("导入文件"));
  import->setObjectName(QStringLiteral("importButton"));
  auto* compute = new QPushButton(QStringLiteral("计算七参数"));
  compute->setObjectName(QStringLiteral("computeButton"));
  connect(import, &QPushButton::clicked, this, &CDlgSParas::OnImport);
  connect(compute, &QPushButton::clicked, this, &CDlgSParas::OnCompute);

  auto* buttons = new QVBoxLayout;
  buttons->addWidget(import);
  buttons->addWidget(compute);
  buttons->addStretch();

  auto* layout = new QHBoxLayout(this);
  layout->addWidget(commonPointList_, 3);
  layout->addLayout(buttons, 1);
}

void CDlgSParas::OnImport() {
  const QString path = chooseFile_(this);
  if (!path.isEmpty()) ImportFile(path);
}

void CDlgSParas::ImportFile(const QString& path) {
  if (!ImportCommonPointFile(CoordSettings::instance(), ToStdPath(path), commonPoints_)) return;
  commonPointList_->clear();
  for (const std::string& line : commonPoints_) commonPointList_->addItem(ToQt(line));
}

void CDlgSParas::OnCompute() {
  const std::optional<SevenParamsEstimate> estimate = ComputeSevenParameters(CoordSettings::instance(), commonPoints_);
  if (!estimate) return;
  CoordSettings::instance().sevenParams = estimate->params;
  fitReportDialog_->SetReport(estimate->report);
  fitReportDialog_->exec();
  datumDialog_->exec();
}

}  // namespace tarnwell

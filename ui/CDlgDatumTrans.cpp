#include "ui/CDlgDatumTrans.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

#include "engine/CoordSettings.h"
#include "engine/Messages.h"
#include "tables/NumberText.h"
#include "ui/DialogButtons.h"
#include "ui/FormRows.h"
#include "ui/QtText.h"

namespace tarnwell {
namespace {

// The seven parameters in the order the dialog shows them.
constexpr std::array<double SevenParams::*, 7> kParameters = {
    &SevenParams::dX, &SevenParams::dY, &SevenParams::dZ, &SevenParams::rX,
    &SevenParams::rY, &SevenParams::rZ, &SevenParams::scalePpm};

}  // namespace

CDlgDatumTrans::CDlgDatumTrans(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("datumDialog"));
  setWindowTitle(QStringLiteral("基准转换"));

  modelList_ = new QComboBox;
  modelList_->setObjectName(QStringLiteral("datumModel"));
  modelList_->addItem(QStringLiteral("Bursa-Wolf"));
  auto* modelLabel = new QLabel(QStringLiteral("转换模型="));
  modelLabel->setBuddy(modelList_);
  auto* modelRow = new QHBoxLayout;
  modelRow->addWidget(modelLabel);
  modelRow->addWidget(modelList_, 1);

  auto* group = new QGroupBox(QStringLiteral("七参数"));
  auto* grid = new QGridLayout(group);
  const QString labels[7] = {QStringLiteral("X平移(米)="),  QStringLiteral("Y平移(米)="),   QStringLiteral("Z平移(米)="),
                             QStringLiteral("X轴旋转(秒)="), QStringLiteral("Y轴旋转(秒)="), QStringLiteral("Z轴旋转(秒)="),
                             QStringLiteral("尺度(ppm)=")};
  const QString names[7] = {QStringLiteral("translationX"), QStringLiteral("translationY"), QStringLiteral("translationZ"),
                            QStringLiteral("rotationX"),    QStringLiteral("rotationY"),    QStringLiteral("rotationZ"),
                            QStringLiteral("scalePpm")};
  for (int i = 0; i < 7; ++i) {
    parameterEdits_[i] = AddEditRow(grid, i, labels[i], names[i]);
    FitWidthTo(parameterEdits_[i], kLongestValueSample);
  }

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(modelRow);
  layout->addWidget(group);
  layout->addLayout(MakeOkCancelRow(this, Qt::AlignLeft));
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

void CDlgDatumTrans::showEvent(QShowEvent* event) {
  if (!event->spontaneous()) OnInitDialog();
  QDialog::showEvent(event);
}

void CDlgDatumTrans::OnInitDialog() {
  const CoordSettings& settings = CoordSettings::instance();
  // The first entry equal to the model name, or none.
  modelList_->setCurrentIndex(modelList_->findText(ToQt(settings.datumModel), Qt::MatchExactly | Qt::MatchCaseSensitive));
  for (std::size_t i = 0; i < kParameters.size(); ++i) {
    parameterEdits_[i]->setText(ToQt(FormatNumber(settings.sevenParams.*kParameters[i])));
  }
}

void CDlgDatumTrans::accept() {
  // Every value must be wholly a number before any is stored.
  SevenParams params = CoordSettings::instance().sevenParams;
  for (std::size_t i = 0; i < kParameters.size(); ++i) {
    if (!ReadNumber(ToStd(parameterEdits_[i]->text()), params.*kParameters[i])) {
      ShowMessage("七参数格式错误,请检查.");
      parameterEdits_[i]->setFocus();
      return;
    }
  }
  CoordSettings::instance().sevenParams = params;
  QDialog::accept();
}

}  // namespace tarnwell

#include "ui/CDlgDatumTrans.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QShowEvent>
#include <QVBoxLayout>
#include <algorithm>
#include <iterator>

#include "engine/CoordSettings.h"
#include "engine/Messages.h"
#include "engine/Refusal.h"
#include "engine/SettingRanges.h"
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

// The convention list shows the keywords of kRotationConventions, in their
// order, each after its Chinese name.
QString ConventionText(const Keyword<RotationConvention>& convention) {
  const QString name = convention.value == RotationConvention::CoordinateFrame ? QStringLiteral("坐标框架")
                                                                               : QStringLiteral("位置矢量");
  return name + QStringLiteral(" (") + ToQt(std::string(convention.text)) + QLatin1Char(')');
}

int ConventionIndex(RotationConvention convention) {
  const auto found = std::find_if(std::begin(kRotationConventions), std::end(kRotationConventions),
                                  [convention](const Keyword<RotationConvention>& k) { return k.value == convention; });
  return static_cast<int>(found - std::begin(kRotationConventions));
}

QString PairText(const std::string& source, const std::string& target) {
  return ToQt(source) + QStringLiteral(" → ") + ToQt(target);
}

// Adds "label  widget" in `row` of the grid.
void AddRow(QGridLayout* grid, int row, const QString& label, QWidget* widget) {
  auto* rowLabel = new QLabel(label);
  rowLabel->setBuddy(widget);
  grid->addWidget(rowLabel, row, 0, Qt::AlignRight | Qt::AlignVCenter);
  grid->addWidget(widget, row, 1);
}

}  // namespace

DatumTransformation DatumForCurrentPair(const SevenParams& params, RotationConvention convention) {
  const CoordSettings& settings = CoordSettings::instance();
  DatumTransformation datum{params, convention, {}, {}};
  if (settings.sourceEllipsoid != settings.targetEllipsoid) {
    datum.sourceEllipsoid = settings.sourceEllipsoid;
    datum.targetEllipsoid = settings.targetEllipsoid;
  }
  return datum;
}

CDlgDatumTrans::CDlgDatumTrans(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("datumDialog"));
  setWindowTitle(QStringLiteral("基准转换"));

  auto* model = new QLabel(QStringLiteral("布尔莎-沃尔夫 (线性化)"));
  model->setObjectName(QStringLiteral("datumModel"));
  conventionList_ = new QComboBox;
  conventionList_->setObjectName(QStringLiteral("convention"));
  for (const Keyword<RotationConvention>& convention : kRotationConventions)
    conventionList_->addItem(ConventionText(convention));
  connect(conventionList_, &QComboBox::activated, this, &CDlgDatumTrans::ShowPair);
  pair_ = new QLabel;
  pair_->setObjectName(QStringLiteral("datumPair"));
  auto* modelGrid = new QGridLayout;
  AddRow(modelGrid, 0, QStringLiteral("转换模型="), model);
  AddRow(modelGrid, 1, QStringLiteral("旋转约定="), conventionList_);
  AddRow(modelGrid, 2, QStringLiteral("适用椭球="), pair_);
  modelGrid->setColumnStretch(1, 1);

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
    connect(parameterEdits_[i], &QLineEdit::textEdited, this, &CDlgDatumTrans::ShowPair);
  }

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(modelGrid);
  layout->addWidget(group);
  layout->addLayout(MakeOkCancelRow(this, Qt::AlignLeft));
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

void CDlgDatumTrans::showEvent(QShowEvent* event) {
  if (!event->spontaneous()) OnInitDialog();
  QDialog::showEvent(event);
}

const DatumTransformation& CDlgDatumTrans::Shown() const {
  return proposed_ ? *proposed_ : CoordSettings::instance().datum;
}

int CDlgDatumTrans::Propose(const DatumTransformation& proposed) {
  proposed_ = proposed;
  const int result = exec();
  proposed_.reset();
  return result;
}

void CDlgDatumTrans::OnInitDialog() {
  const DatumTransformation& datum = Shown();
  openingConvention_ = ConventionIndex(datum.convention);
  conventionList_->setCurrentIndex(openingConvention_);
  for (std::size_t i = 0; i < kParameters.size(); ++i) {
    openingTexts_[i] = ToQt(FormatNumber(datum.params.*kParameters[i]));
    parameterEdits_[i]->setText(openingTexts_[i]);
  }
  ShowPair();
}

bool CDlgDatumTrans::Changed() const {
  for (std::size_t i = 0; i < parameterEdits_.size(); ++i) {
    if (parameterEdits_[i]->text() != openingTexts_[i]) return true;
  }
  return conventionList_->currentIndex() != openingConvention_;
}

// The pair OK stores the set with.
void CDlgDatumTrans::ShowPair() {
  const CoordSettings& settings = CoordSettings::instance();
  const DatumTransformation& datum = Shown();
  const bool stated = !datum.sourceEllipsoid.empty() || !datum.targetEllipsoid.empty();
  pair_->setText(stated && !Changed() ? PairText(datum.sourceEllipsoid, datum.targetEllipsoid)
                                      : PairText(settings.sourceEllipsoid, settings.targetEllipsoid));
}

RotationConvention CDlgDatumTrans::ChosenConvention() const {
  return kRotationConventions[std::clamp(conventionList_->currentIndex(), 0,
                                         static_cast<int>(std::size(kRotationConventions)) - 1)]
      .value;
}

void CDlgDatumTrans::accept() {
  // Every value must be wholly a number, and every number within its range,
  // before any is stored.
  DatumTransformation datum = Shown();
  SevenParams params = datum.params;
  for (std::size_t i = 0; i < kParameters.size(); ++i) {
    if (!ReadNumber(ToStd(parameterEdits_[i]->text()), params.*kParameters[i])) {
      ShowMessage("七参数格式错误,请检查.");
      parameterEdits_[i]->setFocus();
      return;
    }
  }
  if (!DatumInRange(params)) {
    ShowMessage(MessageText({RefusalReason::DatumParams, {}}));
    return;
  }
  if (Changed()) {
    datum = DatumForCurrentPair(params, ChosenConvention());
  } else {
    datum.params = params;
  }
  CoordSettings::instance().datum = datum;
  QDialog::accept();
}

}  // namespace tarnwell

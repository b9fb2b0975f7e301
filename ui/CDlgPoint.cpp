#include "ui/CDlgPoint.h"

#include <QClipboard>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "engine/Messages.h"
#include "tables/EllipsoidCatalogue.h"
#include "ui/FormRows.h"
#include "ui/PointTable.h"
#include "ui/QtText.h"
#include "ui/UserEllipsoidTable.h"

namespace tarnwell {

CDlgPoint::CDlgPoint(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("pointPage"));
  auto* source = MakeValueGroup(QStringLiteral("输入源坐标"), {},
                                {QStringLiteral("sourceValue1"), QStringLiteral("sourceValue2"), QStringLiteral("sourceValue3")},
                                sourceValues_, &sourceLabels_);
  auto* target = MakeValueGroup(QStringLiteral("输出目的坐标"), {},
                                {QStringLiteral("targetValue1"), QStringLiteral("targetValue2"), QStringLiteral("targetValue3")},
                                targetValues_, &targetLabels_);
  source->setObjectName(QStringLiteral("sourceGroup"));
  target->setObjectName(QStringLiteral("targetGroup"));
  // Results are for reading and copying, not for typing over.
  for (QLineEdit* box : targetValues_) box->setReadOnly(true);
  for (QLineEdit* box : sourceValues_) connect(box, &QLineEdit::returnPressed, this, &CDlgPoint::OnConvert);

  convertButton_ = new QPushButton(QStringLiteral("转换"));
  convertButton_->setObjectName(QStringLiteral("convertButton"));
  connect(convertButton_, &QPushButton::clicked, this, &CDlgPoint::OnConvert);

  auto* buttons = new QVBoxLayout;
  buttons->addStretch();
  buttons->addWidget(convertButton_);
  buttons->addStretch();

  // The grid factors of a point on a Plan side, under its values.
  factors_ = new QLabel;
  factors_->setObjectName(QStringLiteral("gridFactors"));
  factors_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  factors_->setWordWrap(true);
  auto* targetColumn = new QVBoxLayout;
  targetColumn->addWidget(target, 1);
  targetColumn->addWidget(factors_);

  auto* single = new QHBoxLayout;
  single->addWidget(source, 1);
  single->addLayout(targetColumn, 1);
  single->addLayout(buttons);

  table_ = new PointTable;
  auto* paste = new QPushButton(QStringLiteral("粘贴"));
  paste->setObjectName(QStringLiteral("pasteButton"));
  connect(paste, &QPushButton::clicked, this, [this] { table_->Paste(QGuiApplication::clipboard()->text()); });
  auto* convertAll = new QPushButton(QStringLiteral("全部转换"));
  convertAll->setObjectName(QStringLiteral("convertTableButton"));
  connect(convertAll, &QPushButton::clicked, this, &CDlgPoint::OnConvertTable);
  auto* copy = new QPushButton(QStringLiteral("复制结果"));
  copy->setObjectName(QStringLiteral("copyTableButton"));
  connect(copy, &QPushButton::clicked, this, [this] { QGuiApplication::clipboard()->setText(table_->CopyText()); });
  auto* clear = new QPushButton(QStringLiteral("清空"));
  clear->setObjectName(QStringLiteral("clearTableButton"));
  connect(clear, &QPushButton::clicked, this, [this] { table_->setRowCount(0); });
  auto* tableButtons = new QHBoxLayout;
  for (QPushButton* button : {paste, convertAll, copy, clear}) tableButtons->addWidget(button);
  tableButtons->addStretch();
  auto* many = new QGroupBox(QStringLiteral("多点转换 (从表格粘贴: Ctrl+V; 复制: Ctrl+C)"));
  many->setObjectName(QStringLiteral("tableGroup"));
  auto* manyLayout = new QVBoxLayout(many);
  manyLayout->addWidget(table_);
  manyLayout->addLayout(tableButtons);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(single);
  layout->addWidget(many, 1);

  // The page's own labels are those of "Plan"; the main window relabels
  // them for the chosen types at once.
  SetSourceLabels(CoordinateType::Plan, HeightSystem::Ellipsoidal);
  SetTargetLabels(CoordinateType::Plan, HeightSystem::Ellipsoidal);

  LoadEllipsoids();
}

std::array<QString, 3> CoordinateValueNames(CoordinateType type, HeightSystem height) {
  const std::array<std::string_view, 3> names = ValueNames(type, height);
  return {ToQt(std::string(names[0])), ToQt(std::string(names[1])), ToQt(std::string(names[2]))};
}

void CDlgPoint::SetLabels(const std::array<QLabel*, 3>& labels, CoordinateType type, HeightSystem height) {
  const std::array<QString, 3> names = CoordinateValueNames(type, height);
  for (int i = 0; i < 3; ++i) labels[i]->setText(names[i] + QLatin1Char('='));
}

void CDlgPoint::SetSourceLabels(CoordinateType type, HeightSystem height) {
  SetLabels(sourceLabels_, type, height);
  sourceNames_ = CoordinateValueNames(type, height);
  table_->SetValueNames(sourceNames_, targetNames_);
}

void CDlgPoint::SetTargetLabels(CoordinateType type, HeightSystem height) {
  SetLabels(targetLabels_, type, height);
  targetNames_ = CoordinateValueNames(type, height);
  table_->SetValueNames(sourceNames_, targetNames_);
}

void CDlgPoint::OnConvertTable() {
  tableSettings_ = CoordSettings::instance();
  table_->ConvertAll(*tableSettings_);
}

void CDlgPoint::OnConvert() {
  const CoordSettings& settings = CoordSettings::instance();
  PointTexts source, target;
  for (std::size_t i = 0; i < source.size(); ++i) source[i] = ToStd(sourceValues_[i]->text());
  if (const Refusal refusal = ConvertPoint(settings, source, target)) {
    ClearTargets();
    ShowMessage(MessageText(refusal));
    return;
  }
  ShowTargets(target);
  ShowFactors(settings, source);
  resultSettings_ = settings;
}

QStringList CDlgPoint::sourceTexts() const {
  QStringList texts;
  for (const QLineEdit* box : sourceValues_) texts << box->text();
  return texts;
}

void CDlgPoint::setSourceTexts(const QStringList& texts) {
  for (std::size_t i = 0; i < sourceValues_.size(); ++i) {
    sourceValues_[i]->setText(static_cast<qsizetype>(i) < texts.size() ? texts[static_cast<qsizetype>(i)] : QString());
  }
}

// γ in degrees, minutes and seconds as well; k and the factors to ten
// decimals, the distortion in mm per km. Nothing without a Plan side, or
// where the projection has no factors.
void CDlgPoint::ShowFactors(const CoordSettings& settings, const PointTexts& source) {
  GridFactors factors;
  if (!HasPlanSide(settings) || PointGridFactors(settings, source, factors)) {
    factors_->clear();
    return;
  }
  const double seconds = factors.convergenceDegrees * 3600;
  factors_->setText(QStringLiteral("子午线收敛角 γ=%1° (%2″)  比例因子 k=%3  高程因子=%4  综合因子=%5  长度变形=%6 mm/km")
                        .arg(factors.convergenceDegrees, 0, 'f', 9)
                        .arg(seconds, 0, 'f', 3)
                        .arg(factors.pointScale, 0, 'f', 10)
                        .arg(factors.elevationFactor, 0, 'f', 10)
                        .arg(factors.combinedFactor, 0, 'f', 10)
                        .arg(factors.distortionMmPerKm, 0, 'f', 3));
}

void CDlgPoint::ForgetStaleResult() {
  if (resultSettings_ && *resultSettings_ != CoordSettings::instance()) ClearTargets();
  if (tableSettings_ && *tableSettings_ != CoordSettings::instance()) {
    table_->ClearResults();
    tableSettings_.reset();
  }
}

void CDlgPoint::showEvent(QShowEvent* event) {
  // The settings may have changed on another page.
  ForgetStaleResult();
  QWidget::showEvent(event);
}

// A text shows from its start, so that the sign and the degrees of a long
// angle are in view rather than its last decimals.
void CDlgPoint::ShowTargets(const PointTexts& texts) {
  for (std::size_t i = 0; i < texts.size(); ++i) {
    targetValues_[i]->setText(ToQt(texts[i]));
    targetValues_[i]->setCursorPosition(0);
  }
}

void CDlgPoint::ClearTargets() {
  for (QLineEdit* box : targetValues_) box->clear();
  factors_->clear();
  resultSettings_.reset();
}

}  // namespace tarnwell

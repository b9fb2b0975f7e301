#include "ui/CDlgPoint.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "engine/Messages.h"
#include "tables/EllipsoidCatalogue.h"
#include "ui/FormRows.h"
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

  auto* layout = new QHBoxLayout(this);
  layout->addWidget(source, 1);
  layout->addWidget(target, 1);
  layout->addLayout(buttons);

  // The page's own labels are those of "Plan"; the main window relabels
  // them for the chosen types at once.
  SetSourceLabels(CoordinateType::Plan, HeightSystem::Ellipsoidal);
  SetTargetLabels(CoordinateType::Plan, HeightSystem::Ellipsoidal);

  LoadEllipsoids();
}

std::array<QString, 3> CoordinateValueNames(CoordinateType type, HeightSystem height) {
  const QString heightName = height == HeightSystem::Normal ? QStringLiteral("正常高") : QStringLiteral("大地高");
  switch (type) {
    case CoordinateType::Space: return {QStringLiteral("X"), QStringLiteral("Y"), QStringLiteral("Z")};
    case CoordinateType::LB: return {QStringLiteral("纬度"), QStringLiteral("经度"), heightName};
    case CoordinateType::Plan: break;
  }
  return {QStringLiteral("北坐标"), QStringLiteral("东坐标"), heightName};
}

void CDlgPoint::SetLabels(const std::array<QLabel*, 3>& labels, CoordinateType type, HeightSystem height) {
  const std::array<QString, 3> names = CoordinateValueNames(type, height);
  for (int i = 0; i < 3; ++i) labels[i]->setText(names[i] + QLatin1Char('='));
}

void CDlgPoint::SetSourceLabels(CoordinateType type, HeightSystem height) { SetLabels(sourceLabels_, type, height); }

void CDlgPoint::SetTargetLabels(CoordinateType type, HeightSystem height) { SetLabels(targetLabels_, type, height); }

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

void CDlgPoint::ForgetStaleResult() {
  if (resultSettings_ && *resultSettings_ != CoordSettings::instance()) ClearTargets();
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
  resultSettings_.reset();
}

}  // namespace tarnwell

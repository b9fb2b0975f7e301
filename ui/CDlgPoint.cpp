#include "ui/CDlgPoint.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "engine/PointConversion.h"
#include "tables/EllipsoidCatalogue.h"
#include "ui/FormRows.h"
#include "ui/QtText.h"
#include "ui/UserEllipsoidTable.h"

namespace tarnwell {
namespace {

// An edit box of the page as the pipeline sees it. A text it is given shows
// from its start, so that the sign and the degrees of a long angle are in
// view rather than its last decimals.
class LineEditTextBox : public TextBox {
 public:
  explicit LineEditTextBox(QLineEdit* edit) : edit_(edit) {}
  std::string GetText() const override { return ToStd(edit_->text()); }
  void SetText(const std::string& text) override {
    edit_->setText(ToQt(text));
    edit_->setCursorPosition(0);
  }

 private:
  QLineEdit* edit_;
};

}  // namespace

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
  SetSourceLabels("Plan");
  SetTargetLabels("Plan");

  LoadEllipsoids();
}

std::array<QString, 3> CoordinateValueNames(const std::string& type) {
  if (type == "Space") return {QStringLiteral("X"), QStringLiteral("Y"), QStringLiteral("Z")};
  if (type == "LB") return {QStringLiteral("纬度"), QStringLiteral("经度"), QStringLiteral("大地高")};
  return {QStringLiteral("北坐标"), QStringLiteral("东坐标"), QStringLiteral("水准高")};
}

void CDlgPoint::SetLabels(const std::array<QLabel*, 3>& labels, const std::string& type) {
  const std::array<QString, 3> names = CoordinateValueNames(type);
  for (int i = 0; i < 3; ++i) labels[i]->setText(names[i] + QLatin1Char('='));
}

void CDlgPoint::SetSourceLabels(const std::string& type) { SetLabels(sourceLabels_, type); }

void CDlgPoint::SetTargetLabels(const std::string& type) { SetLabels(targetLabels_, type); }

void CDlgPoint::OnConvert() {
  LineEditTextBox source1(sourceValues_[0]), source2(sourceValues_[1]), source3(sourceValues_[2]);
  LineEditTextBox target1(targetValues_[0]), target2(targetValues_[1]), target3(targetValues_[2]);
  ConvertPoint(source1, target1, source2, target2, source3, target3);
}

}  // namespace tarnwell

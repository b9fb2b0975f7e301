#include "ui/FormRows.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QStyle>

namespace tarnwell {

QLabel* LabelFor(const QString& text, QWidget* control) {
  auto* label = new QLabel(text);
  label->setBuddy(control);
  return label;
}

QLineEdit* AddEditRow(QGridLayout* grid, int row, const QString& labelText, const QString& objectName,
                      QLabel** label) {
  auto* rowLabel = new QLabel(labelText);
  rowLabel->setObjectName(objectName + QStringLiteral("Label"));
  auto* edit = new QLineEdit;
  edit->setObjectName(objectName);
  rowLabel->setBuddy(edit);
  grid->addWidget(rowLabel, row, 0, Qt::AlignRight | Qt::AlignVCenter);
  grid->addWidget(edit, row, 1);
  if (label) *label = rowLabel;
  return edit;
}

QGroupBox* MakeValueGroup(const QString& title, const std::array<QString, 3>& labelTexts,
                          const std::array<QString, 3>& objectNames, std::array<QLineEdit*, 3>& edits,
                          std::array<QLabel*, 3>* labels) {
  auto* group = new QGroupBox(title);
  auto* grid = new QGridLayout(group);
  for (std::size_t i = 0; i < 3; ++i) {
    edits[i] = AddEditRow(grid, static_cast<int>(i), labelTexts[i], objectNames[i], labels ? &(*labels)[i] : nullptr);
    FitWidthTo(edits[i], kLongestValueSample);
  }
  grid->setColumnStretch(1, 1);
  return group;
}

void FitWidthTo(QLineEdit* edit, const QString& sample) {
  // Text width plus the frame and the text margins of the style.
  const int frame = 2 * edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, edit);
  const QMargins margins = edit->textMargins();
  edit->setMinimumWidth(edit->fontMetrics().horizontalAdvance(sample) + frame + margins.left() +
                        margins.right() + 8);
}

}  // namespace tarnwell

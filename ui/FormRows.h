// Rows of "label  edit box" in a grid, as every dialog and page of the
// program lays them out.
#pragma once

#include <QString>
#include <array>

class QGridLayout;
class QGroupBox;
class QLabel;
class QLineEdit;
class QWidget;

namespace tarnwell {

// Adds a label and a one-line edit box in `row` of `grid` (columns 0 and 1)
// and names the edit `objectName`. The label is handed back through
// `label` when the caller relabels it later.
QLineEdit* AddEditRow(QGridLayout* grid, int row, const QString& labelText, const QString& objectName,
                      QLabel** label = nullptr);

// A group box titled `title` with three such rows, each box wide enough for
// the engine's numbers.
QGroupBox* MakeValueGroup(const QString& title, const std::array<QString, 3>& labelTexts,
                          const std::array<QString, 3>& objectNames, std::array<QLineEdit*, 3>& edits,
                          std::array<QLabel*, 3>* labels = nullptr);

// A label reading `text` for `control` (its buddy: Alt and the label's
// mnemonic, if any, move the focus there).
QLabel* LabelFor(const QString& text, QWidget* control);

// Makes `edit` wide enough to show `sample` whole, without scrolling.
void FitWidthTo(QLineEdit* edit, const QString& sample);

// A value as the engine writes it: 15 decimals, angles of the same length.
inline const QString kLongestValueSample = QStringLiteral("-6378137.000000000000000");

}  // namespace tarnwell

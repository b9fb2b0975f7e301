// Many points on the single-point page: rows of a name and three source
// values, pasted from a spreadsheet (Ctrl+V: tab- or comma-separated, a
// name and three values or the three values alone) or typed, converted all
// at once into the three target values of each row. A row that does not
// convert keeps empty targets and shows why in its remark, never a number
// of other settings or of a bad row. Ctrl+C copies the selected rows (or
// all) as tab-separated lines under the header; Delete removes the
// selected rows. Editing a row's source forgets its result.
#pragma once

#include <QString>
#include <QTableWidget>
#include <array>

#include "engine/CoordSettings.h"

namespace tarnwell {

class PointTable : public QTableWidget {
  Q_OBJECT

 public:
  static constexpr int kNameColumn = 0;
  static constexpr int kFirstSourceColumn = 1;
  static constexpr int kFirstTargetColumn = 4;
  static constexpr int kRemarkColumn = 7;

  explicit PointTable(QWidget* parent = nullptr);

  // The names of the three source and the three target values.
  void SetValueNames(const std::array<QString, 3>& source, const std::array<QString, 3>& target);

  // Appends a row for each line of `text`; a first line whose values hold
  // no digit is a header and is skipped. Returns the rows added.
  int Paste(const QString& text);

  // Converts every row with `settings`.
  void ConvertAll(const CoordSettings& settings);

  // Empties the targets and remarks of every row.
  void ClearResults();

  // What Ctrl+C puts on the clipboard.
  QString CopyText() const;

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void SetCell(int row, int column, const QString& text, bool editable);
  void ClearResult(int row);
  QString Text(int row, int column) const;
  void OnItemChanged(QTableWidgetItem* item);
};

}  // namespace tarnwell

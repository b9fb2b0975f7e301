// The common points of a parameter page as a table: a tick "参与计算", the
// name, the point's coordinates as the file gave them, and after a
// computation its residuals (metres); the page names both sets of columns
// (the datum pages six coordinates, and three components and their length). Every
// column sorts; until one is sorted the rows keep the page's order. Each row
// knows the point it shows by its index in the page's list. Ctrl+C copies
// the selected rows (or all) with the header.
#pragma once

#include <QStringList>
#include <QTableWidget>
#include <cstddef>
#include <vector>

namespace tarnwell {

class CommonPointTable : public QTableWidget {
  Q_OBJECT

 public:
  struct Row {
    QString name;
    QStringList coordinates;  // one per coordinate column
    bool participates = true;
  };
  using Residuals = std::vector<double>;  // one per residual column, metres

  static constexpr int kTickColumn = 0;
  static constexpr int kNameColumn = 1;
  static constexpr int kFirstCoordinateColumn = 2;
  // The number a coordinate or residual cell holds, unrounded.
  static constexpr int kValueRole = Qt::UserRole + 1;

  // The headers of the coordinate and of the residual columns, which are as
  // many as the headers.
  CommonPointTable(const QStringList& coordinateHeaders, const QStringList& residualHeaders,
                   QWidget* parent = nullptr);

  // Shows these points, point i in row i until a column is sorted; no residuals.
  void SetPoints(const std::vector<Row>& rows);
  // The residuals of every point, by index; those of a flagged point (beyond
  // the tolerance) in red.
  void SetResiduals(const std::vector<Residuals>& residuals, const std::vector<bool>& flagged);

  // The selected rows, or every row when none is, as tab-separated lines
  // under the header, in the order shown: what Ctrl+C puts on the clipboard
  // for a spreadsheet. The tick reads 是 or 否; numbers as the cells show them.
  QString CopyText() const;

  int firstResidualColumn() const { return firstResidualColumn_; }

  // The index of the point row `row` shows.
  std::size_t PointAt(int row) const;
  // The indices of the points whose rows are selected, ascending.
  std::vector<std::size_t> SelectedPoints() const;

 signals:
  // The user ticked or unticked a point.
  void participationChanged(std::size_t point, bool participates);

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void OnItemChanged(QTableWidgetItem* item);

  int firstResidualColumn_;
};

}  // namespace tarnwell

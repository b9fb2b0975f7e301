// The first lines of a coordinate file as the conversion will read them, in
// the columns of the layout in force: the line number, then each column
// (the fixed layouts: the name and the three values), then a remark. A
// value shows as read (angles in decimal degrees); a column passed through
// as it stands; a header line split into the columns, a comment whole,
// both in grey; a line the conversion would stop at carries its reason in
// red. So the file page and the layout editor show at once whether a
// layout fits a file.
#pragma once

#include <QString>
#include <QTableWidget>
#include <cstddef>

#include "engine/CoordSettings.h"

namespace tarnwell {

struct PreviewRow;

class FilePreviewTable : public QTableWidget {
  Q_OBJECT

 public:
  explicit FilePreviewTable(QWidget* parent = nullptr);

  // Reads the first `lineCount` lines of `path` with `settings`; an empty
  // path shows no lines, an unreadable one says so.
  void Show(const CoordSettings& settings, const QString& path, std::size_t lineCount);

 private:
  void SetColumns(const CoordSettings& settings);
  void ShowRow(int row, const PreviewRow& line, bool fixed);
  // A text over the columns from `column` to the remark.
  void SpanText(int row, int column, const QString& text, const QColor& colour);
};

}  // namespace tarnwell

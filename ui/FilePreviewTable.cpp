#include "ui/FilePreviewTable.h"

#include <QHeaderView>

#include "batch/CoordinateFile.h"
#include "tables/NumberText.h"
#include "tables/TableText.h"
#include "ui/QtText.h"

namespace tarnwell {
namespace {

constexpr int kLineColumn = 0;
constexpr int kFirstFieldColumn = 1;

QTableWidgetItem* PreviewItem(const QString& text) {
  auto* item = new QTableWidgetItem(text);
  item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
  return item;
}

// A value as read: the shortest text that reads back to it (angles in
// decimal degrees).
QString ValueText(double value) {
  std::string text;
  AppendShortestNumber(value, text);
  return ToQt(text);
}

}  // namespace

FilePreviewTable::FilePreviewTable(QWidget* parent) : QTableWidget(parent) {
  verticalHeader()->hide();
  horizontalHeader()->setStretchLastSection(true);
}

void FilePreviewTable::SetColumns(const CoordSettings& settings) {
  QStringList headers = {QStringLiteral("行")};
  if (settings.fileLayout.columns.empty()) {
    headers << QStringLiteral("点名");
    for (const std::string_view name : ValueNames(settings.sourceType, settings.sourceHeight)) headers << ToQt(std::string(name));
  } else {
    for (const std::string& word : SplitAtChar(settings.fileLayout.columns, ','))
      headers << ToQt(std::string(ColumnWordName(word, settings.sourceType, settings.sourceType, settings.sourceHeight)));
  }
  headers << QStringLiteral("说明");
  clearSpans();
  setRowCount(0);
  setColumnCount(static_cast<int>(headers.size()));
  setHorizontalHeaderLabels(headers);
}

void FilePreviewTable::Show(const CoordSettings& settings, const QString& path, std::size_t lineCount) {
  SetColumns(settings);
  if (path.isEmpty()) return;
  const std::optional<std::vector<PreviewRow>> rows = PreviewCoordinateFile(settings, ToStdPath(path), lineCount);
  if (!rows) {
    setRowCount(1);
    SpanText(0, kFirstFieldColumn, QStringLiteral("坐标文件无法读取。"), Qt::red);
    return;
  }
  setRowCount(static_cast<int>(rows->size()));
  const bool fixed = settings.fileLayout.columns.empty();
  for (int row = 0; row < rowCount(); ++row) ShowRow(row, (*rows)[static_cast<std::size_t>(row)], fixed);
}

void FilePreviewTable::ShowRow(int row, const PreviewRow& line, bool fixed) {
  setItem(row, kLineColumn, PreviewItem(QString::number(line.lineNumber)));
  const int remark = columnCount() - 1;
  if (line.role == LineRole::Comment) {
    SpanText(row, kFirstFieldColumn, ToQt(line.fields.front()), Qt::gray);
    return;
  }
  // A fixed layout's bad line shows its reason where the values would be;
  // the columns of one's own show how the line split, the reason after them.
  if (fixed) {
    setItem(row, kFirstFieldColumn, PreviewItem(ToQt(line.name)));
    if (!line.refusal.empty()) {
      SpanText(row, kFirstFieldColumn + 1, ToQt(line.refusal), Qt::red);
      return;
    }
    for (int value = 0; value < 3; ++value)
      setItem(row, kFirstFieldColumn + 1 + value, PreviewItem(ValueText(line.values[static_cast<std::size_t>(value)])));
    return;
  }
  const std::vector<std::string>& fields = line.fields;
  for (std::size_t field = 0; field < fields.size() && kFirstFieldColumn + static_cast<int>(field) < remark; ++field) {
    QTableWidgetItem* item = PreviewItem(ToQt(fields[field]));
    if (line.role == LineRole::Header) item->setForeground(Qt::gray);
    setItem(row, kFirstFieldColumn + static_cast<int>(field), item);
  }
  if (line.role == LineRole::Header) {
    setItem(row, remark, PreviewItem(QStringLiteral("文件头")));
  } else if (!line.refusal.empty()) {
    QTableWidgetItem* reason = PreviewItem(ToQt(line.refusal));
    reason->setForeground(Qt::red);
    setItem(row, remark, reason);
  }
}

void FilePreviewTable::SpanText(int row, int column, const QString& text, const QColor& colour) {
  QTableWidgetItem* item = PreviewItem(text);
  item->setForeground(colour);
  setItem(row, column, item);
  setSpan(row, column, 1, columnCount() - column);
}

}  // namespace tarnwell

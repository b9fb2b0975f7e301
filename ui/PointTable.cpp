#include "ui/PointTable.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <algorithm>
#include <optional>
#include <set>

#include "engine/ConversionPlan.h"
#include "engine/Messages.h"
#include "ui/QtText.h"

namespace tarnwell {
namespace {

const QString kRowLayout = QStringLiteral("每行须为点名与三个坐标, 或三个坐标, 以制表符或逗号分隔。");

// The fields of a pasted line: at tabs when it has one (a spreadsheet's
// copy), else at commas.
QStringList FieldsOf(const QString& line) {
  return line.split(line.contains(QLatin1Char('\t')) ? QLatin1Char('\t') : QLatin1Char(','));
}

bool HasDigit(const QStringList& fields) {
  for (const QString& field : fields) {
    for (const QChar c : field) {
      if (c.isDigit()) return true;
    }
  }
  return false;
}

}  // namespace

PointTable::PointTable(QWidget* parent) : QTableWidget(0, kRemarkColumn + 1, parent) {
  setObjectName(QStringLiteral("pointTable"));
  verticalHeader()->hide();
  horizontalHeader()->setStretchLastSection(true);
  setSelectionBehavior(QAbstractItemView::SelectRows);
  connect(this, &QTableWidget::itemChanged, this, &PointTable::OnItemChanged);
}

void PointTable::SetValueNames(const std::array<QString, 3>& source, const std::array<QString, 3>& target) {
  setHorizontalHeaderLabels({QStringLiteral("点名"), source[0], source[1], source[2], target[0], target[1], target[2],
                             QStringLiteral("说明")});
}

void PointTable::SetCell(int row, int column, const QString& text, bool editable) {
  auto* cell = new QTableWidgetItem(text);
  if (!editable) cell->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
  setItem(row, column, cell);
}

QString PointTable::Text(int row, int column) const {
  const QTableWidgetItem* cell = item(row, column);
  return cell ? cell->text() : QString();
}

int PointTable::Paste(const QString& text) {
  QStringList lines = text.split(QLatin1Char('\n'));
  for (QString& line : lines) line.remove(QLatin1Char('\r'));
  lines.removeAll(QString());
  if (!lines.isEmpty()) {
    const QStringList first = FieldsOf(lines.front());
    if (!HasDigit(first.mid(std::max<qsizetype>(first.size() - 3, 0)))) lines.removeFirst();
  }
  const QSignalBlocker blocked(this);
  for (const QString& line : lines) {
    const QStringList fields = FieldsOf(line);
    const int row = rowCount();
    insertRow(row);
    // A line of another count stays whole in the name, to be refused.
    const bool named = fields.size() == 4, valuesOnly = fields.size() == 3;
    SetCell(row, kNameColumn, named ? fields[0] : valuesOnly ? QString() : line, true);
    for (int value = 0; value < 3; ++value)
      SetCell(row, kFirstSourceColumn + value, named || valuesOnly ? fields[value + (named ? 1 : 0)] : QString(), true);
    ClearResult(row);
  }
  return static_cast<int>(lines.size());
}

void PointTable::ConvertAll(const CoordSettings& settings) {
  const QSignalBlocker blocked(this);
  std::optional<ConversionPlan> plan;
  const Refusal planRefusal = ConversionPlan::FromSettings(settings, plan);
  for (int row = 0; row < rowCount(); ++row) {
    ClearResult(row);
    const std::array<std::string, 3> source = {ToStd(Text(row, kFirstSourceColumn)), ToStd(Text(row, kFirstSourceColumn + 1)),
                                               ToStd(Text(row, kFirstSourceColumn + 2))};
    // A row of no values: a line that did not split into them, or a name alone.
    if (source[0].empty() && source[1].empty() && source[2].empty()) {
      SetCell(row, kRemarkColumn, kRowLayout, false);
      item(row, kRemarkColumn)->setForeground(Qt::red);
      continue;
    }
    TargetPoint target;
    const Refusal refusal = planRefusal ? planRefusal : plan->Convert(source[0], source[1], source[2], target);
    if (refusal) {
      QTableWidgetItem* remark = new QTableWidgetItem(OneLine(MessageText(refusal)));
      remark->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
      remark->setForeground(Qt::red);
      setItem(row, kRemarkColumn, remark);
      continue;
    }
    const std::array<std::string, 3> texts = plan->Texts(target);
    for (int value = 0; value < 3; ++value) SetCell(row, kFirstTargetColumn + value, ToQt(texts[value]), false);
  }
}

void PointTable::ClearResults() {
  const QSignalBlocker blocked(this);
  for (int row = 0; row < rowCount(); ++row) ClearResult(row);
}

void PointTable::ClearResult(int row) {
  for (int column = kFirstTargetColumn; column <= kRemarkColumn; ++column) SetCell(row, column, QString(), false);
}

QString PointTable::CopyText() const {
  QStringList header;
  for (int column = 0; column < columnCount(); ++column) header << horizontalHeaderItem(column)->text();
  QStringList lines = {header.join(QLatin1Char('\t'))};
  std::set<int> rows;
  for (const QModelIndex& index : selectionModel()->selectedRows()) rows.insert(index.row());
  if (rows.empty()) {
    for (int row = 0; row < rowCount(); ++row) rows.insert(row);
  }
  for (const int row : rows) {
    QStringList cells;
    for (int column = 0; column < columnCount(); ++column) cells << Text(row, column);
    lines << cells.join(QLatin1Char('\t'));
  }
  return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

void PointTable::keyPressEvent(QKeyEvent* event) {
  if (event->matches(QKeySequence::Copy)) {
    QGuiApplication::clipboard()->setText(CopyText());
  } else if (event->matches(QKeySequence::Paste)) {
    Paste(QGuiApplication::clipboard()->text());
  } else if (event->matches(QKeySequence::Delete) && state() != QAbstractItemView::EditingState) {
    std::set<int> rows;
    for (const QModelIndex& index : selectionModel()->selectedRows()) rows.insert(index.row());
    for (auto row = rows.rbegin(); row != rows.rend(); ++row) removeRow(*row);
  } else {
    QTableWidget::keyPressEvent(event);
    return;
  }
  event->accept();
}

// A source edited: the result shown is of the old values.
void PointTable::OnItemChanged(QTableWidgetItem* changed) {
  if (changed->column() >= kFirstTargetColumn) return;
  const QSignalBlocker blocked(this);
  ClearResult(changed->row());
}

}  // namespace tarnwell

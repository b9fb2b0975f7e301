#include "ui/CommonPointTable.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QSignalBlocker>
#include <set>

#include "tables/ListOrder.h"
#include "tables/NumberText.h"
#include "ui/QtText.h"

namespace tarnwell {
namespace {

constexpr int kPointRole = Qt::UserRole;  // on the name: the point's index
constexpr int kNumberRole = CommonPointTable::kValueRole;

// A cell that sorts as its contents mean: ticks by their state, numbers by
// value, other texts in the program's list order.
class CommonPointItem : public QTableWidgetItem {
 public:
  using QTableWidgetItem::QTableWidgetItem;

  bool operator<(const QTableWidgetItem& other) const override {
    if (flags().testFlag(Qt::ItemIsUserCheckable)) return checkState() < other.checkState();
    const QVariant value = data(kNumberRole), otherValue = other.data(kNumberRole);
    if (value.isValid() && otherValue.isValid()) return value.toDouble() < otherValue.toDouble();
    if (value.isValid() != otherValue.isValid()) return value.isValid();  // numbers first
    return ListTextLess(ToStd(text()), ToStd(other.text()));
  }
};

QTableWidgetItem* TextItem(const QString& text) {
  auto* item = new CommonPointItem(text);
  item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
  return item;
}

// A coordinate: sorted by value where the text is wholly a number (angles
// in degrees-minutes-seconds sort as text).
QTableWidgetItem* CoordinateItem(const QString& text) {
  QTableWidgetItem* item = TextItem(text);
  double value;
  if (ReadNumber(ToStd(text), value)) item->setData(kNumberRole, value);
  item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
  return item;
}

// A residual, shown to a tenth of a millimetre, kept whole for sorting.
QTableWidgetItem* ResidualItem(double metres) {
  QTableWidgetItem* item = TextItem(QString::number(metres, 'f', 4));
  item->setData(kNumberRole, metres);
  item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
  return item;
}

QTableWidgetItem* TickItem(bool participates) {
  auto* item = new CommonPointItem;
  item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
  item->setCheckState(participates ? Qt::Checked : Qt::Unchecked);
  return item;
}

}  // namespace

CommonPointTable::CommonPointTable(const QStringList& coordinateHeaders, const QStringList& residualHeaders,
                                   QWidget* parent)
    : QTableWidget(0, kFirstCoordinateColumn + static_cast<int>(coordinateHeaders.size() + residualHeaders.size()),
                   parent),
      firstResidualColumn_(kFirstCoordinateColumn + static_cast<int>(coordinateHeaders.size())) {
  setObjectName(QStringLiteral("commonPointTable"));
  setHorizontalHeaderLabels(QStringList{QStringLiteral("参与计算"), QStringLiteral("点名")} + coordinateHeaders +
                            residualHeaders);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setSelectionMode(QAbstractItemView::ExtendedSelection);
  verticalHeader()->setVisible(false);
  horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
  // No column sorted yet: the rows stand in the page's order.
  horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
  setSortingEnabled(true);
  connect(this, &QTableWidget::itemChanged, this, &CommonPointTable::OnItemChanged);
}

void CommonPointTable::SetPoints(const std::vector<Row>& rows) {
  const QSignalBlocker blocker(this);
  // Rows move as they fill while sorting is on.
  setSortingEnabled(false);
  clearContents();
  setRowCount(static_cast<int>(rows.size()));
  for (int row = 0; row < rowCount(); ++row) {
    const Row& point = rows[static_cast<std::size_t>(row)];
    setItem(row, kTickColumn, TickItem(point.participates));
    QTableWidgetItem* name = TextItem(point.name);
    name->setData(kPointRole, QVariant::fromValue(static_cast<qulonglong>(row)));
    setItem(row, kNameColumn, name);
    for (int i = 0; i < firstResidualColumn_ - kFirstCoordinateColumn && i < point.coordinates.size(); ++i)
      setItem(row, kFirstCoordinateColumn + i, CoordinateItem(point.coordinates[i]));
  }
  setSortingEnabled(true);
}

void CommonPointTable::SetResiduals(const std::vector<Residuals>& residuals, const std::vector<bool>& flagged) {
  const QSignalBlocker blocker(this);
  setSortingEnabled(false);
  for (int row = 0; row < rowCount(); ++row) {
    const std::size_t point = PointAt(row);
    if (point >= residuals.size()) continue;
    for (int i = 0; i < columnCount() - firstResidualColumn_ && i < static_cast<int>(residuals[point].size()); ++i) {
      QTableWidgetItem* item = ResidualItem(residuals[point][static_cast<std::size_t>(i)]);
      if (point < flagged.size() && flagged[point]) {
        item->setForeground(Qt::red);
        item->setToolTip(QStringLiteral("超限"));
      }
      setItem(row, firstResidualColumn_ + i, item);
    }
  }
  setSortingEnabled(true);
}

QString CommonPointTable::CopyText() const {
  QStringList header;
  for (int column = 0; column < columnCount(); ++column) header << horizontalHeaderItem(column)->text();
  QStringList lines = {header.join('\t')};
  std::set<int> rows;
  for (const QModelIndex& index : selectionModel()->selectedRows()) rows.insert(index.row());
  if (rows.empty()) {
    for (int row = 0; row < rowCount(); ++row) rows.insert(row);
  }
  for (int row : rows) {
    QStringList cells = {item(row, kTickColumn)->checkState() == Qt::Checked ? QStringLiteral("是") : QStringLiteral("否")};
    for (int column = kNameColumn; column < columnCount(); ++column) {
      const QTableWidgetItem* cell = item(row, column);
      cells << (cell ? cell->text() : QString());
    }
    lines << cells.join('\t');
  }
  return lines.join('\n') + '\n';
}

void CommonPointTable::keyPressEvent(QKeyEvent* event) {
  if (event->matches(QKeySequence::Copy)) {
    QGuiApplication::clipboard()->setText(CopyText());
    event->accept();
    return;
  }
  QTableWidget::keyPressEvent(event);
}

std::size_t CommonPointTable::PointAt(int row) const {
  return static_cast<std::size_t>(item(row, kNameColumn)->data(kPointRole).toULongLong());
}

std::vector<std::size_t> CommonPointTable::SelectedPoints() const {
  std::set<std::size_t> points;
  for (const QModelIndex& index : selectionModel()->selectedRows()) points.insert(PointAt(index.row()));
  return {points.begin(), points.end()};
}

void CommonPointTable::OnItemChanged(QTableWidgetItem* item) {
  if (item->column() != kTickColumn) return;
  emit participationChanged(PointAt(item->row()), item->checkState() == Qt::Checked);
}

}  // namespace tarnwell

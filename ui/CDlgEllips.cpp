#include "ui/CDlgEllips.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>
#include <algorithm>

#include "tables/EllipsoidCatalogue.h"
#include "tables/ListOrder.h"
#include "tables/TablePaths.h"
#include "ui/DialogButtons.h"
#include "ui/FormRows.h"
#include "ui/QtText.h"

namespace tarnwell {

CDlgEllips::CDlgEllips(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("ellipsoidDialog"));
  setWindowTitle(QStringLiteral("椭球设置"));

  ellipsoidList_ = new QListWidget;
  ellipsoidList_->setObjectName(QStringLiteral("ellipsoidList"));
  connect(ellipsoidList_, &QListWidget::currentRowChanged, this, &CDlgEllips::OnSelectionChange);

  auto* group = new QGroupBox(QStringLiteral("椭球参数"));
  auto* grid = new QGridLayout(group);
  name_ = AddEditRow(grid, 0, QStringLiteral("名称="), QStringLiteral("ellipsoidName"));
  semiMajorAxis_ = AddEditRow(grid, 1, QStringLiteral("长半轴(米)="), QStringLiteral("semiMajorAxis"));
  inverseFlattening_ = AddEditRow(grid, 2, QStringLiteral("扁率(1/e)="), QStringLiteral("inverseFlattening"));
  description_ = AddEditRow(grid, 3, QStringLiteral("描述="), QStringLiteral("ellipsoidDescription"));
  FitWidthTo(inverseFlattening_, QStringLiteral("298.257222100882711"));
  // Shown for reading and copying: the catalogue is changed in ellips.csv.
  for (QLineEdit* field : {name_, semiMajorAxis_, inverseFlattening_, description_}) field->setReadOnly(true);
  grid->setColumnStretch(1, 1);

  // A viewer: OK is there for the default key only, hidden and disabled.
  QHBoxLayout* buttons = MakeOkCancelRow(this, Qt::AlignRight);
  auto* ok = findChild<QPushButton*>(QStringLiteral("okButton"));
  ok->setEnabled(false);
  ok->setVisible(false);

  auto* rightColumn = new QVBoxLayout;
  rightColumn->addWidget(group);
  rightColumn->addStretch();
  rightColumn->addLayout(buttons);

  auto* layout = new QHBoxLayout(this);
  layout->addWidget(ellipsoidList_, 2);
  layout->addLayout(rightColumn, 3);
  resize(640, 300);
}

void CDlgEllips::showEvent(QShowEvent* event) {
  if (!event->spontaneous()) OnInitDialog();
  QDialog::showEvent(event);
}

void CDlgEllips::OnInitDialog() {
  LoadEllipsoidCatalogue(GetTablePath("ellips.csv"));
  listTexts_.clear();
  for (const EllipsoidRecord& record : TheEllipsoidCatalogue()) InsertSorted(listTexts_, record.name);

  // Every opening starts afresh: empty fields until a name is selected.
  const QSignalBlocker blocker(ellipsoidList_);
  ellipsoidList_->clear();
  for (QLineEdit* field : {name_, semiMajorAxis_, inverseFlattening_, description_}) field->clear();
  for (const std::string& name : listTexts_) ellipsoidList_->addItem(ToQt(name));

  const auto wgs84 = std::find(listTexts_.begin(), listTexts_.end(), "WGS84");
  ellipsoidList_->setCurrentRow(wgs84 == listTexts_.end() ? -1 : static_cast<int>(wgs84 - listTexts_.begin()));
  OnSelectionChange();
}

void CDlgEllips::OnSelectionChange() {
  const int selected = ellipsoidList_->currentRow();
  if (selected < 0) return;
  // The first record of that name: a name listed twice shows its first line.
  const EllipsoidRecord* record = FindEllipsoidEntry(listTexts_[selected]);
  if (!record) return;
  const std::pair<QLineEdit*, const std::string&> fields[] = {{name_, record->name},
                                                              {semiMajorAxis_, record->semiMajorAxis},
                                                              {inverseFlattening_, record->inverseFlattening},
                                                              {description_, record->description}};
  for (const auto& [field, text] : fields) {
    field->setText(ToQt(text));
    field->setCursorPosition(0);  // a long description shows its start
  }
}

}  // namespace tarnwell

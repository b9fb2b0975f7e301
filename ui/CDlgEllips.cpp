#include "ui/CDlgEllips.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>
#include <algorithm>

#include "engine/Messages.h"
#include "tables/ListOrder.h"
#include "ui/DialogButtons.h"
#include "ui/EntryText.h"
#include "ui/FormRows.h"
#include "ui/QtText.h"
#include "ui/UserEllipsoidTable.h"

namespace tarnwell {
namespace {

// The entries of the second-parameter list, in order.
enum SecondParameter { kInverseFlattening = 0, kSemiMinorAxis = 1 };

const QString kUserMark = QStringLiteral(" (用户)");

QPushButton* MakeButton(const QString& text, const QString& objectName) {
  auto* button = new QPushButton(text);
  button->setObjectName(objectName);
  button->setAutoDefault(false);
  return button;
}

}  // namespace

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
  inverseFlattening_ = AddEditRow(grid, 2, QString(), QStringLiteral("inverseFlattening"));
  description_ = AddEditRow(grid, 3, QStringLiteral("描述="), QStringLiteral("ellipsoidDescription"));
  FitWidthTo(inverseFlattening_, QStringLiteral("298.257222100882711"));
  // The figure's second number: the inverse flattening, or for a new
  // ellipsoid the semi-minor axis instead.
  secondParameter_ = new QComboBox;
  secondParameter_->setObjectName(QStringLiteral("secondParameter"));
  secondParameter_->addItems({QStringLiteral("扁率倒数(1/f)="), QStringLiteral("短半轴(米)=")});
  grid->addWidget(secondParameter_, 2, 0);
  grid->setColumnStretch(1, 1);

  add_ = MakeButton(QStringLiteral("添加"), QStringLiteral("addEllipsoid"));
  edit_ = MakeButton(QStringLiteral("修改"), QStringLiteral("editEllipsoid"));
  remove_ = MakeButton(QStringLiteral("删除"), QStringLiteral("removeEllipsoid"));
  connect(add_, &QPushButton::clicked, this, &CDlgEllips::OnAdd);
  connect(edit_, &QPushButton::clicked, this, &CDlgEllips::OnEdit);
  connect(remove_, &QPushButton::clicked, this, &CDlgEllips::OnRemove);
  auto* editButtons = new QHBoxLayout;
  for (QPushButton* button : {add_, edit_, remove_}) editButtons->addWidget(button);
  editButtons->addStretch();
  auto* note = new QLabel(QStringLiteral("标有“(用户)”的是用户椭球，可修改和删除；其余随程序提供，只读。"));
  note->setObjectName(QStringLiteral("userEllipsoidNote"));
  note->setWordWrap(true);

  // OK is there for the default key only, hidden and disabled; every change
  // is stored when it is made, so the other button just closes.
  QHBoxLayout* buttons = MakeOkCancelRow(this, Qt::AlignRight);
  auto* ok = findChild<QPushButton*>(QStringLiteral("okButton"));
  ok->setEnabled(false);
  ok->setVisible(false);
  findChild<QPushButton*>(QStringLiteral("cancelButton"))->setText(QStringLiteral("关闭"));

  auto* rightColumn = new QVBoxLayout;
  rightColumn->addWidget(group);
  rightColumn->addLayout(editButtons);
  rightColumn->addWidget(note);
  rightColumn->addStretch();
  rightColumn->addLayout(buttons);

  auto* layout = new QHBoxLayout(this);
  auto* listColumn = new QVBoxLayout;
  listColumn->addWidget(LabelFor(QStringLiteral("椭球"), ellipsoidList_));
  listColumn->addWidget(ellipsoidList_, 1);
  // Wide enough for the shipped entries with their descriptions.
  layout->addLayout(listColumn, 1);
  layout->addLayout(rightColumn, 1);
  resize(800, 340);
}

void CDlgEllips::showEvent(QShowEvent* event) {
  if (!event->spontaneous()) OnInitDialog();
  QDialog::showEvent(event);
}

void CDlgEllips::OnInitDialog() {
  LoadEllipsoids();
  // Every opening starts afresh: empty fields until a name is selected.
  for (QLineEdit* field : {name_, semiMajorAxis_, inverseFlattening_, description_}) field->clear();
  ListCatalogue("WGS84");
}

void CDlgEllips::ListCatalogue(const std::string& selectName) {
  std::vector<std::string> shippedNames, userNames;
  const std::size_t shipped = ShippedEllipsoidCount();
  const EllipsoidCatalogue& catalogue = TheEllipsoidCatalogue();
  for (std::size_t row = 0; row < catalogue.size(); ++row)
    InsertSorted(row < shipped ? shippedNames : userNames, catalogue[row].name);

  listEntries_.clear();
  for (const std::string& name : shippedNames) listEntries_.push_back({name, std::nullopt});
  const std::span<const EllipsoidRecord> user = UserEllipsoids();
  for (const std::string& name : userNames) {
    const auto row = std::find_if(user.begin(), user.end(), [&name](const EllipsoidRecord& r) { return r.name == name; });
    listEntries_.push_back({name, static_cast<std::size_t>(row - user.begin())});
  }

  const QSignalBlocker blocker(ellipsoidList_);
  ellipsoidList_->clear();
  for (const ListEntry& entry : listEntries_) {
    // The first record of the name, the one a conversion uses.
    const EllipsoidRecord* record = FindEllipsoidEntry(entry.name);
    const QString text = record ? EllipsoidEntryText(*record) : ToQt(entry.name);
    auto* item = new QListWidgetItem(text + (entry.userRow ? kUserMark : QString()), ellipsoidList_);
    item->setData(Qt::UserRole, ToQt(entry.name));
    if (entry.userRow) item->setToolTip(QStringLiteral("用户椭球"));
  }
  const auto selected = std::find_if(listEntries_.begin(), listEntries_.end(),
                                     [&selectName](const ListEntry& entry) { return entry.name == selectName; });
  ellipsoidList_->setCurrentRow(selected == listEntries_.end() ? -1 : static_cast<int>(selected - listEntries_.begin()));
  OnSelectionChange();
}

void CDlgEllips::OnSelectionChange() {
  UpdateButtons();
  const int selected = ellipsoidList_->currentRow();
  if (selected < 0) return;
  // The first record of that name: a name listed twice shows its first line.
  const EllipsoidRecord* record = FindEllipsoidEntry(listEntries_[selected].name);
  if (!record) return;
  secondParameter_->setCurrentIndex(kInverseFlattening);
  const std::pair<QLineEdit*, const std::string&> fields[] = {{name_, record->name},
                                                              {semiMajorAxis_, record->semiMajorAxis},
                                                              {inverseFlattening_, record->inverseFlattening},
                                                              {description_, record->description}};
  for (const auto& [field, text] : fields) {
    field->setText(ToQt(text));
    field->setCursorPosition(0);  // a long description shows its start
  }
}

std::optional<std::size_t> CDlgEllips::SelectedUserRow() const {
  const int selected = ellipsoidList_->currentRow();
  return selected < 0 ? std::nullopt : listEntries_[selected].userRow;
}

void CDlgEllips::UpdateButtons() {
  const bool userRow = SelectedUserRow().has_value();
  edit_->setEnabled(userRow);
  remove_->setEnabled(userRow);
}

std::optional<EllipsoidRecord> CDlgEllips::FieldsRecord() const {
  EllipsoidRecord record{ToStd(name_->text().trimmed()), ToStd(semiMajorAxis_->text().trimmed()),
                         ToStd(inverseFlattening_->text().trimmed()), ToStd(description_->text().trimmed())};
  if (secondParameter_->currentIndex() == kSemiMinorAxis) {
    const std::optional<std::string> inverseFlattening =
        InverseFlatteningFromAxes(record.semiMajorAxis, record.inverseFlattening);
    if (!inverseFlattening) {
      ShowMessage("椭球参数错误,请检查.");
      return std::nullopt;
    }
    record.inverseFlattening = *inverseFlattening;
  }
  return record;
}

void CDlgEllips::OnAdd() { StoreFields(std::nullopt); }

void CDlgEllips::OnEdit() {
  const std::optional<std::size_t> row = SelectedUserRow();
  if (!row) return;
  const std::string& oldName = UserEllipsoids()[*row].name;
  if (ToStd(name_->text().trimmed()) != oldName && RefusedAsUsed(oldName, "改名")) return;
  StoreFields(row);
}

void CDlgEllips::StoreFields(std::optional<std::size_t> replacing) {
  const std::optional<EllipsoidRecord> record = FieldsRecord();
  if (!record) return;
  if (const std::string refusal = UserEllipsoidRefusal(*record, replacing); !refusal.empty()) {
    ShowMessage(refusal);
    return;
  }
  std::vector<EllipsoidRecord> records(UserEllipsoids().begin(), UserEllipsoids().end());
  if (replacing)
    records[*replacing] = *record;
  else
    records.push_back(*record);
  StoreUserEllipsoids(records, record->name);
}

void CDlgEllips::OnRemove() {
  const std::optional<std::size_t> row = SelectedUserRow();
  if (!row || RefusedAsUsed(UserEllipsoids()[*row].name, "删除")) return;
  std::vector<EllipsoidRecord> records(UserEllipsoids().begin(), UserEllipsoids().end());
  records.erase(records.begin() + static_cast<std::ptrdiff_t>(*row));
  StoreUserEllipsoids(records, "WGS84");
}

bool CDlgEllips::RefusedAsUsed(const std::string& name, const std::string& change) const {
  const std::vector<std::string> uses = EllipsoidUses(CoordSettings::instance(), name);
  if (uses.empty()) return false;
  std::string where;
  for (const std::string& use : uses) where += (where.empty() ? "" : "、") + use;
  ShowMessage("椭球 " + name + " 正在使用，不能" + change + "。\n使用它的是: " + where);
  return true;
}

bool CDlgEllips::StoreUserEllipsoids(const std::vector<EllipsoidRecord>& records, const std::string& selectName) {
  if (!SaveUserEllipsoids(records)) {
    ShowMessage("用户椭球文件无法写入,请检查.\n文件: " + ToStd(UserEllipsoidTablePath()));
    return false;
  }
  LoadEllipsoids();
  ListCatalogue(selectName);
  emit ellipsoidsChanged();
  return true;
}

std::vector<std::string> EllipsoidUses(const CoordSettings& settings, const std::string& name) {
  const std::pair<const std::string&, const char*> places[] = {
      {settings.sourceEllipsoid, "源坐标椭球"},
      {settings.targetEllipsoid, "目的坐标椭球"},
      {settings.datum.sourceEllipsoid, "基准转换参数的源椭球"},
      {settings.datum.targetEllipsoid, "基准转换参数的目的椭球"},
  };
  std::vector<std::string> uses;
  for (const auto& [used, place] : places) {
    if (used == name) uses.emplace_back(place);
  }
  return uses;
}

}  // namespace tarnwell

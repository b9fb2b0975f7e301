#include "ui/CDlgProjTrans.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QShowEvent>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QVBoxLayout>
#include <algorithm>

#include "engine/Messages.h"
#include "engine/Refusal.h"
#include "engine/SettingRanges.h"
#include "tables/ListOrder.h"
#include "tables/NumberText.h"
#include "tables/ProjectionCatalogue.h"
#include "tables/SupportedProjections.h"
#include "tables/TablePaths.h"
#include "tables/TableText.h"
#include "ui/DialogButtons.h"
#include "ui/EntryText.h"
#include "ui/FormRows.h"
#include "ui/QtText.h"

namespace tarnwell {
namespace {

struct ParameterRow {
  const char* label;
  const char* unit;
  const char* objectName;
  ProjectionParameter field;
};

// The parameter boxes from top to bottom.
const ParameterRow kParameterRows[] = {
    {"中央子午线=", "度", "centralMeridian", &ProjectionParams::centralMeridian},
    {"比例因子=", "", "scaleFactor", &ProjectionParams::scaleFactor},
    {"北坐标常数=", "米", "falseNorthing", &ProjectionParams::falseNorthing},
    {"东坐标常数=", "米", "falseEasting", &ProjectionParams::falseEasting},
    {"基准纬度=", "度", "originLatitude", &ProjectionParams::originLatitude},
    {"投影面高程=", "米", "surfaceHeight", &ProjectionParams::surfaceHeight},
    {"纬度线1=", "度", "latitude1", &ProjectionParams::latitude1},
    {"纬度线2=", "度", "latitude2", &ProjectionParams::latitude2},
};

// The entries of the zone-width list, in order: degrees, 0 for none.
constexpr int kZoneWidths[] = {0, 3, 6};

ZoneScheme SchemeOf(const std::string& key) {
  const SupportedProjection* supported = FindSupportedProjection(key);
  return supported ? supported->zones : ZoneScheme::None;
}

// The projection-plane height may be left blank: no height.
bool IsBlankHeight(ProjectionParameter field, const QLineEdit* edit) {
  return field == &ProjectionParams::surfaceHeight && edit->text().trimmed().isEmpty();
}

// A parameter in its shortest form; empty where it has no value.
QString ParameterText(const std::optional<double>& value) {
  if (!value) return {};
  std::string text;
  AppendShortestNumber(*value, text);
  return ToQt(text);
}

// The catalogue's entry of a list text; nullptr when there is none.
const ProjectionParams* CatalogueEntryOf(const std::string& listText) {
  for (const ProjectionParams& entry : TheProjectionCatalogue()) {
    if (ProjectionListText(entry) == listText) return &entry;
  }
  return nullptr;
}

}  // namespace

CDlgProjTrans::CDlgProjTrans(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("projectionDialog"));
  setWindowTitle(QStringLiteral("投影设置"));

  projectionList_ = new QListWidget;
  projectionList_->setObjectName(QStringLiteral("projectionList"));
  projectionList_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  connect(projectionList_, &QListWidget::itemDoubleClicked, this, &CDlgProjTrans::OnListDblClk);
  auto* unsupportedNote = new QLabel(QStringLiteral("灰色的投影不支持。"));
  unsupportedNote->setObjectName(QStringLiteral("unsupportedNote"));

  auto* group = new QGroupBox(QStringLiteral("投影参数"));
  auto* grid = new QGridLayout(group);
  chineseName_ = AddEditRow(grid, 0, QStringLiteral("投影名称="), QStringLiteral("chineseName"));
  chineseName_->setReadOnly(true);
  description_ = AddEditRow(grid, 1, QStringLiteral("描述="), QStringLiteral("description"));
  FitWidthTo(description_, QStringLiteral("Lambert Conformal Conic Alternative"));
  int row = 2;
  for (const ParameterRow& parameter : kParameterRows) {
    QLineEdit* edit = AddEditRow(grid, row, QString::fromUtf8(parameter.label), QString::fromUtf8(parameter.objectName));
    grid->addWidget(new QLabel(QString::fromUtf8(parameter.unit)), row, 2);
    parameterBoxes_.push_back({parameter.field, edit});
    ++row;
  }
  BoxOf(&ProjectionParams::surfaceHeight)->setPlaceholderText(QStringLiteral("无"));
  grid->setColumnStretch(1, 1);

  auto* listColumn = new QVBoxLayout;
  listColumn->addWidget(LabelFor(QStringLiteral("投影"), projectionList_));
  listColumn->addWidget(projectionList_, 1);
  listColumn->addWidget(unsupportedNote);
  listColumn->addLayout(MakeOkCancelRow(this, Qt::AlignLeft));

  auto* parameterColumn = new QVBoxLayout;
  parameterColumn->addWidget(group);
  parameterColumn->addWidget(MakeZoneGroup());
  parameterColumn->addStretch();

  parameterColumn_ = new QWidget;
  parameterColumn_->setLayout(parameterColumn);
  parameterColumn->setContentsMargins(0, 0, 0, 0);

  auto* columns = new QHBoxLayout;
  columns->addLayout(listColumn, 1);
  columns->addWidget(parameterColumn_, 1);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(MakeSideChoice());
  layout->addLayout(columns, 1);
  resize(760, 600);
}

QWidget* CDlgProjTrans::MakeSideChoice() {
  editTarget_ = new QRadioButton(QStringLiteral("目的投影"));
  editTarget_->setObjectName(QStringLiteral("editTargetProjection"));
  editSource_ = new QRadioButton(QStringLiteral("源投影"));
  editSource_->setObjectName(QStringLiteral("editSourceProjection"));
  sameAsTarget_ = new QCheckBox(QStringLiteral("与目的投影相同"));
  sameAsTarget_->setObjectName(QStringLiteral("sameAsTarget"));
  for (QRadioButton* radio : {editTarget_, editSource_}) connect(radio, &QRadioButton::clicked, this, &CDlgProjTrans::OnSideChosen);
  connect(sameAsTarget_, &QCheckBox::toggled, this, &CDlgProjTrans::OnSameAsTargetToggled);

  auto* group = new QGroupBox(QStringLiteral("编辑"));
  group->setObjectName(QStringLiteral("projectionSide"));
  auto* row = new QHBoxLayout(group);
  row->addWidget(editTarget_);
  row->addWidget(editSource_);
  row->addWidget(sameAsTarget_);
  row->addStretch();
  return group;
}

QWidget* CDlgProjTrans::MakeZoneGroup() {
  auto* group = new QGroupBox(QStringLiteral("分带"));
  auto* grid = new QGridLayout(group);
  zoneWidth_ = new QComboBox;
  zoneWidth_->setObjectName(QStringLiteral("zoneWidth"));
  zoneWidth_->addItems({QStringLiteral("不分带 (自定中央子午线)"), QStringLiteral("3° 带"), QStringLiteral("6° 带")});
  zone_ = new QSpinBox;
  zone_->setObjectName(QStringLiteral("zone"));
  zone_->setRange(1, 120);
  south_ = new QCheckBox(QStringLiteral("南半球 (UTM)"));
  south_->setObjectName(QStringLiteral("south"));
  zonePrefix_ = new QCheckBox(QStringLiteral("东坐标加带号前缀 (带号×1000000)"));
  zonePrefix_->setObjectName(QStringLiteral("zonePrefix"));
  autoZone_ = new QCheckBox(QStringLiteral("自动分带 (每点取所在的带)"));
  autoZone_->setObjectName(QStringLiteral("autoZone"));

  const auto addRow = [grid](int row, const QString& label, QWidget* field) {
    auto* rowLabel = new QLabel(label);
    rowLabel->setBuddy(field);
    grid->addWidget(rowLabel, row, 0, Qt::AlignRight | Qt::AlignVCenter);
    grid->addWidget(field, row, 1);
  };
  addRow(0, QStringLiteral("分带="), zoneWidth_);
  addRow(1, QStringLiteral("带号="), zone_);
  grid->addWidget(south_, 2, 1);
  grid->addWidget(zonePrefix_, 3, 1);
  grid->addWidget(autoZone_, 4, 1);
  grid->setColumnStretch(1, 1);

  connect(zoneWidth_, &QComboBox::currentIndexChanged, this, &CDlgProjTrans::OnZoneWidthChanged);
  connect(zone_, &QSpinBox::valueChanged, this, &CDlgProjTrans::UpdateBoxes);
  for (QCheckBox* box : {south_, zonePrefix_, autoZone_}) connect(box, &QCheckBox::toggled, this, &CDlgProjTrans::UpdateBoxes);
  return group;
}

QLineEdit* CDlgProjTrans::BoxOf(ProjectionParameter field) const {
  return std::find_if(parameterBoxes_.begin(), parameterBoxes_.end(),
                      [field](const ParameterBox& box) { return box.field == field; })
      ->edit;
}

void CDlgProjTrans::showEvent(QShowEvent* event) {
  if (!event->spontaneous()) OnInitDialog();
  QDialog::showEvent(event);
}

void CDlgProjTrans::OnInitDialog() {
  LoadProjectionCatalogue(GetTablePath("projs.csv"));
  // The projections the program computes first, each group in list order.
  std::vector<std::string> supportedTexts, otherTexts;
  for (const ProjectionParams& entry : TheProjectionCatalogue()) {
    InsertSorted(FindSupportedProjection(entry.projKey) ? supportedTexts : otherTexts, ProjectionListText(entry));
  }
  listTexts_ = std::move(supportedTexts);
  listTexts_.insert(listTexts_.end(), otherTexts.begin(), otherTexts.end());
  projectionList_->clear();
  for (const std::string& text : listTexts_) {
    const std::size_t comma = text.find(',');
    const QString key = ToQt(text.substr(0, comma));
    const QString description = ToQt(comma == std::string::npos ? std::string() : text.substr(comma + 1));
    const SupportedProjection* supported = FindSupportedProjection(text.substr(0, comma));
    const QString name = supported ? ToQt(std::string(supported->chineseName)) : description;
    auto* item = new QListWidgetItem(EntryText(key, name), projectionList_);
    if (supported) {
      item->setToolTip(description);
    } else {
      // Shown, but never chosen.
      item->setFlags(item->flags() & ~Qt::ItemIsEnabled);
      item->setToolTip(QStringLiteral("不支持的投影"));
    }
  }
  const CoordSettings& settings = CoordSettings::instance();
  targetProjection_ = settings.projection;
  sourceProjection_ = SourceProjection(settings);
  ownSourceProjection_ = settings.ownSourceProjection;
  showingSource_ = false;
  editTarget_->setChecked(true);
  ShowSide();
}

ProjectionParams& CDlgProjTrans::ShownSide() {
  return showingSource_ && ownSourceProjection_ ? sourceProjection_ : targetProjection_;
}

bool CDlgProjTrans::ShowsEditable() const { return !showingSource_ || ownSourceProjection_; }

void CDlgProjTrans::ShowSide() {
  {
    const QSignalBlocker blocker(sameAsTarget_);
    sameAsTarget_->setChecked(!ownSourceProjection_);
  }
  sameAsTarget_->setEnabled(showingSource_);
  // The target's projection standing in for the source's is shown, not edited.
  projectionList_->setEnabled(ShowsEditable());
  parameterColumn_->setEnabled(ShowsEditable());
  SelectCurrentProjection();
  ShowSelectedProjection();
}

void CDlgProjTrans::OnSideChosen() {
  const bool source = editSource_->isChecked();
  if (source == showingSource_) return;
  if (ShowsEditable() && !ReadShownProjection(ShownSide())) {
    (showingSource_ ? editSource_ : editTarget_)->setChecked(true);
    return;
  }
  showingSource_ = source;
  ShowSide();
}

// Ticked, the source's projection as last taken from the boxes stays aside
// (what was typed since is dropped) and comes back when it is unticked.
void CDlgProjTrans::OnSameAsTargetToggled(bool same) {
  ownSourceProjection_ = !same;
  ShowSide();
}

void CDlgProjTrans::SelectCurrentProjection() {
  const std::string& currentKey = ShownSide().projKey;
  int position = 0;
  const int count = static_cast<int>(listTexts_.size());
  for (; position < count; ++position) {
    const std::vector<std::string> fields = SplitAtChar(listTexts_[position], ',');
    if (!fields.empty() && fields.front() == currentKey) break;
  }
  projectionList_->setCurrentRow(position < count ? position : -1);
  // In the middle of the list's view, with its neighbours on either side.
  if (position < count) projectionList_->scrollToItem(projectionList_->item(position), QAbstractItemView::PositionAtCenter);
  initialSelection_ = position;
}

void CDlgProjTrans::OnListDblClk() { ShowSelectedProjection(); }

void CDlgProjTrans::ShowSelectedProjection() {
  const int selected = projectionList_->currentRow();
  // The item of the side's projection, or no item at all (the projection is
  // not in the list): the side's own values.
  if (selected == initialSelection_ || selected < 0) {
    ShowProjection(ShownSide());
    return;
  }
  if (const ProjectionParams* entry = CatalogueEntryOf(listTexts_[selected])) ShowProjection(*entry);
}

void CDlgProjTrans::ShowProjection(const ProjectionParams& projection) {
  shownKey_ = projection.projKey;
  const SupportedProjection* supported = FindSupportedProjection(projection.projKey);
  chineseName_->setText(supported ? ToQt(std::string(supported->chineseName)) : QString());
  description_->setText(ToQt(projection.description));
  for (const ParameterBox& box : parameterBoxes_) box.edit->setText(ParameterText(projection.*box.field));
  {
    const QSignalBlocker blockWidth(zoneWidth_), blockZone(zone_), blockSouth(south_), blockPrefix(zonePrefix_),
        blockAuto(autoZone_);
    const auto width = std::find(std::begin(kZoneWidths), std::end(kZoneWidths), projection.zoneWidth);
    zoneWidth_->setCurrentIndex(width == std::end(kZoneWidths) ? 0 : static_cast<int>(width - std::begin(kZoneWidths)));
    zone_->setRange(1, 120);
    zone_->setValue(projection.zone);
    south_->setChecked(projection.south);
    zonePrefix_->setChecked(projection.zonePrefix);
    autoZone_->setChecked(projection.autoZone);
  }
  UpdateBoxes();
}

ProjectionParams CDlgProjTrans::ShownZoneChoice() const {
  ProjectionParams choice;
  choice.projKey = shownKey_;
  const ZoneScheme scheme = SchemeOf(shownKey_);
  choice.zoneWidth = scheme == ZoneScheme::GaussKruger ? kZoneWidths[std::max(0, zoneWidth_->currentIndex())] : 0;
  const bool zoned = ZoneSystemOf(choice).has_value();
  choice.zone = zoned ? zone_->value() : 0;
  choice.south = scheme == ZoneScheme::Utm && south_->isChecked();
  choice.zonePrefix = zoned && zonePrefix_->isChecked();
  choice.autoZone = choice.zonePrefix && autoZone_->isChecked();
  return choice;
}

void CDlgProjTrans::OnZoneWidthChanged() {
  const ProjectionParams choice = ShownZoneChoice();
  if (const std::optional<ZoneSystem> system = ZoneSystemOf(choice)) {
    const QSignalBlocker blockZone(zone_);
    zone_->setRange(1, ZoneCount(*system));
    if (double meridian; ReadNumber(ToStd(BoxOf(&ProjectionParams::centralMeridian)->text()), meridian))
      zone_->setValue(ZoneOfLongitude(*system, meridian));
  }
  UpdateBoxes();
}

void CDlgProjTrans::UpdateBoxes() {
  const ProjectionParams choice = ShownZoneChoice();
  const ZoneScheme scheme = SchemeOf(shownKey_);
  const std::optional<ZoneSystem> system = ZoneSystemOf(choice);
  zoneWidth_->setEnabled(scheme == ZoneScheme::GaussKruger);
  south_->setEnabled(scheme == ZoneScheme::Utm);
  zonePrefix_->setEnabled(system.has_value());
  autoZone_->setEnabled(choice.zonePrefix);
  zone_->setEnabled(system && !choice.autoZone);
  for (const ParameterBox& box : parameterBoxes_) box.edit->setEnabled(UsesParameter(choice, box.field));
  if (!system) return;
  {
    const QSignalBlocker blockZone(zone_);
    zone_->setRange(1, ZoneCount(*system));
  }
  ProjectionParams fixed = choice;
  SetZoneParameters(fixed, *system, zone_->value());
  for (const ParameterBox& box : parameterBoxes_) {
    if (std::find(std::begin(kZoneParameters), std::end(kZoneParameters), box.field) != std::end(kZoneParameters))
      box.edit->setText(ParameterText(fixed.*box.field));
  }
}

bool CDlgProjTrans::ReadShownProjection(ProjectionParams& projection) const {
  ProjectionParams read = projection;
  // With no item selected the projection keeps its name and only takes the
  // parameters shown.
  if (const int selected = projectionList_->currentRow(); selected >= 0) {
    const std::string& text = listTexts_[selected];
    const std::size_t comma = text.find(',');
    // The list's position in the catalogue's own order, whatever order the
    // list shows.
    if (const ProjectionParams* entry = CatalogueEntryOf(text)) read.listIndex = entry->listIndex;
    read.projKey = text.substr(0, comma);
    read.description = comma == std::string::npos ? std::string() : text.substr(comma + 1);
  }
  const auto refuse = [] {
    ShowMessage(MessageText({RefusalReason::Projection, {}}));
    return false;
  };
  const ProjectionParams choice = ShownZoneChoice();
  for (const ParameterBox& box : parameterBoxes_) {
    std::optional<double>& value = read.*box.field;
    value.reset();
    if (!UsesParameter(choice, box.field) || IsBlankHeight(box.field, box.edit)) continue;
    double number;
    if (!ReadNumber(ToStd(box.edit->text()), number)) return refuse();
    value = number;
  }
  read.zoneWidth = choice.zoneWidth;
  read.zone = choice.zone;
  read.south = choice.south;
  read.zonePrefix = choice.zonePrefix;
  read.autoZone = choice.autoZone;
  if (!ProjectionInRange(read)) return refuse();
  projection = read;
  return true;
}

void CDlgProjTrans::accept() {
  // A mistyped parameter keeps the dialog open and stores nothing.
  if (ShowsEditable() && !ReadShownProjection(ShownSide())) return;
  CoordSettings& settings = CoordSettings::instance();
  settings.projection = targetProjection_;
  settings.ownSourceProjection = ownSourceProjection_;
  if (ownSourceProjection_) settings.sourceProjection = sourceProjection_;
  QDialog::accept();
}

}  // namespace tarnwell

#include "ui/CDlgProjTrans.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QShowEvent>
#include <QVBoxLayout>

#include "tables/ListOrder.h"
#include "tables/ProjectionCatalogue.h"
#include "tables/TablePaths.h"
#include "tables/TableText.h"
#include "ui/DialogButtons.h"
#include "ui/FormRows.h"
#include "ui/QtText.h"

namespace tarnwell {
namespace {

const std::string kNotUsed = "NULL";

struct ParameterRow {
  const char* label;
  const char* unit;
  const char* objectName;
  std::string ProjectionParams::*field;
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
    {"辅助椭球=", "", "auxEllipsoid", &ProjectionParams::auxEllipsoid},
};

}  // namespace

CDlgProjTrans::CDlgProjTrans(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("projectionDialog"));
  setWindowTitle(QStringLiteral("投影设置"));

  projectionList_ = new QListWidget;
  projectionList_->setObjectName(QStringLiteral("projectionList"));
  projectionList_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  connect(projectionList_, &QListWidget::itemDoubleClicked, this, &CDlgProjTrans::OnListDblClk);

  auto* group = new QGroupBox(QStringLiteral("投影参数"));
  auto* grid = new QGridLayout(group);
  description_ = AddEditRow(grid, 0, QStringLiteral("描述="), QStringLiteral("description"));
  FitWidthTo(description_, QStringLiteral("Lambert Conformal Conic Alternative"));
  int row = 1;
  for (const ParameterRow& parameter : kParameterRows) {
    QLineEdit* edit = AddEditRow(grid, row, QString::fromUtf8(parameter.label), QString::fromUtf8(parameter.objectName));
    grid->addWidget(new QLabel(QString::fromUtf8(parameter.unit)), row, 2);
    parameterBoxes_.push_back({parameter.field, edit});
    ++row;
  }
  grid->setColumnStretch(1, 1);

  auto* listColumn = new QVBoxLayout;
  listColumn->addWidget(projectionList_, 1);
  listColumn->addLayout(MakeOkCancelRow(this, Qt::AlignLeft));

  auto* layout = new QHBoxLayout(this);
  layout->addLayout(listColumn, 1);
  layout->addWidget(group, 1);
  resize(760, 400);
}

void CDlgProjTrans::showEvent(QShowEvent* event) {
  if (!event->spontaneous()) OnInitDialog();
  QDialog::showEvent(event);
}

void CDlgProjTrans::OnInitDialog() {
  LoadProjectionCatalogue(GetTablePath("projs.csv"));
  listTexts_.clear();
  for (const ProjectionParams& entry : TheProjectionCatalogue()) InsertSorted(listTexts_, ProjectionListText(entry));
  projectionList_->clear();
  for (const std::string& text : listTexts_) projectionList_->addItem(ToQt(text));
  SelectCurrentProjection();
  ShowSelectedProjection();
}

void CDlgProjTrans::SelectCurrentProjection() {
  const std::string& currentKey = CoordSettings::instance().projection.projKey;
  int position = 0;
  const int count = static_cast<int>(listTexts_.size());
  for (; position < count; ++position) {
    const std::vector<std::string> fields = SplitAtChar(listTexts_[position], ',');
    if (!fields.empty() && fields.front() == currentKey) break;
  }
  projectionList_->setCurrentRow(position < count ? position : -1);
  initialSelection_ = position;
}

void CDlgProjTrans::OnListDblClk() { ShowSelectedProjection(); }

void CDlgProjTrans::ShowSelectedProjection() {
  const int selected = projectionList_->currentRow();
  // The item selected at opening, or no item at all (the projection in force
  // is not in the list): the values last confirmed with OK.
  if (selected == initialSelection_ || selected < 0) {
    ShowProjection(CoordSettings::instance().projection);
    return;
  }
  for (const ProjectionParams& entry : TheProjectionCatalogue()) {
    if (ProjectionListText(entry) == listTexts_[selected]) {
      ShowProjection(entry);
      return;
    }
  }
}

void CDlgProjTrans::ShowProjection(const ProjectionParams& projection) {
  description_->setText(ToQt(projection.description));
  // An unused parameter disables its box and leaves the old text standing.
  for (const ParameterBox& box : parameterBoxes_) {
    const std::string& value = projection.*box.field;
    box.edit->setEnabled(value != kNotUsed);
    if (value != kNotUsed) box.edit->setText(ToQt(value));
  }
}

void CDlgProjTrans::accept() {
  ProjectionParams& projection = CoordSettings::instance().projection;
  const int selected = projectionList_->currentRow();
  // With no item selected the projection in force keeps its name and only
  // takes the parameters shown.
  if (selected >= 0) {
    const std::string& text = listTexts_[selected];
    const std::size_t comma = text.find(',');
    projection.listIndex = selected;
    projection.projKey = text.substr(0, comma);
    projection.description = comma == std::string::npos ? std::string() : text.substr(comma + 1);
  }
  for (const ParameterBox& box : parameterBoxes_) {
    projection.*box.field = box.edit->isEnabled() ? ToStd(box.edit->text()) : kNotUsed;
  }
  QDialog::accept();
}

}  // namespace tarnwell

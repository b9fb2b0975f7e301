#include "ui/CDlgFileFt.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QShowEvent>
#include <QSpinBox>
#include <QVBoxLayout>
#include <algorithm>
#include <iterator>

#include "batch/CoordinateFile.h"
#include "engine/Messages.h"
#include "ui/DialogButtons.h"
#include "ui/FilePreviewTable.h"
#include "ui/FormRows.h"
#include "ui/QtText.h"

namespace tarnwell {
namespace {

constexpr std::size_t kPreviewLineCount = 10;
constexpr std::string_view kCassPreset = "cass";

// The separators in the order of their list, each with its label.
constexpr std::pair<Separator, const char*> kSeparatorLabels[] = {
    {Separator::Comma, "逗号 ,"}, {Separator::Tab, "制表符"}, {Separator::Blank, "空格 (一个或多个)"},
    {Separator::Semicolon, "分号 ;"}};

constexpr std::pair<OutputLayout, const char*> kOutputLabels[] = {
    {OutputLayout::Input, "与输入相同"}, {OutputLayout::Csv, "CSV (逗号分隔, 首行为列名, .csv)"}};

template <typename Enum, std::size_t N>
int IndexOf(const std::pair<Enum, const char*> (&labels)[N], Enum value) {
  const auto found = std::find_if(std::begin(labels), std::end(labels), [value](const auto& l) { return l.first == value; });
  return found == std::end(labels) ? 0 : static_cast<int>(found - std::begin(labels));
}

// The columns of the CASS preset, as ApplyLayoutPreset sets them.
std::string CassColumns() {
  CoordSettings cass;
  ApplyLayoutPreset(kCassPreset, cass);
  return cass.fileLayout.columns;
}

}  // namespace

CDlgFileFt::CDlgFileFt(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("fileFormatDialog"));
  setWindowTitle(QStringLiteral("文件格式"));

  formatList_ = new QListWidget;
  formatList_->setObjectName(QStringLiteral("formatList"));
  for (const Keyword<FileFormat>& format : kFileFormats) formatList_->addItem(ToQt(std::string(format.text)));
  formatList_->addItem(QStringLiteral("CASS .dat (点名,编码,Y 东,X 北,H)"));
  formatList_->addItem(QStringLiteral("自定义列"));
  // A double click on a format is the same as selecting it and pressing OK.
  connect(formatList_, &QListWidget::itemDoubleClicked, this, &CDlgFileFt::accept);
  connect(formatList_, &QListWidget::currentRowChanged, this, &CDlgFileFt::OnPresetChanged);

  columns_ = new QLineEdit;
  columns_->setObjectName(QStringLiteral("columns"));
  columns_->setPlaceholderText(QStringLiteral("如 name,code,y,x,h"));
  columns_->setToolTip(QStringLiteral("name 点名 (可省), code 或 extra 原样保留的列; 坐标列 b,l,h (LB), "
                                      "x,y,h (Plan, x 北 y 东), X,Y,Z (Space); 逗号分隔, 任意顺序"));
  separator_ = new QComboBox;
  separator_->setObjectName(QStringLiteral("separator"));
  for (const auto& [separator, label] : kSeparatorLabels) separator_->addItem(QString::fromUtf8(label));
  headerLines_ = new QSpinBox;
  headerLines_->setObjectName(QStringLiteral("headerLines"));
  headerLines_->setRange(0, kMaxHeaderLines);
  automaticHeader_ = new QCheckBox(QStringLiteral("自动 (首行不是坐标时为文件头)"));
  automaticHeader_->setObjectName(QStringLiteral("automaticHeader"));
  outputLayout_ = new QComboBox;
  outputLayout_->setObjectName(QStringLiteral("outputLayout"));
  for (const auto& [layout, label] : kOutputLabels) outputLayout_->addItem(QString::fromUtf8(label));
  columnsCheck_ = new QLabel;
  columnsCheck_->setObjectName(QStringLiteral("columnsCheck"));
  columnsCheck_->setWordWrap(true);
  preview_ = new FilePreviewTable;
  preview_->setObjectName(QStringLiteral("layoutPreview"));

  connect(columns_, &QLineEdit::textChanged, this, &CDlgFileFt::OnLayoutEdited);
  connect(separator_, &QComboBox::currentIndexChanged, this, &CDlgFileFt::OnLayoutEdited);
  connect(headerLines_, &QSpinBox::valueChanged, this, &CDlgFileFt::OnLayoutEdited);
  connect(automaticHeader_, &QCheckBox::toggled, this, &CDlgFileFt::OnLayoutEdited);
  connect(outputLayout_, &QComboBox::currentIndexChanged, this, &CDlgFileFt::OnLayoutEdited);

  auto* header = new QHBoxLayout;
  header->addWidget(headerLines_);
  header->addWidget(automaticHeader_);
  auto* form = new QFormLayout;
  form->addRow(LabelFor(QStringLiteral("列"), columns_), columns_);
  form->addRow(LabelFor(QStringLiteral("分隔符"), separator_), separator_);
  form->addRow(LabelFor(QStringLiteral("文件头行数"), headerLines_), header);
  form->addRow(LabelFor(QStringLiteral("输出格式"), outputLayout_), outputLayout_);

  auto* choice = new QHBoxLayout;
  auto* presets = new QVBoxLayout;
  presets->addWidget(LabelFor(QStringLiteral("坐标文件格式"), formatList_));
  presets->addWidget(formatList_);
  choice->addLayout(presets);
  choice->addLayout(form, 1);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(choice);
  layout->addWidget(columnsCheck_);
  layout->addWidget(new QLabel(QStringLiteral("预览：输入文件的前 %1 行").arg(kPreviewLineCount)));
  layout->addWidget(preview_, 1);
  layout->addLayout(MakeOkCancelRow(this, Qt::AlignRight));
  resize(720, 480);
}

void CDlgFileFt::showEvent(QShowEvent* event) {
  if (!event->spontaneous()) OnInitDialog();
  QDialog::showEvent(event);
}

void CDlgFileFt::OnInitDialog() {
  // The layout in force, which may be remembered from an earlier run: OK
  // without a look at the list keeps it. The list has the order of the keywords.
  const CoordSettings& settings = CoordSettings::instance();
  const FileLayout& own = settings.fileLayout;
  const QSignalBlocker blocked(formatList_);
  if (own.columns.empty()) {
    const auto position = std::find_if(std::begin(kFileFormats), std::end(kFileFormats),
                                       [&](const Keyword<FileFormat>& format) { return format.value == settings.fileFormat; });
    formatList_->setCurrentRow(static_cast<int>(position - std::begin(kFileFormats)));
  } else {
    formatList_->setCurrentRow(own.columns == CassColumns() ? kCassRow : kOwnColumnsRow);
  }
  columns_->setText(ToQt(own.columns));
  separator_->setCurrentIndex(IndexOf(kSeparatorLabels, own.separator));
  automaticHeader_->setChecked(own.headerLines == kAutomaticHeader);
  headerLines_->setValue(std::max(own.headerLines, 0));
  outputLayout_->setCurrentIndex(IndexOf(kOutputLabels, settings.outputLayout));
  OnPresetChanged();
}

// The fixed layouts are what they are; CASS fixes the columns.
void CDlgFileFt::OnPresetChanged() {
  const int row = formatList_->currentRow();
  const bool own = row == kOwnColumnsRow, cass = row == kCassRow;
  if (cass) columns_->setText(ToQt(CassColumns()));
  columns_->setEnabled(own);
  separator_->setEnabled(own || cass);
  headerLines_->setEnabled(own || cass);
  automaticHeader_->setEnabled(own || cass);
  OnLayoutEdited();
}

CoordSettings CDlgFileFt::EditedSettings() const {
  CoordSettings settings = CoordSettings::instance();
  const int row = formatList_->currentRow();
  if (row >= 0 && row < kCassRow) {
    ApplyLayoutPreset(kFileFormats[row].text, settings);
  } else {
    settings.fileLayout.columns = ToStd(columns_->text().trimmed());
    settings.fileLayout.separator = kSeparatorLabels[separator_->currentIndex()].first;
    settings.fileLayout.headerLines = automaticHeader_->isChecked() ? kAutomaticHeader : headerLines_->value();
  }
  settings.outputLayout = kOutputLabels[outputLayout_->currentIndex()].first;
  return settings;
}

void CDlgFileFt::OnLayoutEdited() {
  headerLines_->setEnabled(automaticHeader_->isEnabled() && !automaticHeader_->isChecked());
  const CoordSettings edited = EditedSettings();
  const bool own = formatList_->currentRow() >= kCassRow;
  if (own && !ColumnsAreWellFormed(edited.fileLayout.columns)) {
    columnsCheck_->setText(QStringLiteral("列不正确: 每个坐标列恰好一次, 点名至多一次, 只用 name, code, extra 和坐标列。"));
  } else if (own && !CheckFileFormat(edited)) {
    columnsCheck_->setText(QStringLiteral("这些列不是源坐标类型的坐标列。"));
  } else {
    columnsCheck_->clear();
  }
  preview_->Show(edited, previewPath_, kPreviewLineCount);
}

void CDlgFileFt::accept() {
  const CoordSettings edited = EditedSettings();
  // Empty columns or columns that are no layout of any type would be a
  // fixed layout in disguise, or no layout at all.
  if (formatList_->currentRow() >= kCassRow &&
      (edited.fileLayout.columns.empty() || !ColumnsAreWellFormed(edited.fileLayout.columns))) {
    ShowMessage("自定义列不正确，请检查。");
    return;
  }
  CoordSettings& settings = CoordSettings::instance();
  settings.fileFormat = edited.fileFormat;
  settings.fileLayout = edited.fileLayout;
  settings.outputLayout = edited.outputLayout;
  QDialog::accept();
}

}  // namespace tarnwell

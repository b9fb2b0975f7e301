#include "ui/CDlgFileFt.h"

#include <QLabel>
#include <QListWidget>
#include <QShowEvent>
#include <QVBoxLayout>
#include <algorithm>
#include <iterator>

#include "engine/CoordSettings.h"
#include "ui/DialogButtons.h"
#include "ui/FormRows.h"
#include "ui/QtText.h"

namespace tarnwell {

CDlgFileFt::CDlgFileFt(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("fileFormatDialog"));
  setWindowTitle(QStringLiteral("文件格式"));

  formatList_ = new QListWidget;
  formatList_->setObjectName(QStringLiteral("formatList"));
  // A double click on a format is the same as selecting it and pressing OK.
  connect(formatList_, &QListWidget::itemDoubleClicked, this, &CDlgFileFt::accept);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(LabelFor(QStringLiteral("坐标文件格式"), formatList_));
  layout->addWidget(formatList_);
  layout->addLayout(MakeOkCancelRow(this, Qt::AlignRight));
  resize(280, 200);
}

void CDlgFileFt::showEvent(QShowEvent* event) {
  if (!event->spontaneous()) OnInitDialog();
  QDialog::showEvent(event);
}

void CDlgFileFt::OnInitDialog() {
  formatList_->clear();
  for (const Keyword<FileFormat>& format : kFileFormats) formatList_->addItem(ToQt(std::string(format.text)));
  // The format in force, which may be remembered from an earlier run: OK
  // without a look at the list keeps it. The list has the order of the keywords.
  const FileFormat inForce = CoordSettings::instance().fileFormat;
  const auto position = std::find_if(std::begin(kFileFormats), std::end(kFileFormats),
                                     [inForce](const Keyword<FileFormat>& format) { return format.value == inForce; });
  formatList_->setCurrentRow(static_cast<int>(position - std::begin(kFileFormats)));
}

void CDlgFileFt::accept() {
  if (QListWidgetItem* selected = formatList_->currentItem())
    ReadKeyword<FileFormat>(kFileFormats, ToStd(selected->text()), CoordSettings::instance().fileFormat);
  QDialog::accept();
}

}  // namespace tarnwell

#include "ui/CDlgFileFt.h"

#include <QListWidget>
#include <QShowEvent>
#include <QVBoxLayout>

#include "engine/CoordSettings.h"
#include "ui/DialogButtons.h"
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
  formatList_->addItems({QStringLiteral("n,b,l,h"), QStringLiteral("n,x,y,h"), QStringLiteral("n,X,Y,Z")});
  // The format in force, which may be remembered from an earlier run: OK
  // without a look at the list keeps it.
  const QList<QListWidgetItem*> current =
      formatList_->findItems(ToQt(CoordSettings::instance().fileFormat), Qt::MatchExactly | Qt::MatchCaseSensitive);
  formatList_->setCurrentRow(current.isEmpty() ? 0 : formatList_->row(current.front()));
}

void CDlgFileFt::accept() {
  if (QListWidgetItem* selected = formatList_->currentItem()) {
    CoordSettings::instance().fileFormat = ToStd(selected->text());
  }
  QDialog::accept();
}

}  // namespace tarnwell

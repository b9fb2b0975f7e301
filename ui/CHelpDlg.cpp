#include "ui/CHelpDlg.h"

#include <QFile>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSplitter>
#include <QTextBrowser>
#include <QTreeWidget>
#include <QUrl>
#include <QVBoxLayout>

#include "ui/Manual.h"

namespace tarnwell {
namespace {

constexpr int kSectionRole = Qt::UserRole;

// A heading's text without its markup.
QString PlainText(const QString& html) {
  static const QRegularExpression tags(QStringLiteral("<[^>]*>"));
  return QString(html).remove(tags).simplified();
}

}  // namespace

CHelpDlg::CHelpDlg(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("helpWindow"));
  setWindowTitle(QStringLiteral("Tarnwell 帮助"));
  setWindowFlag(Qt::WindowMinimizeButtonHint);
  setWindowFlag(Qt::WindowMaximizeButtonHint);
  setModal(false);

  contents_ = new QTreeWidget;
  contents_->setObjectName(QStringLiteral("helpContents"));
  contents_->setHeaderLabel(QStringLiteral("目录"));
  connect(contents_, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* item) {
    ShowSection(item->data(0, kSectionRole).toString(), parentWidget());
  });

  search_ = new QLineEdit;
  search_->setObjectName(QStringLiteral("helpSearch"));
  search_->setPlaceholderText(QStringLiteral("搜索手册"));
  connect(search_, &QLineEdit::returnPressed, this, &CHelpDlg::OnSearch);
  auto* findNext = new QPushButton(QStringLiteral("查找下一个"));
  findNext->setObjectName(QStringLiteral("helpFindNext"));
  findNext->setAutoDefault(false);
  connect(findNext, &QPushButton::clicked, this, &CHelpDlg::OnSearch);
  searchStatus_ = new QLabel;
  searchStatus_->setObjectName(QStringLiteral("helpSearchStatus"));

  browser_ = new QTextBrowser;
  browser_->setObjectName(QStringLiteral("helpBrowser"));
  // Links inside the manual move within it; nothing opens outside.
  browser_->setOpenExternalLinks(false);

  auto* searchRow = new QHBoxLayout;
  auto* searchLabel = new QLabel(QStringLiteral("搜索"));
  searchLabel->setBuddy(search_);
  searchRow->addWidget(searchLabel);
  searchRow->addWidget(search_, 1);
  searchRow->addWidget(findNext);
  searchRow->addWidget(searchStatus_);

  auto* splitter = new QSplitter;
  splitter->addWidget(contents_);
  splitter->addWidget(browser_);
  splitter->setStretchFactor(1, 3);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(searchRow);
  layout->addWidget(splitter, 1);
  resize(960, 640);
}

bool CHelpDlg::ShowSection(const QString& section, QWidget* owner) {
  if (manualPath_.isEmpty()) {
    manualPath_ = FindManual();
    if (manualPath_.isEmpty()) return false;
    QFile manual(manualPath_);
    if (manual.open(QIODevice::ReadOnly)) LoadContents(QString::fromUtf8(manual.readAll()));
  }
  if (owner && parentWidget() != owner) {
    // A new parent hides the window; it is shown again below.
    setParent(owner, windowFlags());
  }
  QUrl url = QUrl::fromLocalFile(manualPath_);
  url.setFragment(section);
  browser_->setSource(url);
  browser_->scrollToAnchor(section);
  currentSection_ = section;
  show();
  raise();
  activateWindow();
  return true;
}

void CHelpDlg::LoadContents(const QString& manualText) {
  static const QRegularExpression heading(QStringLiteral("<h([23]) id=\"([^\"]+)\">(.*?)</h\\1>"),
                                          QRegularExpression::DotMatchesEverythingOption);
  contents_->clear();
  QTreeWidgetItem* chapter = nullptr;
  for (const QRegularExpressionMatch& match : heading.globalMatch(manualText)) {
    const bool top = match.captured(1) == QLatin1String("2");
    auto* item = top || !chapter ? new QTreeWidgetItem(contents_) : new QTreeWidgetItem(chapter);
    item->setText(0, PlainText(match.captured(3)));
    item->setData(0, kSectionRole, match.captured(2));
    if (top) chapter = item;
  }
  contents_->expandAll();
}

void CHelpDlg::OnSearch() {
  const QString text = search_->text();
  searchStatus_->clear();
  if (text.isEmpty()) return;
  if (browser_->find(text)) return;
  QTextCursor top = browser_->textCursor();
  top.movePosition(QTextCursor::Start);
  browser_->setTextCursor(top);
  if (!browser_->find(text)) searchStatus_->setText(QStringLiteral("找不到“%1”").arg(text));
}

}  // namespace tarnwell

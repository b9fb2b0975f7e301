// The user manual: found beside the program, shown in the help window from
// 帮助 › 帮助文档 and with F1 at the section of the page or dialog in use,
// searchable, and whole (every page, dialog and menu item has its section,
// every picture and every link inside it is there).
#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMenuBar>
#include <QRegularExpression>
#include <QTest>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>
#include <QTextBrowser>
#include <QTreeWidget>
#include <QUrl>
#include <algorithm>

#include "UiTestSupport.h"
#include "ui/CHelpDlg.h"
#include "ui/CTarnwellDlg.h"
#include "ui/Manual.h"

using namespace tarnwell;
using namespace tarnwell::test;

namespace {

QString ManualText() {
  QFile file(FindManual());
  if (!file.open(QIODevice::ReadOnly)) return {};
  return QString::fromUtf8(file.readAll());
}

QStringList Captures(const QString& text, const QString& pattern) {
  QStringList found;
  for (const QRegularExpressionMatch& match : QRegularExpression(pattern).globalMatch(text)) found << match.captured(1);
  return found;
}

}  // namespace

class HelpTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<RunningWindow> running_;

  CHelpDlg* Help() { return running_->window.helpWindow(); }

  void TriggerManualItem() {
    for (QAction* action : Child<QMenuBar>(&running_->window, "menuBar")->findChildren<QAction*>()) {
      if (action->text() == "帮助文档&H") action->trigger();
    }
  }

  // The fragment the browser shows: the section it was opened at.
  QString BrowserSection() { return Child<QTextBrowser>(Help(), "helpBrowser")->source().fragment(); }

 private slots:
  void init() {
    running_ = std::make_unique<RunningWindow>();
    QApplication::setActiveWindow(&running_->window);
    QVERIFY(QTest::qWaitForWindowActive(&running_->window));
  }
  void cleanup() { running_.reset(); }

  void manualLiesBesideTheProgram() {
    const QString manual = FindManual();
    QVERIFY(!manual.isEmpty());
    QCOMPARE(QFileInfo(manual).absolutePath(), QCoreApplication::applicationDirPath() + "/manual");
  }

  // The manual opens inside the program, with its contents, and never in a
  // browser outside it.
  void menuItemOpensTheHelpWindow() {
    TriggerManualItem();
    QVERIFY(Help()->isVisible());
    QCOMPARE(Help()->currentSection(), QString("point"));
    auto* browser = Child<QTextBrowser>(Help(), "helpBrowser");
    QVERIFY(!browser->openExternalLinks());
    QVERIFY(browser->toPlainText().contains("Tarnwell 使用手册"));
    QCOMPARE(browser->source().toLocalFile(), FindManual());
    QVERIFY(Child<QTreeWidget>(Help(), "helpContents")->topLevelItemCount() >= 10);
    QVERIFY(running_->recorder.messages().isEmpty());
  }

  void f1OnEachPageOpensItsSection_data() {
    QTest::addColumn<int>("page");
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("section");
    QTest::newRow("单点转换") << 0 << "sourceValue1" << "point";
    QTest::newRow("文件转换") << 1 << "inputPath" << "file";
    QTest::newRow("三参数计算") << 2 << "sourceLB" << "three";
    QTest::newRow("七参数计算") << 3 << "targetEllipsoid" << "seven";
    QTest::newRow("四参数计算") << 4 << "heightModel" << "four";
    QTest::newRow("高程拟合") << 5 << "surface" << "height-fit";
  }

  void f1OnEachPageOpensItsSection() {
    QFETCH(int, page);
    QFETCH(QString, control);
    QFETCH(QString, section);
    Child<QTabWidget>(&running_->window, "pageTabs")->setCurrentIndex(page);
    QWidget* target = Child<QWidget>(&running_->window, control);
    target->setFocus();
    QTest::keyClick(target, Qt::Key_F1);
    QVERIFY(Help()->isVisible());
    QCOMPARE(Help()->currentSection(), section);
    QCOMPARE(BrowserSection(), section);
    QVERIFY(running_->window.isVisible());
  }

  // F1 in a dialog opens its section, in a help window that belongs to the
  // dialog so that it takes input while the dialog is open.
  void f1InEachDialogOpensItsSection_data() {
    QTest::addColumn<QString>("dialog");
    QTest::addColumn<QString>("section");
    QTest::newRow("投影") << "projectionDialog" << "projection";
    QTest::newRow("基准转换") << "datumDialog" << "datum";
    QTest::newRow("椭球") << "ellipsoidDialog" << "ellipsoid";
    QTest::newRow("文件格式") << "fileFormatDialog" << "file-format";
  }

  void f1InEachDialogOpensItsSection() {
    QFETCH(QString, dialog);
    QFETCH(QString, section);
    QString shown;
    bool ownedByTheDialog = false;
    auto watch = WhenModal(dialog, [&](QWidget* modal) {
      // F1 is the dialog's own key: it reaches it once the dialog is active.
      QApplication::setActiveWindow(modal);
      if (QTest::qWaitForWindowActive(modal)) QTest::keyClick(modal, Qt::Key_F1);
      shown = Help()->isVisible() ? Help()->currentSection() : QString();
      ownedByTheDialog = Help()->parentWidget() == modal;
      qobject_cast<QDialog*>(modal)->reject();
    });
    qobject_cast<QDialog*>(running_->window.findChild<QWidget*>(dialog))->exec();
    QVERIFY(watch->fired());
    QCOMPARE(shown, section);
    QVERIFY(ownedByTheDialog);
  }

  void searchFindsTextAndSaysWhenItCannot() {
    TriggerManualItem();
    auto* search = Child<QLineEdit>(Help(), "helpSearch");
    auto* browser = Child<QTextBrowser>(Help(), "helpBrowser");
    search->setText("扁率倒数");
    Help()->OnSearch();
    QCOMPARE(browser->textCursor().selectedText(), QString("扁率倒数"));
    QCOMPARE(Child<QLabel>(Help(), "helpSearchStatus")->text(), QString());
    search->setText("不在手册里的词");
    Help()->OnSearch();
    QCOMPARE(Child<QLabel>(Help(), "helpSearchStatus")->text(), QString("找不到“不在手册里的词”"));
  }

  // Every menu item has a heading of its own in the menu chapter.
  void everyMenuItemHasItsSection() {
    const QString text = ManualText();
    const QStringList menuHeadings = Captures(text, "<h3 id=\"menu-[^\"]+\">([^<]+)</h3>");
    for (QAction* menu : Child<QMenuBar>(&running_->window, "menuBar")->actions()) {
      for (QAction* item : menu->menu()->actions()) {
        if (item->isSeparator()) continue;
        const QString name = item->text().section('&', 0, 0);
        const bool described = std::any_of(menuHeadings.begin(), menuHeadings.end(),
                                           [&name](const QString& heading) { return heading.contains(name); });
        QVERIFY2(described, qPrintable(name));
      }
    }
  }

  void everyPageAndDialogHasItsSection() {
    const QString text = ManualText();
    const QStringList ids = Captures(text, "<h[23] id=\"([^\"]+)\"");
    for (const char* section : {"window", "point", "file", "three", "seven", "four", "height-fit", "projection", "datum", "ellipsoid",
                                "file-format", "menu", "menu-about", "coordinate-files", "common-point-files", "ellips-csv",
                                "projs-csv", "point-table", "file-several", "file-layouts"}) {
      QVERIFY2(ids.contains(section), section);
    }
    for (const char* keyword : {"n,b,l,h", "n,x,y,h", "n,X,Y,Z", "点名,B,L,h,B2,L2,h2", "ellips.csv", "projs.csv"}) {
      QVERIFY2(text.contains(keyword), keyword);
    }
  }

  void everyPictureAndLinkIsThere() {
    const QString text = ManualText();
    const QFileInfo manual(FindManual());
    const QStringList pictures = Captures(text, "<img src=\"([^\"]+)\"");
    QVERIFY(pictures.size() >= 8);
    for (const QString& picture : pictures) QVERIFY2(QFileInfo::exists(manual.dir().filePath(picture)), qPrintable(picture));
    // No picture of a window that is no more: every shipped one is shown.
    for (const QString& file : QDir(manual.dir().filePath("images")).entryList(QDir::Files)) {
      QVERIFY2(pictures.contains("images/" + file), qPrintable(file));
    }
    const QStringList ids = Captures(text, "id=\"([^\"]+)\"");
    for (const QString& target : Captures(text, "href=\"#([^\"]+)\"")) QVERIFY2(ids.contains(target), qPrintable(target));
  }
};

QTEST_MAIN(HelpTest)
#include "HelpTest.moc"

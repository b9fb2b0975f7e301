// The user manual: found beside the program, opened from 帮助 › 帮助文档 and
// with F1 through an injected opener, and whole (every page and dialog has
// its section, every picture and every link inside it is there).
#include <QAction>
#include <QFile>
#include <QFileInfo>
#include <QMenuBar>
#include <QRegularExpression>
#include <QTest>
#include <QUrl>

#include "UiTestSupport.h"
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
  QList<QUrl> opened_;
  bool openerSucceeds_ = true;

  void TriggerManualItem() {
    for (QAction* action : Child<QMenuBar>(&running_->window, "menuBar")->findChildren<QAction*>()) {
      if (action->text() == "帮助文档&H") action->trigger();
    }
  }

 private slots:
  void init() {
    running_ = std::make_unique<RunningWindow>();
    opened_.clear();
    openerSucceeds_ = true;
    running_->window.setUrlOpener([this](const QUrl& url) {
      opened_ << url;
      return openerSucceeds_;
    });
    QApplication::setActiveWindow(&running_->window);
    QVERIFY(QTest::qWaitForWindowActive(&running_->window));
  }
  void cleanup() { running_.reset(); }

  void manualLiesBesideTheProgram() {
    const QString manual = FindManual();
    QVERIFY(!manual.isEmpty());
    QCOMPARE(QFileInfo(manual).absolutePath(), QCoreApplication::applicationDirPath() + "/manual");
  }

  void menuItemOpensTheManual() {
    TriggerManualItem();
    QCOMPARE(opened_.size(), 1);
    QVERIFY(opened_.front().isLocalFile());
    QCOMPARE(opened_.front().toLocalFile(), FindManual());
    QVERIFY(running_->recorder.messages().isEmpty());
  }

  void f1OpensTheManualFromAnywhereInTheWindow() {
    for (const char* control : {"sourceLB", "targetEllipsoid", "sourceValue1", "inputPath"}) {
      QTest::keyClick(Child<QWidget>(&running_->window, control), Qt::Key_F1);
    }
    QCOMPARE(opened_.size(), 4);
    QVERIFY(running_->window.isVisible());
  }

  void aManualThatWillNotOpenIsReported() {
    openerSucceeds_ = false;
    TriggerManualItem();
    QCOMPARE(running_->recorder.messages().size(), 1);
    QVERIFY(running_->recorder.messages().front().startsWith("无法打开帮助文档"));
  }

  void everyPageAndDialogHasItsSection() {
    const QString text = ManualText();
    const QStringList ids = Captures(text, "<h[23] id=\"([^\"]+)\"");
    for (const char* section : {"window", "point", "file", "three", "seven", "projection", "datum", "ellipsoid",
                                "file-format", "menu", "coordinate-files", "common-point-files", "ellips-csv", "projs-csv"}) {
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
    const QStringList ids = Captures(text, "id=\"([^\"]+)\"");
    for (const QString& target : Captures(text, "href=\"#([^\"]+)\"")) QVERIFY2(ids.contains(target), qPrintable(target));
  }
};

QTEST_MAIN(HelpTest)
#include "HelpTest.moc"

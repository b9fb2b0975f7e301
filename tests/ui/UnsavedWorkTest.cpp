// Leaving the program with work that would be lost (imported common points,
// datum parameters computed since the start) asks first, by every way out;
// without such work every way out leaves at once. The question is answered
// by an injected function, never by a real question box.
#include <QAction>
#include <QMenuBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

#include "UiTestSupport.h"
#include "engine/CoordSettings.h"
#include "ui/CDlgSParas.h"
#include "ui/CTarnwellDlg.h"

using namespace tarnwell;
using namespace tarnwell::test;

namespace {

enum class Way { CtrlQ, MenuExit, CloseBox };

}  // namespace

Q_DECLARE_METATYPE(Way)

class UnsavedWorkTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<RunningWindow> running_;
  QTemporaryDir directory_;
  QStringList questions_;
  bool answer_ = false;

  CTarnwellDlg& Window() { return running_->window; }

  void Leave(Way way) {
    switch (way) {
      case Way::CtrlQ:
        QApplication::setActiveWindow(&Window());
        QVERIFY(QTest::qWaitForWindowActive(&Window()));
        QTest::keyClick(Child<QWidget>(&Window(), "sourceLB"), Qt::Key_Q, Qt::ControlModifier);
        break;
      case Way::MenuExit:
        for (QAction* action : Child<QMenuBar>(&Window(), "menuBar")->findChildren<QAction*>()) {
          if (action->text() == "退出&C") action->trigger();
        }
        break;
      case Way::CloseBox:
        Window().close();  // what the window manager's close box does
        break;
    }
  }

  void ImportCommonPoints() {
    const QString path = directory_.filePath("common.csv");
    WriteFile(path, "K1,30:0:0,120:0:0,0,30:0:3.6,120:0:3.6,5\nK2,31:0:0,121:0:0,0,31:0:3.6,121:0:3.6,5\n");
    Window().sevenParameterPage()->ImportFile(path);
    QCOMPARE(Window().sevenParameterPage()->commonPoints().size(), std::size_t{2});
  }

  static void AddWays() {
    QTest::addColumn<Way>("way");
    QTest::newRow("Ctrl+Q") << Way::CtrlQ;
    QTest::newRow("menu 退出") << Way::MenuExit;
    QTest::newRow("close box") << Way::CloseBox;
  }

 private slots:
  void init() {
    running_ = std::make_unique<RunningWindow>();
    questions_.clear();
    Window().setQuestion([this](QWidget*, const QString& text) {
      questions_ << text;
      return answer_;
    });
  }
  void cleanup() { running_.reset(); }

  void withoutWorkEveryWayLeavesAtOnce_data() { AddWays(); }
  void withoutWorkEveryWayLeavesAtOnce() {
    QFETCH(Way, way);
    QVERIFY(!Window().HasUnsavedWork());
    Leave(way);
    QVERIFY(!Window().isVisible());
    QVERIFY(questions_.isEmpty());
  }

  void importedPointsAreKeptWhenTheAnswerIsNo_data() { AddWays(); }
  void importedPointsAreKeptWhenTheAnswerIsNo() {
    QFETCH(Way, way);
    ImportCommonPoints();
    QVERIFY(Window().HasUnsavedWork());
    answer_ = false;
    Leave(way);
    QVERIFY(Window().isVisible());
    QCOMPARE(questions_.size(), 1);
    QVERIFY(questions_.front().contains("公共点"));
    QCOMPARE(Window().sevenParameterPage()->commonPoints().size(), std::size_t{2});

    answer_ = true;
    Leave(way);
    QVERIFY(!Window().isVisible());
    QCOMPARE(questions_.size(), 2);
  }

  // The estimation pages store what they compute in CoordSettings, as the
  // datum dialog does on OK.
  void parametersChangedSinceTheStartAsk() {
    CoordSettings::instance().datum.params.dX = -15.415;
    QVERIFY(Window().HasUnsavedWork());
    answer_ = false;
    Leave(Way::CtrlQ);
    QVERIFY(Window().isVisible());
    QCOMPARE(questions_.size(), 1);
    // The same values as at the start again: nothing to lose.
    CoordSettings::instance().datum.params = {};
    Leave(Way::CtrlQ);
    QVERIFY(!Window().isVisible());
    QCOMPARE(questions_.size(), 1);
  }
};

QTEST_MAIN(UnsavedWorkTest)
#include "UnsavedWorkTest.moc"

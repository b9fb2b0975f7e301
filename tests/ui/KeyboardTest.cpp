// Keys on the main window: stray letters, Enter and Escape that lose
// nothing, the Ctrl keys of the menu commands, lists that take typed letters
// as a search, and Enter in the point's boxes that converts.
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QRadioButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>

#include "UiTestSupport.h"
#include "engine/CoordSettings.h"
#include "tables/TablePaths.h"
#include "ui/CTarnwellDlg.h"

using namespace tarnwell;
using namespace tarnwell::test;

class KeyboardTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<RunningWindow> running_;

  // The window's own control named `name` (the tab bar is "tabBar").
  QWidget* Control(const QString& name) {
    if (name == "tabBar") return Child<QTabWidget>(&running_->window, "pageTabs")->tabBar();
    return Child<QWidget>(&running_->window, name);
  }

  void TypePoint() {
    for (int i = 1; i <= 3; ++i) Child<QLineEdit>(&running_->window, QString("sourceValue%1").arg(i))->setText(kTypedPoint[i - 1]);
  }
  QStringList SourceTexts() {
    QStringList texts;
    for (int i = 1; i <= 3; ++i) texts << Child<QLineEdit>(&running_->window, QString("sourceValue%1").arg(i))->text();
    return texts;
  }
  const QStringList kTypedPoint{"-2148744.3", "4426641.2", "4044655.9"};

 private slots:
  void init() { running_ = std::make_unique<RunningWindow>(); }
  void cleanup() { running_.reset(); }

  // Plain letters, Enter and Escape on the window's own controls: none of
  // them ends the program, opens a dialog or touches the typed point.
  void strayKeysLoseNothing_data() {
    QTest::addColumn<QString>("control");
    for (const char* control : {"sourceSpace", "sourceLB", "sourcePlan", "targetSpace", "targetLB", "targetPlan", "sevenParams",
                                "fourParams", "sourceAngleFormat", "targetAngleFormat", "sourceEllipsoid", "targetEllipsoid",
                                "sourceHeight", "targetHeight", "geoidModel", "outputDecimals", "angleDecimals", "tabBar",
                                "convertButton"}) {
      QTest::newRow(control) << control;
    }
  }

  void strayKeysLoseNothing() {
    QFETCH(QString, control);
    auto anyDialog = WhenModal([](QWidget*) { return true; }, [](QWidget* modal) { qobject_cast<QDialog*>(modal)->reject(); });
    for (const char* type : {"sourceLB", "targetPlan"}) Child<QRadioButton>(&running_->window, type)->click();  // every control enabled
    TypePoint();
    QWidget* target = Control(control);
    QVERIFY(target->isEnabled());
    for (int key = Qt::Key_A; key <= Qt::Key_Z; ++key) QTest::keyClick(target, Qt::Key(key));
    for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) QTest::keyClick(target, key);
    QVERIFY(running_->window.isVisible());
    QVERIFY(!anyDialog->fired());
    QCOMPARE(SourceTexts(), kTypedPoint);
  }

  void escapeOnTheWindowDoesNothing() {
    QTest::keyClick(&running_->window, Qt::Key_Escape);
    QVERIFY(running_->window.isVisible());
  }

  void ctrlShortcutsOpenTheirDialogs_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("dialog");
    QTest::newRow("Ctrl+P") << int(Qt::Key_P) << "projectionDialog";
    QTest::newRow("Ctrl+T") << int(Qt::Key_T) << "datumDialog";
    QTest::newRow("Ctrl+L") << int(Qt::Key_L) << "ellipsoidDialog";
  }

  void ctrlShortcutsOpenTheirDialogs() {
    QFETCH(int, key);
    QFETCH(QString, dialog);
    for (const char* control : {"sourcePlan", "targetAngleFormat", "tabBar"}) {
      QApplication::setActiveWindow(&running_->window);
      QVERIFY(QTest::qWaitForWindowActive(&running_->window));
      Control(control)->setFocus();
      auto watch = RejectModal(dialog);
      QTest::keyClick(Control(control), Qt::Key(key), Qt::ControlModifier);
      QVERIFY2(watch->fired(), control);
      QVERIFY(running_->window.isVisible());
    }
  }

  void ctrlQQuits() {
    QApplication::setActiveWindow(&running_->window);
    QVERIFY(QTest::qWaitForWindowActive(&running_->window));
    Control("sourceLB")->setFocus();
    QTest::keyClick(Control("sourceLB"), Qt::Key_Q, Qt::ControlModifier);
    QVERIFY(!running_->window.isVisible());
  }

  void enterInASourceBoxConverts() {
    TypePoint();
    QTest::keyClick(Child<QLineEdit>(&running_->window, "sourceValue2"), Qt::Key_Return);
    QVERIFY(!Child<QLineEdit>(&running_->window, "targetValue1")->text().isEmpty());
    QVERIFY(running_->window.isVisible());
    QCOMPARE(SourceTexts(), kTypedPoint);
  }

  // Typing a letter into an ellipsoid list picks the next name that begins
  // with it, even a letter of the command table: "c" once ended the program
  // and lost the imported common points.
  void ellipsoidListsSearchByTypedLetters_data() {
    QTest::addColumn<QString>("list");
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("chosen");
    QTest::newRow("c") << "targetEllipsoid" << int(Qt::Key_C) << "CGCS2000";
    QTest::newRow("g") << "sourceEllipsoid" << int(Qt::Key_G) << "GRS80";
    QTest::newRow("i") << "targetEllipsoid" << int(Qt::Key_I) << "IAU76";
    QTest::newRow("a") << "sourceEllipsoid" << int(Qt::Key_A) << "airy";
    QTest::newRow("k") << "targetEllipsoid" << int(Qt::Key_K) << "krass";
    QTest::newRow("p, no name") << "sourceEllipsoid" << int(Qt::Key_P) << "WGS84";
  }

  void ellipsoidListsSearchByTypedLetters() {
    QFETCH(QString, list);
    QFETCH(int, key);
    QFETCH(QString, chosen);
    auto anyDialog = WhenModal([](QWidget*) { return true; }, [](QWidget* modal) { qobject_cast<QDialog*>(modal)->reject(); });
    auto* box = qobject_cast<QComboBox*>(Control(list));
    QTest::keyClick(box, Qt::Key(key));
    QVERIFY(running_->window.isVisible());
    QVERIFY(!anyDialog->fired());
    QCOMPARE(CurrentEntryName(box), chosen);
    const CoordSettings& settings = CoordSettings::instance();
    QCOMPARE(QString::fromStdString(list == "sourceEllipsoid" ? settings.sourceEllipsoid : settings.targetEllipsoid), chosen);
  }

  void modifiedKeysReachTheControl() {
    QTest::keyClick(Control("sourceLB"), Qt::Key_C, Qt::ShiftModifier);
    QTest::keyClick(Control("sourceLB"), Qt::Key_C, Qt::ControlModifier);
    QTest::keyClick(Control("sourceEllipsoid"), Qt::Key_P, Qt::AltModifier);
    QVERIFY(running_->window.isVisible());
  }

  void pageEditsTypeTheLetters() {
    auto anyDialog = WhenModal([](QWidget*) { return true; }, [](QWidget* modal) { qobject_cast<QDialog*>(modal)->reject(); });
    auto* edit = Child<QLineEdit>(&running_->window, "sourceValue1");
    QTest::keyClicks(edit, "pgdcsa");
    QCOMPARE(edit->text(), QString("pgdcsa"));
    QTest::keyClick(edit, Qt::Key_Escape);
    QTest::keyClick(edit, Qt::Key_Return);
    auto* path = Child<QLineEdit>(&running_->window, "inputPath");
    QTest::keyClicks(path, "c");
    QCOMPARE(path->text(), QString("c"));
    QVERIFY(!anyDialog->fired());
    QVERIFY(running_->window.isVisible());
  }
};

QTEST_MAIN(KeyboardTest)
#include "KeyboardTest.moc"

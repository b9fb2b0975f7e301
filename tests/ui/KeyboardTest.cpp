// The keyboard command table on the main window's own controls, the
// ellipsoid lists that take typed letters as a search, and the pages' edit
// boxes that the table leaves alone.
#include <QCheckBox>
#include <QComboBox>
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

 private slots:
  void init() { running_ = std::make_unique<RunningWindow>(); }
  void cleanup() { running_.reset(); }

  void closingKeysOnTheWindowsControls_data() {
    QTest::addColumn<QString>("control");
    QTest::addColumn<int>("key");
    for (const char* control : {"sourceSpace", "targetLB", "sevenParams", "sourceAngleFormat", "targetAngleFormat", "tabBar"}) {
      QTest::newRow(qPrintable(QString(control) + " C")) << control << int(Qt::Key_C);
    }
    QTest::newRow("radio Enter") << "sourceLB" << int(Qt::Key_Return);
    QTest::newRow("list Escape") << "sourceEllipsoid" << int(Qt::Key_Escape);
    QTest::newRow("list Enter") << "targetEllipsoid" << int(Qt::Key_Enter);
  }

  void closingKeysOnTheWindowsControls() {
    QFETCH(QString, control);
    QFETCH(int, key);
    QTest::keyClick(Control(control), Qt::Key(key));
    QVERIFY(!running_->window.isVisible());
  }

  void lettersOpenTheirDialogs_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("dialog");
    QTest::newRow("P") << int(Qt::Key_P) << "projectionDialog";
    QTest::newRow("G") << int(Qt::Key_G) << "datumDialog";
    QTest::newRow("D") << int(Qt::Key_D) << "ellipsoidDialog";
  }

  void lettersOpenTheirDialogs() {
    QFETCH(int, key);
    QFETCH(QString, dialog);
    for (const char* control : {"sourcePlan", "targetAngleFormat", "tabBar"}) {
      auto watch = RejectModal(dialog);
      QTest::keyClick(Control(control), Qt::Key(key));
      QVERIFY2(watch->fired(), control);
      QVERIFY(running_->window.isVisible());
    }
  }

  // S T N O A H E I reach no handler: nothing opens, nothing changes.
  void otherTableLettersDoNothing() {
    auto anyDialog = WhenModal([](QWidget*) { return true; }, [](QWidget* modal) { qobject_cast<QDialog*>(modal)->reject(); });
    for (const char* control : {"sourceLB", "targetAngleFormat", "tabBar"}) {
      for (Qt::Key key : {Qt::Key_S, Qt::Key_T, Qt::Key_N, Qt::Key_O, Qt::Key_A, Qt::Key_H, Qt::Key_E, Qt::Key_I}) {
        QTest::keyClick(Control(control), key);
      }
    }
    QVERIFY(!anyDialog->fired());
    QVERIFY(running_->window.isVisible());
    QCOMPARE(qobject_cast<QComboBox*>(Control("targetAngleFormat"))->currentText(), QString("DMS"));
    QCOMPARE(CoordSettings::instance().sourceType, CoordinateType::Space);
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
    QCOMPARE(box->currentText(), chosen);
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

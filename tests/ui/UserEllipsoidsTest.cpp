// The user's own ellipsoids in the ellipsoid dialog: added, edited and
// removed, refused when clashing or unsound, kept in the user table across
// dialogs and program starts, and followed by the main window's lists. The
// table lies in Qt's test configuration location, never the user's.
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include "UiTestSupport.h"
#include "tables/EllipsoidCatalogue.h"
#include "tables/TablePaths.h"
#include "ui/CDlgEllips.h"
#include "ui/UserEllipsoidTable.h"

using namespace tarnwell;
using namespace tarnwell::test;

namespace {

QStringList ListItems(const QListWidget* list) {
  QStringList items;
  for (int i = 0; i < list->count(); ++i) items << list->item(i)->text();
  return items;
}

// The names the entries stand for.
QStringList ListNames(const QListWidget* list) {
  QStringList names;
  for (int i = 0; i < list->count(); ++i) names << list->item(i)->data(Qt::UserRole).toString();
  return names;
}

// Types an ellipsoid into the dialog's fields; `second` is 1/f, or b when
// `semiMinorAxis`.
void TypeEllipsoid(CDlgEllips& dialog, const QString& name, const QString& semiMajorAxis, const QString& second,
                   const QString& description, bool semiMinorAxis = false) {
  Child<QLineEdit>(&dialog, "ellipsoidName")->setText(name);
  Child<QLineEdit>(&dialog, "semiMajorAxis")->setText(semiMajorAxis);
  Child<QComboBox>(&dialog, "secondParameter")->setCurrentIndex(semiMinorAxis ? 1 : 0);
  Child<QLineEdit>(&dialog, "inverseFlattening")->setText(second);
  Child<QLineEdit>(&dialog, "ellipsoidDescription")->setText(description);
}

void Click(CDlgEllips& dialog, const char* button) { QTest::mouseClick(Child<QPushButton>(&dialog, button), Qt::LeftButton); }

void Select(CDlgEllips& dialog, const QString& name) {
  auto* list = Child<QListWidget>(&dialog, "ellipsoidList");
  list->setCurrentRow(ListNames(list).indexOf(name));
}

}  // namespace

class UserEllipsoidsTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    QFile::remove(UserEllipsoidTablePath());
    LoadEllipsoids();
  }
  void cleanup() {
    QFile::remove(UserEllipsoidTablePath());
    LoadEllipsoids();
  }

  void tableIsInTheTestLocation() { QVERIFY(UserEllipsoidTablePath().contains("qttest")); }

  void addedAfterTheShippedOnesAndMarked() {
    MessageRecorder recorder;
    CDlgEllips dialog;
    dialog.show();
    const int shipped = Child<QListWidget>(&dialog, "ellipsoidList")->count();
    TypeEllipsoid(dialog, "Site B", "6378000", "300", "工地椭球");
    Click(dialog, "addEllipsoid");
    TypeEllipsoid(dialog, "Site A", "6377000", "6355000", "由短半轴", true);
    Click(dialog, "addEllipsoid");
    QVERIFY(recorder.messages().isEmpty());

    auto* list = Child<QListWidget>(&dialog, "ellipsoidList");
    QCOMPARE(list->count(), shipped + 2);
    QCOMPARE(ListItems(list).mid(shipped), QStringList({"Site A — 由短半轴 (用户)", "Site B — 工地椭球 (用户)"}));
    QCOMPARE(list->currentItem()->data(Qt::UserRole).toString(), QString("Site A"));
    // b given: 1/f = a / (a − b) = 6377000 / 22000, written with 15 decimals.
    QCOMPARE(Child<QLineEdit>(&dialog, "inverseFlattening")->text(), QString("289.863636363636374"));
    QVERIFY(Child<QPushButton>(&dialog, "editEllipsoid")->isEnabled());

    // In the table, in the shipped table's row form, in the order added.
    QCOMPARE(ReadFile(UserEllipsoidTablePath()), std::string("\"Site B\",\"a=6378000\",\"rf=300\",\"工地椭球\"\n"
                                                             "\"Site A\",\"a=6377000\",\"rf=289.863636363636374\",\"由短半轴\"\n"));
    QVERIFY(FindEllipsoidEntry("Site B"));
  }

  void editedAndRemoved() {
    WriteFile(UserEllipsoidTablePath(), "Mine,a=6378000,rf=300,mine\nOther,a=6377000,rf=299,other\n");
    MessageRecorder recorder;
    CDlgEllips dialog;
    dialog.show();
    Select(dialog, "Mine");
    QCOMPARE(Child<QLineEdit>(&dialog, "semiMajorAxis")->text(), QString("6378000"));
    TypeEllipsoid(dialog, "Mine2", "6378100", "0", "now a sphere");
    Click(dialog, "editEllipsoid");
    QVERIFY(recorder.messages().isEmpty());
    QCOMPARE(ReadFile(UserEllipsoidTablePath()), std::string("\"Mine2\",\"a=6378100\",\"rf=0\",\"now a sphere\"\n"
                                                             "\"Other\",\"a=6377000\",\"rf=299\",\"other\"\n"));
    QVERIFY(!FindEllipsoidEntry("Mine"));

    // Keeping its own name is no clash.
    Select(dialog, "Other");
    Child<QLineEdit>(&dialog, "ellipsoidDescription")->setText("renamed nothing");
    Click(dialog, "editEllipsoid");
    QVERIFY(recorder.messages().isEmpty());
    QCOMPARE(FindEllipsoidEntry("Other")->description, std::string("renamed nothing"));

    Select(dialog, "Mine2");
    Click(dialog, "removeEllipsoid");
    QCOMPARE(ReadFile(UserEllipsoidTablePath()), std::string("\"Other\",\"a=6377000\",\"rf=299\",\"renamed nothing\"\n"));
    QVERIFY(!ListNames(Child<QListWidget>(&dialog, "ellipsoidList")).contains("Mine2"));
  }

  // An ellipsoid in use keeps its row and its name; the message says where
  // it is used. Changing its figure under its own name stays allowed.
  void ellipsoidsInUseAreNeitherRemovedNorRenamed() {
    const std::string table = "\"Mine\",\"a=6378000\",\"rf=300\",\"mine\"\n";
    WriteFile(UserEllipsoidTablePath(), table);
    LoadEllipsoids();
    CoordSettings::instance() = {};
    CoordSettings::instance().targetEllipsoid = "Mine";
    CoordSettings::instance().datum.sourceEllipsoid = "Mine";
    MessageRecorder recorder;
    CDlgEllips dialog;
    dialog.show();
    Select(dialog, "Mine");
    Click(dialog, "removeEllipsoid");
    QCOMPARE(recorder.messages().size(), 1);
    QVERIFY(recorder.messages().front().contains("目的坐标椭球"));
    QVERIFY(recorder.messages().front().contains("基准转换参数的源椭球"));
    QCOMPARE(ReadFile(UserEllipsoidTablePath()), table);

    Child<QLineEdit>(&dialog, "ellipsoidName")->setText("Mine2");
    Click(dialog, "editEllipsoid");
    QCOMPARE(recorder.messages().size(), 2);
    QCOMPARE(ReadFile(UserEllipsoidTablePath()), table);

    TypeEllipsoid(dialog, "Mine", "6378001", "300", "mine");
    Click(dialog, "editEllipsoid");
    QCOMPARE(recorder.messages().size(), 2);
    QCOMPARE(FindEllipsoidEntry("Mine")->semiMajorAxis, std::string("6378001"));
    CoordSettings::instance() = {};
  }

  void shippedRowsCannotBeChanged() {
    CDlgEllips dialog;
    dialog.show();
    Select(dialog, "krass");
    QVERIFY(!Child<QPushButton>(&dialog, "editEllipsoid")->isEnabled());
    QVERIFY(!Child<QPushButton>(&dialog, "removeEllipsoid")->isEnabled());
    // Even when asked directly, nothing is written.
    dialog.OnEdit();
    dialog.OnRemove();
    QVERIFY(!QFile::exists(UserEllipsoidTablePath()));
    QCOMPARE(FindEllipsoidEntry("krass")->semiMajorAxis, std::string("6378245"));
  }

  void clashesAndBadValuesRefused_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("semiMajorAxis");
    QTest::addColumn<QString>("second");
    QTest::addColumn<bool>("semiMinorAxis");
    QTest::addColumn<QString>("message");
    const QString clash = "椭球名称已存在,请检查.";
    const QString bad = "椭球参数错误,请检查.";
    QTest::newRow("shipped name") << "WGS84" << "6378137" << "298" << false << clash;
    QTest::newRow("user name") << "Mine" << "6378137" << "298" << false << clash;
    QTest::newRow("a not wholly a number") << "N" << "6378137m" << "298" << false << bad;
    QTest::newRow("a zero") << "N" << "0" << "298" << false << bad;
    QTest::newRow("a negative") << "N" << "-6378137" << "298" << false << bad;
    QTest::newRow("1/f one") << "N" << "6378137" << "1" << false << bad;
    QTest::newRow("1/f negative") << "N" << "6378137" << "-298" << false << bad;
    QTest::newRow("1/f empty") << "N" << "6378137" << "" << false << bad;
    QTest::newRow("b above a") << "N" << "6378137" << "6378138" << true << bad;
    QTest::newRow("b zero") << "N" << "6378137" << "0" << true << bad;
    QTest::newRow("b not a number") << "N" << "6378137" << "6356km" << true << bad;
    QTest::newRow("empty name") << "" << "6378137" << "298" << false << bad;
    QTest::newRow("comma in name") << "N,1" << "6378137" << "298" << false << bad;
  }
  void clashesAndBadValuesRefused() {
    QFETCH(QString, name);
    QFETCH(QString, semiMajorAxis);
    QFETCH(QString, second);
    QFETCH(bool, semiMinorAxis);
    QFETCH(QString, message);
    const std::string table = "Mine,a=6378000,rf=300,mine\n";
    WriteFile(UserEllipsoidTablePath(), table);
    MessageRecorder recorder;
    CDlgEllips dialog;
    dialog.show();
    TypeEllipsoid(dialog, name, semiMajorAxis, second, "d", semiMinorAxis);
    Click(dialog, "addEllipsoid");
    QCOMPARE(recorder.messages(), QStringList{message});
    // The same values in place of the user's ellipsoid (its own name aside).
    recorder.clear();
    Select(dialog, "Mine");
    TypeEllipsoid(dialog, name == "Mine" ? "WGS84" : name, semiMajorAxis, second, "d", semiMinorAxis);
    Click(dialog, "editEllipsoid");
    QCOMPARE(recorder.messages(), QStringList{message});
    QCOMPARE(ReadFile(UserEllipsoidTablePath()), table);
  }

  void keptAcrossDialogsAndStarts() {
    {
      CDlgEllips dialog;
      dialog.show();
      TypeEllipsoid(dialog, "Kept", "6378000", "300", "kept");
      Click(dialog, "addEllipsoid");
    }
    LoadEllipsoidCatalogue(GetTablePath("ellips.csv"));  // as a new process starts: shipped rows only
    QVERIFY(!FindEllipsoidEntry("Kept"));
    CDlgEllips dialog;
    dialog.show();
    QVERIFY(ListNames(Child<QListWidget>(&dialog, "ellipsoidList")).contains("Kept"));
    RunningWindow running;
    QVERIFY(Child<QComboBox>(&running.window, "sourceEllipsoid")->findData("Kept") >= 0);
  }

  void mainWindowListsFollow() {
    CoordSettings settings;
    settings.sourceEllipsoid = "WGS84";
    settings.targetEllipsoid = "krass";
    RunningWindow running(settings);
    auto* source = Child<QComboBox>(&running.window, "sourceEllipsoid");
    auto* target = Child<QComboBox>(&running.window, "targetEllipsoid");
    const int shipped = source->count();
    CDlgEllips* dialog = running.window.ellipsoidDialog();
    dialog->show();
    TypeEllipsoid(*dialog, "Follow", "6378000", "300", "follows");
    Click(*dialog, "addEllipsoid");
    QCOMPARE(source->count(), shipped + 1);
    QCOMPARE(target->itemText(shipped), QString("Follow — follows"));
    // The ellipsoids in force stay selected.
    QCOMPARE(CurrentEntryName(source), QString("WGS84"));
    QCOMPARE(CurrentEntryName(target), QString("krass"));

    Select(*dialog, "Follow");
    Click(*dialog, "removeEllipsoid");
    QCOMPARE(source->count(), shipped);
    QCOMPARE(target->findData("Follow"), -1);
    dialog->reject();
  }
};

QTEST_MAIN(UserEllipsoidsTest)
#include "UserEllipsoidsTest.moc"

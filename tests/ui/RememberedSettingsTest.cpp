// The main window with a settings store: the first start, the choices
// remembered at closing and shown at the next start, a damaged store, and
// 工具 › 恢复默认设置. Each store is a file in a temporary folder.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QMenuBar>
#include <QRadioButton>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

#include "RadioStates.h"
#include "UiTestSupport.h"
#include "engine/CoordSettings.h"
#include "tables/TablePaths.h"
#include "ui/CDlgFParas.h"
#include "ui/CDlgPoint.h"
#include "ui/CTarnwellDlg.h"
#include "ui/SettingsStore.h"

using namespace tarnwell;
using namespace tarnwell::test;

namespace {

QString ListText(const QWidget* window, const char* name) { return CurrentEntryName(Child<QComboBox>(window, name)); }

// Chooses `entry` in the list as a user does.
void Choose(QWidget* window, const char* list, const QString& entry) {
  ChooseEntry(Child<QComboBox>(window, list), entry);
}

QAction* MenuItem(const QWidget* window, const QString& text) {
  for (QAction* action : Child<QMenuBar>(window, "menuBar")->findChildren<QAction*>()) {
    if (action->text() == text) return action;
  }
  qFatal("no menu item %s", qPrintable(text));
}

// A window over the store whose questions are answered with `answer` and
// counted.
struct StoredWindow {
  StoredWindow(SettingsStore& store, bool answer = true) : window(&store) {
    window.setQuestion([this, answer](QWidget*, const QString& text) {
      ++questions;
      lastQuestion = text;
      return answer;
    });
    window.show();
  }
  int questions = 0;
  QString lastQuestion;
  CTarnwellDlg window;
};

}  // namespace

class RememberedSettingsTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<QTemporaryDir> folder_;
  std::unique_ptr<SettingsStore> store_;

 private slots:
  void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

  void init() {
    CoordSettings::instance() = {};
    SetTableDirectory("");
    folder_ = std::make_unique<QTemporaryDir>();
    store_ = std::make_unique<SettingsStore>(folder_->filePath("tarnwell.conf"));
  }

  void cleanup() {
    store_.reset();
    folder_.reset();
  }

  // Nothing remembered yet: the program's own start-up (target "LB").
  void firstStartShowsTheStartUpChoices() {
    CoordSettings::instance().sourceType = CoordinateType::Plan;  // a test's leftover is not a remembered choice
    StoredWindow first(*store_);
    QCOMPARE(RadioStates(&first.window),
             QString("sourceSpace=on+ sourceLB=off+ sourcePlan=off+ targetSpace=off+ targetLB=on+ targetPlan=off+"));
    QCOMPARE(CoordSettings::instance().targetType, CoordinateType::LB);
    QCOMPARE(Child<QTabWidget>(&first.window, "pageTabs")->currentIndex(), 0);
  }

  void choicesAreRememberedAndShownAtTheNextStart() {
    QSize size;
    {
      StoredWindow first(*store_);
      Child<QRadioButton>(&first.window, "sourceLB")->click();
      Child<QRadioButton>(&first.window, "targetPlan")->click();  // not the source's default target
      Choose(&first.window, "sourceAngleFormat", "DDD");
      Choose(&first.window, "targetAngleFormat", "DMM");
      Choose(&first.window, "sourceEllipsoid", "krass");
      Choose(&first.window, "targetEllipsoid", "CGCS2000");
      Child<QTabWidget>(&first.window, "pageTabs")->setCurrentIndex(1);
      CoordSettings::instance().fileFormat = FileFormat::NameXYh;  // as the dialogs store them on OK
      CoordSettings::instance().projection.centralMeridian = 117;
      first.window.resize(first.window.size() + QSize(123, 45));
      size = first.window.size();
      first.window.close();
      QVERIFY(!first.window.isVisible());
      QCOMPARE(first.questions, 0);  // nothing to lose
    }
    CoordSettings::instance() = {};

    StoredWindow second(*store_);
    QCOMPARE(RadioStates(&second.window),
             QString("sourceSpace=off+ sourceLB=on+ sourcePlan=off+ targetSpace=off+ targetLB=off+ targetPlan=on+"));
    QCOMPARE(ListText(&second.window, "sourceAngleFormat"), QString("DDD"));
    QCOMPARE(ListText(&second.window, "targetAngleFormat"), QString("DMM"));
    QCOMPARE(ListText(&second.window, "sourceEllipsoid"), QString("krass"));
    QCOMPARE(ListText(&second.window, "targetEllipsoid"), QString("CGCS2000"));
    QCOMPARE(Child<QTabWidget>(&second.window, "pageTabs")->currentIndex(), 1);
    QCOMPARE(second.window.size(), size);
    const CoordSettings& settings = CoordSettings::instance();
    QCOMPARE(settings.sourceType, CoordinateType::LB);
    QCOMPARE(settings.targetType, CoordinateType::Plan);
    QCOMPARE(settings.sourceEllipsoid, std::string("krass"));
    QCOMPARE(settings.fileFormat, FileFormat::NameXYh);
    QCOMPARE(settings.projection.centralMeridian, std::optional<double>(117));
  }

  void typedPointIsKeptAcrossRestarts() {
    const QStringList point{"30:30:30.5", "", "not yet a number"};
    {
      StoredWindow first(*store_);
      first.window.pointPage()->setSourceTexts(point);
      first.window.close();
    }
    StoredWindow second(*store_);
    QCOMPARE(second.window.pointPage()->sourceTexts(), point);
  }

  // The four-parameter page offers again the model of the remembered fit.
  void heightFitModelIsKeptAcrossRestarts() {
    {
      StoredWindow first(*store_);
      CoordSettings::instance().heightFit.model = HeightModel::Plane;  // as 计算 stores it
      first.window.close();
    }
    CoordSettings::instance() = {};
    StoredWindow second(*store_);
    QCOMPARE(ListText(&second.window, "heightModel"), QString("平面"));
    QCOMPARE(second.window.fourParameterPage()->heightModel(), HeightModel::Plane);
  }

  // The switch comes back with the types it was used with, on the page it
  // was left on, though that page sets geodetic types when it is chosen.
  void sevenParameterSwitchIsRememberedWithTheTypes() {
    {
      StoredWindow first(*store_);
      Child<QTabWidget>(&first.window, "pageTabs")->setCurrentIndex(3);
      Child<QRadioButton>(&first.window, "sourcePlan")->click();
      Child<QRadioButton>(&first.window, "targetPlan")->click();
      Child<QCheckBox>(&first.window, "sevenParams")->click();
      first.window.close();
    }
    CoordSettings::instance() = {};
    StoredWindow second(*store_);
    QVERIFY(Child<QCheckBox>(&second.window, "sevenParams")->isChecked());
    QVERIFY(CoordSettings::instance().useSevenParams);
    QCOMPARE(RadioStates(&second.window),
             QString("sourceSpace=off+ sourceLB=off+ sourcePlan=on+ targetSpace=off+ targetLB=off+ targetPlan=on+"));
    QCOMPARE(CoordSettings::instance().targetType, CoordinateType::Plan);
    QCOMPARE(Child<QTabWidget>(&second.window, "pageTabs")->currentIndex(), 3);
  }

  void damagedStoreStartsWithTheDefaults() {
    WriteFile(store_->fileName(),
              "[settings]\nsourceType=Geo\ntargetType=@ByteArray(LB)\nsourceAngleFormat=42\nsourceEllipsoid=NoSuch\n"
              "useSevenParams=yes\nseven.dX=12abc\n[window]\npage=9\ngeometry=@ByteArray(garbage)\n");
    SettingsStore damaged(store_->fileName());
    StoredWindow window(damaged);
    QCOMPARE(RadioStates(&window.window),
             QString("sourceSpace=on+ sourceLB=off+ sourcePlan=off+ targetSpace=off+ targetLB=on+ targetPlan=off+"));
    QCOMPARE(ListText(&window.window, "sourceAngleFormat"), QString("DMS"));
    QCOMPARE(ListText(&window.window, "sourceEllipsoid"), QString("WGS84"));
    QVERIFY(!Child<QCheckBox>(&window.window, "sevenParams")->isChecked());
    QCOMPARE(Child<QTabWidget>(&window.window, "pageTabs")->currentIndex(), 0);
    QVERIFY(window.window.width() > 100 && window.window.height() > 100);
    QVERIFY(CoordSettings::instance().datum == DatumTransformation{});
  }

  void resetForgetsEverythingAfterAsking() {
    StoredWindow window(*store_);
    Child<QRadioButton>(&window.window, "sourcePlan")->click();
    Child<QCheckBox>(&window.window, "sevenParams")->click();
    Choose(&window.window, "targetEllipsoid", "krass");
    Choose(&window.window, "sourceAngleFormat", "DMM");
    Child<QTabWidget>(&window.window, "pageTabs")->setCurrentIndex(2);
    CoordSettings::instance().projection.centralMeridian = 117;
    store_->SaveCoordSettings(CoordSettings::instance());
    store_->setLastFolder(folder_->path());
    window.window.resize(window.window.sizeHint() + QSize(200, 100));
    window.window.pointPage()->setSourceTexts({"1", "2", "3"});

    MenuItem(&window.window, "恢复默认设置&R")->trigger();
    QCOMPARE(window.questions, 1);
    // The question names everything the reset forgets.
    for (const char* forgotten : {"坐标类型", "角度格式", "椭球", "输出小数位数", "角度小数位数", "投影参数", "七参数", "四参数", "高程拟合",
                                  "文件格式", "最近的文件", "文件夹", "输入的坐标", "窗口大小"}) {
      QVERIFY2(window.lastQuestion.contains(forgotten), forgotten);
    }
    QCOMPARE(window.window.pointPage()->sourceTexts(), QStringList({"", "", ""}));
    QCOMPARE(RadioStates(&window.window),
             QString("sourceSpace=on+ sourceLB=off+ sourcePlan=off+ targetSpace=off+ targetLB=on+ targetPlan=off+"));
    QVERIFY(!Child<QCheckBox>(&window.window, "sevenParams")->isChecked());
    QCOMPARE(ListText(&window.window, "targetEllipsoid"), QString("WGS84"));
    QCOMPARE(ListText(&window.window, "sourceAngleFormat"), QString("DMS"));
    QCOMPARE(Child<QTabWidget>(&window.window, "pageTabs")->currentIndex(), 0);
    QCOMPARE(window.window.size(), window.window.sizeHint());
    CoordSettings startUp;
    startUp.targetType = CoordinateType::LB;  // as every start-up writes it
    QVERIFY(CoordSettings::instance() == startUp);
    QVERIFY(!store_->RemembersTargetType());
    QVERIFY(store_->lastFolder().isEmpty());
  }

  void resetAnsweredNoChangesNothing() {
    StoredWindow window(*store_, false);
    Child<QRadioButton>(&window.window, "sourcePlan")->click();
    Choose(&window.window, "targetEllipsoid", "krass");
    store_->SaveCoordSettings(CoordSettings::instance());
    const CoordSettings before = CoordSettings::instance();
    MenuItem(&window.window, "恢复默认设置&R")->trigger();
    QCOMPARE(window.questions, 1);
    QVERIFY(CoordSettings::instance() == before);
    QVERIFY(store_->RemembersTargetType());
    QCOMPARE(ListText(&window.window, "targetEllipsoid"), QString("krass"));
    QVERIFY(Child<QRadioButton>(&window.window, "sourcePlan")->isChecked());
  }
};

QTEST_MAIN(RememberedSettingsTest)
#include "RememberedSettingsTest.moc"

// The main window: start-up state, the type choices (every pair offered,
// whatever the switches), tab switching, the lists, the menu and the
// standard message box.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSet>
#include <QSpinBox>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include "RadioStates.h"
#include "UiTestSupport.h"
#include "engine/CoordSettings.h"
#include "tables/TablePaths.h"
#include "ui/CTarnwellDlg.h"
#include "ui/QtText.h"
#include "ui/StandardMessageBox.h"

using namespace tarnwell;
using namespace tarnwell::test;

Q_DECLARE_METATYPE(tarnwell::CoordinateType)

namespace {

QStringList Items(const QComboBox* list) {
  QStringList items;
  for (int i = 0; i < list->count(); ++i) items << list->itemText(i);
  return items;
}

QStringList LabelTexts(const QWidget* window, const QString& prefix) {
  QStringList texts;
  for (int i = 1; i <= 3; ++i) texts << Child<QLabel>(window, prefix + QString::number(i) + "Label")->text();
  return texts;
}

const QStringList kSpaceLabels = {"X=", "Y=", "Z="};
const QStringList kGeodeticLabels = {"纬度=", "经度=", "大地高="};
const QStringList kPlanLabels = {"北坐标=", "东坐标=", "大地高="};

// Every radio usable, the named ones checked.
QString Checked(const QString& source, const QString& target) {
  QStringList states;
  for (const QString side : {"source", "target"}) {
    for (const QString type : {"Space", "LB", "Plan"}) {
      const bool on = type == (side == "source" ? source : target);
      states << QString("%1%2=%3+").arg(side, type, on ? "on" : "off");
    }
  }
  return states.join(' ');
}

}  // namespace

class MainWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    CoordSettings::instance() = {};
    SetTableDirectory("");
  }

  void startsWithTheDefaults() {
    CTarnwellDlg window;
    QCOMPARE(window.windowTitle(), QString("Tarnwell"));
    QCOMPARE(RadioStates(&window), Checked("Space", "LB"));
    QVERIFY(!Child<QCheckBox>(&window, "sevenParams")->isChecked());
    QCOMPARE(Child<QCheckBox>(&window, "sevenParams")->text(), QString("七参数"));

    const CoordSettings& settings = CoordSettings::instance();
    QCOMPARE(settings.sourceType, CoordinateType::Space);
    QCOMPARE(settings.targetType, CoordinateType::LB);  // written by the start-up, not the default "Space"

    for (const char* name : {"sourceAngleFormat", "targetAngleFormat"}) {
      const auto* list = Child<QComboBox>(&window, name);
      QCOMPARE(Items(list), QStringList({"DMS", "DDD", "DMM"}));
      QCOMPARE(list->currentText(), QString("DMS"));
    }
    // File order, not sorted.
    const QStringList fileOrder = {"WGS84", "krass",  "IAU76",  "CGCS2000", "GRS80", "intl",
                                   "bessel", "clrk66", "clrk80", "WGS72",   "airy"};
    for (const char* name : {"sourceEllipsoid", "targetEllipsoid"}) {
      const auto* list = Child<QComboBox>(&window, name);
      QStringList names;
      for (int i = 0; i < list->count(); ++i) names << list->itemData(i).toString();
      QCOMPARE(names, fileOrder);
      QCOMPARE(CurrentEntryName(list), QString("WGS84"));
      // Each entry says what it is: the name, then the table's description.
      QCOMPARE(list->itemText(1), QString("krass — 克拉索夫斯基椭球（1954北京坐标系）"));
    }

    QCOMPARE(LabelTexts(&window, "sourceValue"), kSpaceLabels);
    QCOMPARE(LabelTexts(&window, "targetValue"), kGeodeticLabels);

    const auto* tabs = Child<QTabWidget>(&window, "pageTabs");
    QCOMPARE(tabs->tabPosition(), QTabWidget::South);
    QStringList tabTexts;
    for (int i = 0; i < tabs->count(); ++i) tabTexts << tabs->tabText(i);
    QCOMPARE(tabTexts, QStringList({"单点转换", "文件转换", "三参数计算", "七参数计算", "四参数计算", "高程拟合"}));
    QVERIFY(!Child<QCheckBox>(&window, "fourParams")->isChecked());
    QCOMPARE(Child<QCheckBox>(&window, "fourParams")->text(), QString("四参数"));
    QCOMPARE(tabs->currentIndex(), 0);

    QStringList menuTexts;
    for (QAction* menu : Child<QMenuBar>(&window, "menuBar")->actions()) {
      menuTexts << menu->text();
      for (QAction* item : menu->menu()->actions()) menuTexts << "  " + item->text();
    }
    QCOMPARE(menuTexts, QStringList({"文件&F", "  打开参数&O", "  保存参数&S", "  最近的文件&R", "  ", "  退出&C", "设置&P",
                                     "  投影参数&P", "  基准转换参数&G", "工具&T", "  椭球管理&D", "  ", "  恢复默认设置&R",
                                     "帮助&A", "  帮助文档&H", "  关于&A"}));
  }

  // The rows of the choices say whose they are, and no list or number box
  // of the window, its pages or its dialogs stands without a label.
  void everyRowAndListIsLabelled() {
    CTarnwellDlg window;
    QStringList labelTexts;
    QSet<QWidget*> labelled;
    for (const QLabel* label : window.findChildren<QLabel*>()) {
      labelTexts << label->text();
      if (label->buddy() && !label->text().isEmpty()) labelled.insert(label->buddy());
    }
    QVERIFY(labelTexts.contains("源坐标"));
    QVERIFY(labelTexts.contains("目的坐标"));
    // The dialogs' lists too, but for the 1/f-or-b list that is itself the
    // label of its box.
    QList<QWidget*> lists;
    for (QComboBox* list : window.findChildren<QComboBox*>()) lists << list;
    for (QAbstractSpinBox* box : window.findChildren<QAbstractSpinBox*>()) lists << box;
    for (QListWidget* list : window.findChildren<QListWidget*>()) lists << list;
    for (QWidget* list : lists) {
      if (list->objectName() == "secondParameter") continue;
      QVERIFY2(labelled.contains(list), qPrintable(list->objectName()));
    }
  }

  void startUpFollowsTheSettings() {
    CoordSettings& settings = CoordSettings::instance();
    settings.sourceType = CoordinateType::Plan;
    settings.targetType = CoordinateType::Space;  // without a store: the source's default target
    settings.sourceAngleFormat = AngleFormat::DMM;
    settings.targetAngleFormat = AngleFormat::DDD;
    settings.sourceEllipsoid = "krass";
    settings.targetEllipsoid = "NoSuchEllipsoid";  // no entry: no selection
    settings.useSevenParams = true;

    CTarnwellDlg window;
    QCOMPARE(Child<QComboBox>(&window, "sourceAngleFormat")->currentText(), QString("DMM"));
    QCOMPARE(Child<QComboBox>(&window, "targetAngleFormat")->currentText(), QString("DDD"));
    QCOMPARE(CurrentEntryName(Child<QComboBox>(&window, "sourceEllipsoid")), QString("krass"));
    QCOMPARE(Child<QComboBox>(&window, "targetEllipsoid")->currentIndex(), -1);
    QCOMPARE(settings.targetEllipsoid, std::string("NoSuchEllipsoid"));
    QVERIFY(Child<QCheckBox>(&window, "sevenParams")->isChecked());
    QCOMPARE(RadioStates(&window), Checked("Plan", "LB"));
    QCOMPARE(settings.targetType, CoordinateType::LB);
    QCOMPARE(LabelTexts(&window, "sourceValue"), kPlanLabels);
  }

  void sourceChoiceSetsItsDefaultTarget_data() {
    QTest::addColumn<QString>("radio");
    QTest::addColumn<QString>("states");
    QTest::addColumn<QStringList>("sourceLabels");
    QTest::addColumn<QStringList>("targetLabels");
    QTest::addColumn<CoordinateType>("sourceType");
    QTest::addColumn<CoordinateType>("targetType");
    QTest::newRow("Space") << "sourceSpace" << Checked("Space", "LB") << kSpaceLabels << kGeodeticLabels
                           << CoordinateType::Space << CoordinateType::LB;
    QTest::newRow("LB") << "sourceLB" << Checked("LB", "Space") << kGeodeticLabels << kSpaceLabels
                        << CoordinateType::LB << CoordinateType::Space;
    QTest::newRow("Plan") << "sourcePlan" << Checked("Plan", "LB") << kPlanLabels << kGeodeticLabels
                          << CoordinateType::Plan << CoordinateType::LB;
  }

  // A source choice checks its default target and leaves every type usable.
  void sourceChoiceSetsItsDefaultTarget() {
    QFETCH(QString, radio);
    QFETCH(QString, states);
    QFETCH(QStringList, sourceLabels);
    QFETCH(QStringList, targetLabels);
    QFETCH(CoordinateType, sourceType);
    QFETCH(CoordinateType, targetType);
    CTarnwellDlg window;
    // From each other source, so every transition is covered.
    for (const char* before : {"sourceSpace", "sourceLB", "sourcePlan"}) {
      Child<QRadioButton>(&window, before)->click();
      Child<QRadioButton>(&window, radio)->click();
      QCOMPARE(RadioStates(&window), states);
      QCOMPARE(LabelTexts(&window, "sourceValue"), sourceLabels);
      QCOMPARE(LabelTexts(&window, "targetValue"), targetLabels);
      QCOMPARE(CoordSettings::instance().sourceType, sourceType);
      QCOMPARE(CoordSettings::instance().targetType, targetType);
    }
  }

  void targetChoiceWritesTheTargetType() {
    CTarnwellDlg window;
    Child<QRadioButton>(&window, "sourceLB")->click();
    Child<QRadioButton>(&window, "targetPlan")->click();
    QCOMPARE(CoordSettings::instance().targetType, CoordinateType::Plan);
    QCOMPARE(LabelTexts(&window, "targetValue"), kPlanLabels);
    QCOMPARE(RadioStates(&window), Checked("LB", "Plan"));
    Child<QRadioButton>(&window, "targetLB")->click();
    QCOMPARE(CoordSettings::instance().targetType, CoordinateType::LB);
    QCOMPARE(LabelTexts(&window, "targetValue"), kGeodeticLabels);
    Child<QRadioButton>(&window, "targetSpace")->click();
    QCOMPARE(CoordSettings::instance().targetType, CoordinateType::Space);
    QCOMPARE(LabelTexts(&window, "targetValue"), kSpaceLabels);
    QCOMPARE(CoordSettings::instance().sourceType, CoordinateType::LB);
  }

  // The switches put a datum transformation or a local grid in the chain;
  // neither takes a type away or chooses one.
  void switchesKeepEveryTypeOffered() {
    CTarnwellDlg window;
    Child<QRadioButton>(&window, "sourcePlan")->click();
    auto* sevenParams = Child<QCheckBox>(&window, "sevenParams");
    sevenParams->click();
    QVERIFY(CoordSettings::instance().useSevenParams);
    QCOMPARE(RadioStates(&window), Checked("Plan", "LB"));
    Child<QRadioButton>(&window, "targetPlan")->click();
    QCOMPARE(CoordSettings::instance().targetType, CoordinateType::Plan);
    QCOMPARE(LabelTexts(&window, "targetValue"), kPlanLabels);
    Child<QRadioButton>(&window, "sourceSpace")->click();
    Child<QRadioButton>(&window, "targetPlan")->click();
    QCOMPARE(RadioStates(&window), Checked("Space", "Plan"));

    auto* fourParams = Child<QCheckBox>(&window, "fourParams");
    fourParams->click();
    QVERIFY(CoordSettings::instance().useFourParams);
    QCOMPARE(RadioStates(&window), Checked("Space", "Plan"));
    sevenParams->click();
    fourParams->click();
    QVERIFY(!CoordSettings::instance().useSevenParams && !CoordSettings::instance().useFourParams);
    QCOMPARE(RadioStates(&window), Checked("Space", "Plan"));
    QCOMPARE(CoordSettings::instance().sourceType, CoordinateType::Space);
  }

  void startUpShowsTheFourParameterSwitch() {
    CoordSettings::instance().useFourParams = true;
    CoordSettings::instance().sourceType = CoordinateType::Plan;
    CTarnwellDlg window;
    QVERIFY(Child<QCheckBox>(&window, "fourParams")->isChecked());
    QVERIFY(Child<QRadioButton>(&window, "targetPlan")->isEnabled());
  }

  void computationTabsSetGeodeticTypes() {
    CTarnwellDlg window;
    auto* tabs = Child<QTabWidget>(&window, "pageTabs");
    Child<QRadioButton>(&window, "sourcePlan")->click();
    tabs->setCurrentIndex(1);  // the file page changes nothing
    QCOMPARE(CoordSettings::instance().sourceType, CoordinateType::Plan);
    QCOMPARE(tabs->currentWidget()->objectName(), QString("filePage"));

    for (int tab : {2, 3}) {
      Child<QRadioButton>(&window, "sourcePlan")->click();
      tabs->setCurrentIndex(tab);
      QCOMPARE(RadioStates(&window), Checked("LB", "LB"));
      QCOMPARE(CoordSettings::instance().sourceType, CoordinateType::LB);
      QCOMPARE(CoordSettings::instance().targetType, CoordinateType::LB);
      QCOMPARE(LabelTexts(&window, "targetValue"), kGeodeticLabels);
      tabs->setCurrentIndex(0);  // going back restores nothing
      QCOMPARE(CoordSettings::instance().targetType, CoordinateType::LB);
    }
    QCOMPARE(tabs->widget(2)->objectName(), QString("threeParameterPage"));
    QCOMPARE(tabs->widget(3)->objectName(), QString("sevenParameterPage"));
    QCOMPARE(tabs->widget(4)->objectName(), QString("fourParameterPage"));
    Child<QRadioButton>(&window, "sourcePlan")->click();
    tabs->setCurrentIndex(4);  // plane coordinates only: the types stay
    QCOMPARE(CoordSettings::instance().sourceType, CoordinateType::Plan);
  }

  void listsWriteTheirSelectionIntoTheSettings() {
    CTarnwellDlg window;
    window.show();
    // The user's choice, by keyboard on the closed list.
    QTest::keyClick(Child<QComboBox>(&window, "sourceAngleFormat"), Qt::Key_Down);
    QTest::keyClick(Child<QComboBox>(&window, "targetAngleFormat"), Qt::Key_End);
    QTest::keyClick(Child<QComboBox>(&window, "sourceEllipsoid"), Qt::Key_Down);
    QTest::keyClick(Child<QComboBox>(&window, "targetEllipsoid"), Qt::Key_End);
    const CoordSettings& settings = CoordSettings::instance();
    QCOMPARE(settings.sourceAngleFormat, AngleFormat::DDD);
    QCOMPARE(settings.targetAngleFormat, AngleFormat::DMM);
    QCOMPARE(settings.sourceEllipsoid, std::string("krass"));
    QCOMPARE(settings.targetEllipsoid, std::string("airy"));
  }

  void menuOpensEachDialog_data() {
    QTest::addColumn<QString>("item");
    QTest::addColumn<QString>("dialog");
    QTest::addColumn<QString>("caption");
    QTest::newRow("projection") << "投影参数&P"
                                << "projectionDialog"
                                << "投影设置";
    QTest::newRow("datum") << "基准转换参数&G"
                           << "datumDialog"
                           << "基准转换";
    QTest::newRow("ellipsoids") << "椭球管理&D"
                                << "ellipsoidDialog"
                                << "椭球设置";
    QTest::newRow("about") << "关于&A"
                           << "aboutDialog"
                           << "关于 Tarnwell";
  }

  void menuOpensEachDialog() {
    QFETCH(QString, item);
    QFETCH(QString, dialog);
    QFETCH(QString, caption);
    CTarnwellDlg window;
    window.show();
    QAction* action = nullptr;
    for (QAction* candidate : Child<QMenuBar>(&window, "menuBar")->findChildren<QAction*>()) {
      if (candidate->text() == item) action = candidate;
    }
    QVERIFY(action);
    QString seenCaption;
    const QWidget* firstOpening = nullptr;
    auto watch = WhenModal(dialog, [&](QWidget* modal) {
      seenCaption = modal->windowTitle();
      firstOpening = modal;
      qobject_cast<QDialog*>(modal)->reject();
    });
    action->trigger();
    QVERIFY(watch->fired());
    QCOMPARE(seenCaption, caption);
    // The same object at the next opening.
    const QWidget* secondOpening = nullptr;
    auto again = WhenModal(dialog, [&](QWidget* modal) {
      secondOpening = modal;
      qobject_cast<QDialog*>(modal)->reject();
    });
    action->trigger();
    QVERIFY(again->fired());
    QCOMPARE(secondOpening, firstOpening);
    QVERIFY(window.isVisible());
  }

  void pagesOfferTheCoordinateFileDialog_data() {
    QTest::addColumn<QString>("page");
    QTest::addColumn<QString>("button");
    QTest::newRow("file page") << "filePage" << "browseButton";
    QTest::newRow("seven-parameter page") << "sevenParameterPage" << "importButton";
  }

  // The real dialog behind the page's button, cancelled at once: an open
  // dialog for the coordinate files, owned by the page, starting in the
  // program directory.
  void pagesOfferTheCoordinateFileDialog() {
    QFETCH(QString, page);
    QFETCH(QString, button);
    RunningWindow running;
    auto* shownPage = Child<QWidget>(&running.window, page);
    Child<QTabWidget>(&running.window, "pageTabs")->setCurrentWidget(shownPage);
    const FileDialogLook look =
        CancelFileDialog([&] { QTest::mouseClick(Child<QPushButton>(shownPage, button), Qt::LeftButton); });
    QVERIFY(look.opened);
    QCOMPARE(look.parent, shownPage);
    QCOMPARE(look.title, QString("打开坐标文件"));
    QCOMPARE(look.acceptMode, QFileDialog::AcceptOpen);
    // The file page takes several files at once.
    QCOMPARE(look.fileMode, page == "filePage" ? QFileDialog::ExistingFiles : QFileDialog::ExistingFile);
    QCOMPARE(look.filters, QStringList({"CSV 文件 (*.csv)", "所有文件 (*)"}));
    QCOMPARE(look.selectedFilter, QString("CSV 文件 (*.csv)"));
    QCOMPARE(look.directory, QDir(ToQtPath(GetProgramDirectory())).absolutePath());
    QVERIFY(running.recorder.messages().isEmpty());  // a cancelled choice reads nothing
  }

  void exitCommandClosesTheWindow() {
    CTarnwellDlg window;
    window.show();
    for (QAction* candidate : Child<QMenuBar>(&window, "menuBar")->findChildren<QAction*>()) {
      if (candidate->text() == "退出&C") candidate->trigger();
    }
    QVERIFY(!window.isVisible());
  }

  void aboutBoxShowsTheProgram() {
    CTarnwellDlg window;
    QStringList texts;
    for (const QLabel* label : Child<QDialog>(&window, "aboutDialog")->findChildren<QLabel*>()) {
      if (!label->text().isEmpty()) texts << label->text();
    }
    QCOMPARE(texts, QStringList({"Tarnwell,1.0.0版", "Tarnwell 开发组",
                                 "详细的帮助信息见《Tarnwell 使用手册》：菜单“帮助 › 帮助文档”，或按 F1。"}));
    QVERIFY(!Child<QLabel>(&window, "aboutIcon")->pixmap().isNull());
    QCOMPARE(Child<QPushButton>(Child<QDialog>(&window, "aboutDialog"), "okButton")->text(), QString("确定"));
  }

  // The hook's box: modal, one OK button, the warning icon, "Tarnwell" as
  // caption, shown on the user-interface thread even for a worker's message.
  void standardMessageBoxFromAWorkerThread() {
    InstallStandardMessageBox();
    QString caption, text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QList<QAbstractButton*> buttons;
    bool onGuiThread = false;
    bool modal = false;
    auto watch = WhenModal("standardMessageBox", [&](QWidget* widget) {
      auto* box = qobject_cast<QMessageBox*>(widget);
      caption = box->windowTitle();
      text = box->text();
      icon = box->icon();
      buttons = box->buttons();
      modal = box->isModal();
      onGuiThread = box->thread() == QApplication::instance()->thread();
      box->button(QMessageBox::Ok)->click();
    });
    bool returned = false;
    std::unique_ptr<QThread> worker(QThread::create([&] {
      ShowMessage("坐标文件无法读取。");
      returned = true;
    }));
    worker->start();
    QVERIFY(WaitFor([&] { return worker->isFinished(); }));
    SetMessageHandler(nullptr);
    QVERIFY(watch->fired());
    QVERIFY(returned);
    QCOMPARE(caption, QString("Tarnwell"));
    QCOMPARE(text, QString("坐标文件无法读取。"));
    QCOMPARE(icon, QMessageBox::Warning);
    QCOMPARE(buttons.size(), 1);
    QVERIFY(modal);
    QVERIFY(onGuiThread);
  }
};

QTEST_MAIN(MainWindowTest)
#include "MainWindowTest.moc"

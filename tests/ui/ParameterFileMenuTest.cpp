// 文件 › 保存参数 and 打开参数: a set saved in one session and opened in a
// later one converts byte for byte as before; a damaged file is refused with
// its line and changes nothing; saving is what clears the unsaved work. The
// files are chosen by injected choosers, never by a real dialog.
#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include "UiTestSupport.h"
#include "engine/CoordSettings.h"
#include "ui/CDlgSParas.h"
#include "ui/CTarnwellDlg.h"

using namespace tarnwell;
using namespace tarnwell::test;

class ParameterFileMenuTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<RunningWindow> running_;
  QTemporaryDir folder_;
  QString chosen_;  // what the choosers answer

  CTarnwellDlg& Window() { return running_->window; }

  // A fresh session, as after quitting and starting again with the defaults.
  void Start() {
    running_.reset();
    running_ = std::make_unique<RunningWindow>();
    Window().setParameterFileChoosers([this](QWidget*) { return chosen_; }, [this](QWidget*) { return chosen_; });
  }

  void Menu(const QString& text) {
    bool found = false;
    for (QAction* action : Child<QMenuBar>(&Window(), "menuBar")->findChildren<QAction*>()) {
      if (action->text() == text) {
        action->trigger();
        found = true;
      }
    }
    QVERIFY2(found, qPrintable(text));
  }

  QLineEdit* Box(const QString& name) { return Child<QLineEdit>(&Window(), name); }

  // A point from geodetic to plane coordinates on the single-point page: the
  // three result texts.
  QStringList ConvertPoint() {
    Child<QAbstractButton>(&Window(), "sourceLB")->click();
    Child<QAbstractButton>(&Window(), "targetPlan")->click();
    const QStringList point = {"31:30:15.1234", "117:45:30.5678", "48.25"};
    for (int i = 0; i < 3; ++i) Box(QString("sourceValue%1").arg(i + 1))->setText(point[i]);
    QTest::mouseClick(Child<QPushButton>(Window().findChild<QWidget*>("pointPage"), "convertButton"), Qt::LeftButton);
    QStringList result;
    for (int i = 1; i <= 3; ++i) result << Box(QString("targetValue%1").arg(i))->text();
    return result;
  }

  // Parameters as a computation would leave them.
  static void ComputeParameters() {
    CoordSettings& settings = CoordSettings::instance();
    settings.projection.centralMeridian = 117;
    settings.projection.surfaceHeight = 52.5;
    settings.datum.params = {-15.415, 157.025, 94.74, 0.312, -0.08, 0.257, -4.6};
    settings.useFourParams = true;
    settings.fourParams = {-3250000.125, 400000.5, 12.75, 3.25};
    settings.heightFit.model = HeightModel::Plane;
    settings.heightFit.centroid = {3480000.0, 480000.0};
    settings.heightFit.coefficients = {-2.5, 1e-5, -3e-6, 0, 0, 0};
  }

 private slots:
  void init() { Start(); }
  void cleanup() { running_.reset(); }

  void savedSetConvertsAsBeforeInALaterSession() {
    ComputeParameters();
    const QStringList before = ConvertPoint();
    QVERIFY(Window().HasUnsavedWork());
    chosen_ = folder_.filePath("site");  // the suffix comes with saving
    Menu("保存参数&S");
    QVERIFY(QFile::exists(folder_.filePath("site.twp")));
    QVERIFY(!Window().HasUnsavedWork());

    Start();
    const QStringList withDefaults = ConvertPoint();
    QVERIFY(withDefaults != before);
    chosen_ = folder_.filePath("site.twp");
    Menu("打开参数&O");
    QVERIFY(Child<QCheckBox>(&Window(), "fourParams")->isChecked());
    QCOMPARE(ConvertPoint(), before);
    QVERIFY(running_->recorder.messages().isEmpty());
    QVERIFY(!Window().HasUnsavedWork());
  }

  void damagedFileIsRefusedNamingTheLineAndChangesNothing() {
    ComputeParameters();
    chosen_ = folder_.filePath("site.twp");
    Menu("保存参数&S");
    std::string text = ReadFile(chosen_);
    const std::string good = "four.dEast=400000.5";
    text.replace(text.find(good), good.size(), "four.dEast=400 000.5");
    WriteFile(chosen_, text);

    Start();
    const QStringList withDefaults = ConvertPoint();
    const CoordSettings before = CoordSettings::instance();
    Menu("打开参数&O");
    QVERIFY(CoordSettings::instance() == before);
    QVERIFY(!Child<QCheckBox>(&Window(), "fourParams")->isChecked());
    QCOMPARE(ConvertPoint(), withDefaults);
    const QStringList messages = running_->recorder.messages();
    QCOMPARE(messages.size(), 1);
    QVERIFY2(messages[0].startsWith("参数文件格式不正确，请检查。"), qPrintable(messages[0]));
    QVERIFY2(messages[0].contains("four.dEast=400 000.5"), qPrintable(messages[0]));
  }

  void noFileChosenDoesNothing() {
    ComputeParameters();
    chosen_.clear();
    Menu("保存参数&S");
    QVERIFY(Window().HasUnsavedWork());
    const CoordSettings before = CoordSettings::instance();
    Menu("打开参数&O");
    QVERIFY(CoordSettings::instance() == before);
    QVERIFY(running_->recorder.messages().isEmpty());
  }

  void importingSetsAndSavingClearsTheUnsavedWork() {
    const QString points = folder_.filePath("common.csv");
    WriteFile(points, "K1,30:0:0,120:0:0,0,30:0:3.6,120:0:3.6,5\nK2,31:0:0,121:0:0,0,31:0:3.6,121:0:3.6,5\n");
    Window().sevenParameterPage()->ImportFile(points);
    QVERIFY(Window().HasUnsavedWork());
    chosen_ = folder_.filePath("points.twp");
    Menu("保存参数&S");
    QVERIFY(!Window().HasUnsavedWork());
    // Imported again: new work. Parameters computed: new work.
    Window().sevenParameterPage()->ImportFile(points);
    QVERIFY(Window().HasUnsavedWork());
    Menu("保存参数&S");
    CoordSettings::instance().fourParams.dNorth = 12.5;
    QVERIFY(Window().HasUnsavedWork());
    // Opening the saved set brings back the parameters saved.
    Menu("打开参数&O");
    QVERIFY(!Window().HasUnsavedWork());
    QCOMPARE(CoordSettings::instance().fourParams.dNorth, 0.0);
  }
};

QTEST_MAIN(ParameterFileMenuTest)
#include "ParameterFileMenuTest.moc"

// Not a test: draws every page and dialog of the program into PNG files, so
// a person can look at them for clipped or overlapping texts; the user
// manual's pictures (resources/manual/images) are made with it.
//   QT_QPA_PLATFORM=offscreen ui_screenshot_tour [--size WIDTHxHEIGHT] OUTPUT_DIRECTORY
// --size gives the main window's size (logical pixels); QT_SCALE_FACTOR=2
// in the environment draws the same at twice the pixels, as on a
// high-density screen. The settings and user tables are Qt's test
// configuration, not the user's.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QAbstractItemView>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QTableWidget>
#include <QTimer>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTest>
#include <QTextBrowser>

#include <cmath>
#include <functional>
#include <tuple>

#include "engine/AngleText.h"
#include "engine/BursaWolf.h"
#include "engine/ConversionPlan.h"
#include "engine/CoordSettings.h"
#include "engine/GeoidModel.h"
#include "tables/ProjectionCatalogue.h"
#include "ui/CAboutDlg.h"
#include "ui/CDlgDatumTrans.h"
#include "ui/CDlgEllips.h"
#include "ui/CDlgFParas.h"
#include "ui/CDlgHeightFit.h"
#include "ui/CDlgProjTrans.h"
#include "ui/CDlgSParas.h"
#include "ui/CDlgFileFt.h"
#include "ui/CDlgFile.h"
#include "ui/CDlgPoint.h"
#include "ui/CHelpDlg.h"
#include "ui/QtText.h"
#include "ui/CTarnwellDlg.h"
#include "ui/ProgramIcon.h"
#include "ui/StandardMessageBox.h"
#include "ui/UserEllipsoidTable.h"

using namespace tarnwell;

namespace {

// Shows `widget`, lets `arrange` set it up as it should be seen, and saves
// its picture.
void Save(QWidget* widget, const QDir& directory, const QString& name, const std::function<void()>& arrange = {}) {
  widget->show();
  widget->raise();
  if (arrange) arrange();
  QTest::qWait(200);
  widget->grab().save(directory.filePath(name + ".png"));
  widget->hide();
}

// "1280x800" as a size; an invalid size for anything else.
QSize ParseSize(const QString& text) {
  const QRegularExpressionMatch match = QRegularExpression(QStringLiteral("^(\\d+)x(\\d+)$")).match(text);
  return match.hasMatch() ? QSize(match.captured(1).toInt(), match.captured(2).toInt()) : QSize();
}

}  // namespace

int main(int argc, char* argv[]) {
  QApplication application(argc, argv);
  QApplication::setWindowIcon(ProgramIcon());
  QStringList arguments = QApplication::arguments().mid(1);
  QSize windowSize;  // invalid: the window's own size
  const bool sizeGiven = arguments.size() == 3 && arguments[0] == QStringLiteral("--size");
  if (sizeGiven) {
    windowSize = ParseSize(arguments[1]);
    arguments = arguments.mid(2);
  }
  if (arguments.size() != 1 || (sizeGiven && windowSize.isEmpty())) {
    std::fputs("usage: ui_screenshot_tour [--size WIDTHxHEIGHT] OUTPUT_DIRECTORY\n", stderr);
    return 2;
  }
  const QDir directory(arguments[0]);
  QStandardPaths::setTestModeEnabled(true);
  // One ellipsoid of the user's own, to show how the dialog marks it.
  const EllipsoidRecord siteEllipsoid{"工地椭球", "6378245", "298.3", "工地独立坐标系"};
  SaveUserEllipsoids({&siteEllipsoid, 1});

  CTarnwellDlg window;
  window.show();
  if (windowSize.isValid()) window.resize(windowSize);
  // The single-point page with a point converted, as a user sees it.
  const char* const example[3] = {"-2823821.815", "4653514.330", "3313308.963"};  // 31.5°N 121.25°E, h 42 m
  for (int i = 0; i < 3; ++i) {
    window.findChild<QLineEdit*>(QString("sourceValue%1").arg(i + 1))->setText(example[i]);
  }
  window.pointPage()->OnConvert();
  auto* tabs = window.findChild<QTabWidget*>("pageTabs");
  const QString pages[5] = {"page0-point", "page1-file", "page2-three", "page3-seven", "page4-four"};
  for (int tab = 0; tab < 5; ++tab) {
    tabs->setCurrentIndex(tab);
    QTest::qWait(200);
    window.grab().save(directory.filePath(pages[tab] + ".png"));
  }
  tabs->setCurrentIndex(0);

  // The source ellipsoid's list open, each entry with its description.
  auto* sourceEllipsoid = window.findChild<QComboBox*>("sourceEllipsoid");
  sourceEllipsoid->showPopup();
  QTest::qWait(200);
  sourceEllipsoid->view()->window()->grab().save(directory.filePath("main-ellipsoid-list.png"));
  sourceEllipsoid->hidePopup();

  // The file page with a file whose bad line lies past the preview. The
  // file is named relative to the output directory, so that the picture is
  // the same whatever directory the tour writes to.
  const QString sampleName = QStringLiteral("sample-points.csv");
  const QString sampleFile = directory.filePath(sampleName);
  const QString workingDirectory = QDir::currentPath();
  QDir::setCurrent(directory.absolutePath());
  {
    QFile sample(sampleFile);
    if (sample.open(QIODevice::WriteOnly)) {
      for (int line = 1; line <= 14; ++line) {
        // The computation pages left geodetic types in force: B, L in DMS.
        sample.write(line == 13 ? "P13,31:30:0,121:15:0\r\n"
                                : QStringLiteral("P%1,31:30:%2,121:15:0,42\r\n").arg(line).arg(line).toUtf8());
      }
    }
  }
  tabs->setCurrentIndex(1);
  window.findChild<QLineEdit*>("inputPath")->setText(sampleName);
  if (!QTest::qWaitFor([&window] { return !window.filePage()->fileCheckRunning(); })) std::fputs("file check still running\n", stderr);
  QTest::qWait(200);
  window.grab().save(directory.filePath("page1-file-check.png"));
  window.findChild<QLineEdit*>("inputPath")->clear();
  QFile::remove(sampleFile);
  QDir::setCurrent(workingDirectory);
  tabs->setCurrentIndex(0);

  // The help window at the single-point page's section.
  window.OnManual();
  // The browser lays a long page out bit by bit, and its scroll bar grows
  // with it: the whole page first, so that the picture is the same each run.
  window.helpWindow()->findChild<QTextBrowser*>("helpBrowser")->document()->size();
  QTest::qWait(300);
  window.helpWindow()->grab().save(directory.filePath("help-window.png"));
  window.helpWindow()->hide();

  // 七参数 from WGS84 geodetic to plane coordinates on Krassovsky.
  CoordSettings& settings = CoordSettings::instance();
  const CoordSettings plain = settings;
  settings.datum = {{-15.415, 157.025, 94.74, 0.312, -0.08, 0.257, -4.6}, RotationConvention::CoordinateFrame,
                    "WGS84", "krass"};
  window.findChild<QRadioButton*>("sourceLB")->click();
  window.findChild<QRadioButton*>("targetPlan")->click();
  auto* targetEllipsoid = window.findChild<QComboBox*>("targetEllipsoid");
  targetEllipsoid->setCurrentIndex(targetEllipsoid->findData(QStringLiteral("krass")));
  emit targetEllipsoid->activated(targetEllipsoid->currentIndex());
  window.findChild<QCheckBox*>("sevenParams")->click();
  const char* const geodetic[3] = {"31:30:00", "121:15:00", "42"};
  for (int i = 0; i < 3; ++i) {
    window.findChild<QLineEdit*>(QString("sourceValue%1").arg(i + 1))->setText(geodetic[i]);
  }
  window.pointPage()->OnConvert();
  QTest::qWait(200);
  window.grab().save(directory.filePath("main-seven-plan.png"));

  Save(window.projectionDialog(), directory, "dialog-projection");
  // The source's own projection, a UTM zone, beside the target's.
  settings.ownSourceProjection = true;
  ProjectionParams sourceProjection;
  sourceProjection.projKey = "utm";
  sourceProjection.description = "Universal Transverse Mercator (UTM)";
  ProjectionDefaults(sourceProjection);
  sourceProjection.zone = 51;
  settings.sourceProjection = sourceProjection;
  Save(window.projectionDialog(), directory, "dialog-projection-source", [&window] {
    window.projectionDialog()->findChild<QRadioButton*>("editSourceProjection")->click();
  });
  settings = plain;
  // The projection dialog with a projection of each kind in force.
  const ProjectionParams before = settings.projection;
  for (const auto& [key, description, name] :
       {std::tuple{"tmerc", "Transverse Mercator", "dialog-projection-tmerc"},
        {"utm", "Universal Transverse Mercator (UTM)", "dialog-projection-utm"},
        {"lcc", "Lambert Conformal Conic", "dialog-projection-lcc"}}) {
    ProjectionParams projection;
    projection.projKey = key;
    projection.description = description;
    ProjectionDefaults(projection);
    if (projection.projKey == "tmerc") {  // Gauss-Krüger, 6° zone 20, easting with its zone
      projection.zoneWidth = 6;
      projection.zone = 20;
      projection.zonePrefix = true;
      projection.surfaceHeight = 850;
    }
    if (projection.projKey == "utm") projection.zone = 51;
    settings.projection = projection;
    Save(window.projectionDialog(), directory, name);
  }
  settings.projection = before;
  Save(window.datumDialog(), directory, "dialog-datum");
  auto* ellipsoids = window.ellipsoidDialog()->findChild<QListWidget*>("ellipsoidList");
  Save(window.ellipsoidDialog(), directory, "dialog-ellipsoid",
       [ellipsoids] { ellipsoids->setCurrentRow(ellipsoids->count() - 1); });
  Save(window.aboutDialog(), directory, "dialog-about");
  Save(window.filePage()->formatDialog(), directory, "dialog-file-format");

  // The seven-parameter page after a computation: ten points of a 20 km
  // network from WGS84 onto Krassovsky with a known set, 1 cm of scatter and
  // K7 4 cm high; its residual plot and its report as PDF.
  {
    const CoordSettings before = settings;
    settings.targetEllipsoid = "krass";
    settings.sourceAngleFormat = settings.targetAngleFormat = AngleFormat::DDD;
    std::optional<EllipsoidPair> pair;
    EllipsoidPairOf(settings, pair);
    const SevenParams truth{-15.415, 157.025, 94.74, 0.312, -0.08, 0.257, -4.6};
    QFile networkPoints(directory.filePath("network-common-points.csv"));
    if (pair && networkPoints.open(QIODevice::WriteOnly)) {
      for (int i = 0; i < 10; ++i) {
        const double latitude = 31.4 + 0.06 * (i % 4) + 0.013 * std::sin(2.1 * i);
        const double longitude = 121.1 + 0.07 * (i / 4) + 0.017 * std::cos(1.7 * i), height = 12 + 9 * i;
        const double scatter = 0.01 * std::sin(5.3 * i);
        GeodeticPoint target =
            pair->target.ToGeodetic(ApplyBursaWolf(truth, pair->source.ToCartesian({latitude, longitude, height})));
        target.height += scatter + (i == 7 ? 0.04 : 0);
        target.latitude += scatter / 111e3;
        networkPoints.write(QStringLiteral("K%1,%2,%3,%4,%5,%6,%7\n")
                                .arg(i)
                                .arg(latitude, 0, 'f', 9)
                                .arg(longitude, 0, 'f', 9)
                                .arg(height, 0, 'f', 3)
                                .arg(target.latitude, 0, 'f', 9)
                                .arg(target.longitude, 0, 'f', 9)
                                .arg(target.height, 0, 'f', 3)
                                .toUtf8());
      }
      networkPoints.close();
    }
    auto* sevenPage = window.findChild<CDlgSParas*>("sevenParameterPage");
    sevenPage->ImportFile(networkPoints.fileName());
    tabs->setCurrentIndex(3);
    // The datum dialog the computation proposes the set in: left unchanged.
    QTimer::singleShot(300, [&window] { window.datumDialog()->reject(); });
    sevenPage->OnCompute();
    QTest::qWait(200);
    window.grab().save(directory.filePath("page3-seven-computed.png"));
    sevenPage->findChild<QWidget*>("residualPlot")->grab().save(directory.filePath("residual-plot-seven.png"));
    sevenPage->ExportReport(directory.filePath("report-seven.pdf"));
    settings = before;
  }

  // The four-parameter page after a computation: twelve points of a site
  // grid turned by 100″ with 25 ppm, 5 mm of scatter, G6 6 cm east and G9
  // kept out; its residual plot and its report as PDF.
  QFile commonPoints(directory.filePath("site-common-points.csv"));
  if (commonPoints.open(QIODevice::WriteOnly)) {
    const double angle = 100 / 206264.806, factor = 1 + 25e-6;
    for (int i = 0; i < 12; ++i) {
      const double north = 3.4e6 + 1500 * (i % 4) + 300 * std::sin(3.1 * i), east = 5e5 + 1800 * (i / 4) + 250 * std::cos(2.3 * i);
      const double scatter = 0.005 * std::sin(7.3 * i), height = 30 + 7 * i;
      const double north2 = 2000 + factor * (north * std::cos(angle) - east * std::sin(angle)) + scatter;
      const double east2 = -2000 + factor * (north * std::sin(angle) + east * std::cos(angle)) - scatter +
                           (i == 6 ? 0.06 : 0);
      commonPoints.write(QStringLiteral("G%1,%2,%3,%4,%5,%6,%7\n")
                             .arg(i)
                             .arg(north, 0, 'f', 4)
                             .arg(east, 0, 'f', 4)
                             .arg(height, 0, 'f', 3)
                             .arg(north2, 0, 'f', 4)
                             .arg(east2, 0, 'f', 4)
                             .arg(height + 2.5 + 1e-5 * (north - 3.4e6) - scatter, 0, 'f', 3)
                             .toUtf8());
    }
    commonPoints.close();
  }
  // The height-fit page after a computation: nine levelled points around
  // 31.5°N 120.3°E, their anomalies over EGM96 a gentle plane with 4 mm of
  // scatter, L5 levelled 4 cm low; B and L in DMS as the pages left them.
  QFile levelled(directory.filePath("levelled-points.csv"));
  if (levelled.open(QIODevice::WriteOnly)) {
    for (int i = 0; i < 9; ++i) {
      const double latitude = 31.45 + 0.05 * (i % 3) + 0.01 * std::sin(2.1 * i);
      const double longitude = 120.25 + 0.05 * (i / 3) + 0.01 * std::cos(1.7 * i);
      std::shared_ptr<const GeoidModel> egm96;
      double undulation = 0;
      if (!GeoidModel::Open(std::string(kEgm96Name), egm96)) egm96->Undulation(latitude, longitude, undulation);
      const double anomaly = 0.12 + 0.8 * (latitude - 31.5) - 0.5 * (longitude - 120.3) + 0.004 * std::sin(5.3 * i);
      const double height = 20 + 3 * i;
      std::string b, l;
      AppendAngle(latitude, AngleFormat::DMS, b, 5);
      AppendAngle(longitude, AngleFormat::DMS, l, 5);
      levelled.write(QStringLiteral("L%1,%2,%3,%4,%5\n")
                         .arg(i)
                         .arg(ToQt(b), ToQt(l))
                         .arg(height, 0, 'f', 3)
                         .arg(height - undulation - anomaly - (i == 5 ? 0.04 : 0), 0, 'f', 3)
                         .toUtf8());
    }
    levelled.close();
  }
  window.findChild<QComboBox*>("geoidModel")->setEditText(ToQt(std::string(kEgm96Name)));
  auto* heightPage = window.heightFitPage();
  heightPage->ImportFile(levelled.fileName());
  heightPage->findChild<QComboBox*>("surface")->setCurrentIndex(2);  // 平面
  tabs->setCurrentIndex(5);
  heightPage->OnCompute();
  QTest::qWait(200);
  window.grab().save(directory.filePath("page5-height-fit.png"));
  tabs->setCurrentIndex(0);
  window.findChild<QComboBox*>("geoidModel")->setEditText({});  // the other pictures as they were

  auto* fourPage = window.findChild<CDlgFParas*>("fourParameterPage");
  fourPage->ImportFile(commonPoints.fileName());
  auto* table = fourPage->findChild<QTableWidget*>("commonPointTable");
  table->item(9, 0)->setCheckState(Qt::Unchecked);
  window.findChild<QComboBox*>("heightModel")->setCurrentIndex(1);  // 平面
  tabs->setCurrentIndex(4);
  fourPage->OnCompute();
  QTest::qWait(200);
  window.grab().save(directory.filePath("page4-four-computed.png"));
  fourPage->findChild<QWidget*>("residualPlot")->grab().save(directory.filePath("residual-plot.png"));
  fourPage->ExportReport(directory.filePath("report-four.pdf"));
  fourPage->ExportReport(directory.filePath("report-four.html"));
  tabs->setCurrentIndex(0);

  // The program's own message box, taken while it waits for the user.
  QTimer::singleShot(300, [&directory] {
    QWidget* box = QApplication::activeModalWidget();
    if (!box) return;
    box->grab().save(directory.filePath("message-box.png"));
    box->close();
  });
  window.activateWindow();
  ShowStandardMessageBox(QStringLiteral("文件格式与坐标类型冲突，请检查。"));
  QFile::remove(UserEllipsoidTablePath());
  return 0;
}

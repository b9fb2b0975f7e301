// Not a test: draws every page and dialog of the program into PNG files, so
// a person can look at them for clipped or overlapping texts; the user
// manual's pictures (resources/manual/images) are made with it.
//   QT_QPA_PLATFORM=offscreen ui_screenshot_tour OUTPUT_DIRECTORY
#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

#include <tuple>

#include "engine/CoordSettings.h"
#include "tables/ProjectionCatalogue.h"
#include "ui/CAboutDlg.h"
#include "ui/CDlgDatumTrans.h"
#include "ui/CDlgEllips.h"
#include "ui/CDlgProjTrans.h"
#include "ui/CDlgFileFt.h"
#include "ui/CDlgFile.h"
#include "ui/CDlgPoint.h"
#include "ui/CTarnwellDlg.h"
#include "ui/ProgramIcon.h"

using namespace tarnwell;

namespace {

void Save(QWidget* widget, const QDir& directory, const QString& name) {
  widget->show();
  widget->raise();
  QTest::qWait(200);
  widget->grab().save(directory.filePath(name + ".png"));
  widget->hide();
}

}  // namespace

int main(int argc, char* argv[]) {
  QApplication application(argc, argv);
  QApplication::setWindowIcon(ProgramIcon());
  if (argc < 2) {
    std::fputs("usage: ui_screenshot_tour OUTPUT_DIRECTORY\n", stderr);
    return 2;
  }
  const QDir directory(QString::fromLocal8Bit(argv[1]));

  CTarnwellDlg window;
  window.show();
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

  Save(window.projectionDialog(), directory, "dialog-projection");
  // The projection dialog with a projection of each kind in force.
  CoordSettings& settings = CoordSettings::instance();
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
      projection.surfaceHeight = "850";
    }
    if (projection.projKey == "utm") projection.zone = 51;
    settings.projection = projection;
    Save(window.projectionDialog(), directory, name);
  }
  settings.projection = before;
  Save(window.datumDialog(), directory, "dialog-datum");
  Save(window.ellipsoidDialog(), directory, "dialog-ellipsoid");
  Save(window.aboutDialog(), directory, "dialog-about");
  Save(window.filePage()->formatDialog(), directory, "dialog-file-format");

  QMessageBox box(QMessageBox::Warning, "Tarnwell", "文件格式与坐标类型冲突，请检查。", QMessageBox::Ok, &window);
  Save(&box, directory, "message-box");
  return 0;
}

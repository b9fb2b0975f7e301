// The residual drawing the pages and the reports share, and how a report's
// file name chooses its format.
#include <QTest>

#include "report/ReportFile.h"
#include "report/ResidualDrawing.h"

using namespace tarnwell;

namespace {

using Point = ResidualDrawing::Point;

// The pixels of the drawing that are pure red, and those that are dark.
std::pair<int, int> RedAndDark(const ResidualDrawing& drawing) {
  const QImage image = drawing.Image(240, 240);
  int red = 0, dark = 0;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      const QColor colour = image.pixelColor(x, y);
      red += colour == QColor(Qt::red);
      dark += colour.lightness() < 60;
    }
  }
  return {red, dark};
}

}  // namespace

class ReportDrawingTest : public QObject {
  Q_OBJECT

 private slots:
  // A 1-2-5 step at or below half the largest plane or height residual.
  void scaleBarFollowsTheLargestResidual_data() {
    QTest::addColumn<double>("vNorth");
    QTest::addColumn<double>("vEast");
    QTest::addColumn<double>("vHeight");
    QTest::addColumn<double>("bar");
    QTest::newRow("plane 5.46 cm") << 0.0 << 0.0546 << 0.001 << 0.02;
    QTest::newRow("plane 1.8 cm") << -0.0108 << 0.0144 << 0.0 << 0.005;
    QTest::newRow("height 30 cm") << 0.001 << 0.0 << -0.3 << 0.1;
    QTest::newRow("3 m") << 3.0 << 0.0 << 0.0 << 1.0;
    QTest::newRow("none") << 0.0 << 0.0 << 0.0 << 0.0;
  }
  void scaleBarFollowsTheLargestResidual() {
    QFETCH(double, vNorth);
    QFETCH(double, vEast);
    QFETCH(double, vHeight);
    QFETCH(double, bar);
    const ResidualDrawing drawing({{"A", 0, 0, vNorth, vEast, vHeight}, {"B", 100, 50, 0, 0, 0}});
    QCOMPARE(drawing.ScaleBarMetres(), bar);
  }

  // Flagged points red, and only they; a point kept out of the estimate hollow.
  void flaggedPointsAreRedAndKeptOutOnesHollow() {
    const Point near{"A", 0, 0, 0.01, 0.0, 0.0}, far{"B", 500, 300, -0.01, 0.0, 0.0};
    Point flagged = far, keptOut = far;
    flagged.flagged = true;
    keptOut.participates = false;
    QCOMPARE(RedAndDark(ResidualDrawing({near, far})).first, 0);
    QVERIFY(RedAndDark(ResidualDrawing({near, flagged})).first > 20);
    QVERIFY(RedAndDark(ResidualDrawing({near, keptOut})).second < RedAndDark(ResidualDrawing({near, far})).second);
  }

  void formatFollowsTheEnding_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<int>("format");
    QTest::newRow("html") << "a/report.html" << int(ReportFormat::Html);
    QTest::newRow("htm, capitals") << "REPORT.HTM" << int(ReportFormat::Html);
    QTest::newRow("pdf") << "报告.Pdf" << int(ReportFormat::Pdf);
    QTest::newRow("csv") << "report.csv" << int(ReportFormat::Csv);
    QTest::newRow("no ending") << "report" << int(ReportFormat::Unknown);
    QTest::newRow("dot in the folder only") << "site.pdf/report" << int(ReportFormat::Unknown);
    QTest::newRow("another ending after") << "report.pdf.txt" << int(ReportFormat::Unknown);
    QTest::newRow("nothing after the dot") << "report." << int(ReportFormat::Unknown);
  }
  void formatFollowsTheEnding() {
    QFETCH(QString, path);
    QFETCH(int, format);
    QCOMPARE(int(ReportFormatOf(path.toStdString())), format);
  }
};

QTEST_MAIN(ReportDrawingTest)
#include "ReportDrawingTest.moc"

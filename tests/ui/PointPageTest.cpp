// The single-point page through the real widgets: conversions, pairs of one
// type, the refusals and their messages, and target boxes that never hold a
// result of other settings.
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QTest>
#include <cmath>
#include <functional>
#include <utility>
#include <vector>

#include "UiTestSupport.h"
#include "engine/CoordSettings.h"
#include "engine/PointConversion.h"
#include "tables/NumberText.h"
#include "tables/TablePaths.h"
#include "ui/CTarnwellDlg.h"
#include "ui/PointTable.h"

using namespace tarnwell;
using namespace tarnwell::test;

namespace {

// Independent values: WGS84 (a = 6378137 m, 1/f = 298.257223563).
constexpr double kSemiMajorAxis = 6378137.0;
constexpr double kInverseFlattening = 298.257223563;
constexpr double kPi = 3.14159265358979323846;

// Earth-centred coordinates of a geodetic point, metres, on the ellipsoid
// with semi-major axis `a` (metres) and inverse flattening `rf`.
void GeodeticToCartesian(double latitudeDeg, double longitudeDeg, double height, double& x, double& y, double& z,
                         double a = kSemiMajorAxis, double rf = kInverseFlattening) {
  const double f = 1 / rf;
  const double e2 = f * (2 - f);
  const double b = latitudeDeg * kPi / 180, l = longitudeDeg * kPi / 180;
  const double n = a / std::sqrt(1 - e2 * std::sin(b) * std::sin(b));
  x = (n + height) * std::cos(b) * std::cos(l);
  y = (n + height) * std::cos(b) * std::sin(l);
  z = (n * (1 - e2) + height) * std::sin(b);
}

// Length of the WGS84 meridian arc from the equator to `latitudeDeg`, by
// Simpson's rule: the northing of transverse Mercator (k = 1) on its
// central meridian.
double MeridianArc(double latitudeDeg) {
  const double f = 1 / kInverseFlattening;
  const double e2 = f * (2 - f);
  const int steps = 2000;
  const double end = latitudeDeg * kPi / 180, step = end / steps;
  auto radius = [&](double phi) { return kSemiMajorAxis * (1 - e2) / std::pow(1 - e2 * std::sin(phi) * std::sin(phi), 1.5); };
  double sum = radius(0) + radius(end);
  for (int i = 1; i < steps; ++i) sum += radius(i * step) * (i % 2 ? 4 : 2);
  return sum * step / 3;
}

}  // namespace

class PointPageTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<RunningWindow> running_;

  QLineEdit* Box(const char* name) { return Child<QLineEdit>(&running_->window, name); }
  void Type(const QStringList& values) {
    for (int i = 0; i < 3; ++i) Box(qPrintable(QString("sourceValue%1").arg(i + 1)))->setText(values[i]);
  }
  void SetTargets(const QStringList& values) {
    for (int i = 0; i < 3; ++i) Box(qPrintable(QString("targetValue%1").arg(i + 1)))->setText(values[i]);
  }
  QStringList Targets() {
    QStringList values;
    for (int i = 1; i <= 3; ++i) values << Box(qPrintable(QString("targetValue%1").arg(i)))->text();
    return values;
  }
  void Convert() { QTest::mouseClick(Child<QPushButton>(running_->window.findChild<QWidget*>("pointPage"), "convertButton"), Qt::LeftButton); }
  void Click(const char* name) { Child<QAbstractButton>(&running_->window, name)->click(); }
  void Choose(const char* list, const QString& entry) {
    ChooseEntry(Child<QComboBox>(&running_->window, list), entry);
  }

 private slots:
  void init() { running_ = std::make_unique<RunningWindow>(); }
  void cleanup() { running_.reset(); }

  void spaceToGeodeticWritesAnglesInTheTargetFormat() {
    double x, y, z;
    GeodeticToCartesian(31.5, 121.25, 42.0, x, y, z);
    Type({QString::number(x, 'f', 6), QString::number(y, 'f', 6), QString::number(z, 'f', 6)});
    Convert();
    const QStringList dms = Targets();
    const QRegularExpression dmsForm("^\\d+:\\d+:\\d+\\.\\d{15}$");
    QVERIFY2(dmsForm.match(dms[0]).hasMatch(), qPrintable(dms[0]));
    // Degrees padded to three characters, minutes and seconds truncated.
    QVERIFY2(dms[0].startsWith("031:29:59.99") || dms[0].startsWith("031:30:00.00"), qPrintable(dms[0]));
    QVERIFY2(dms[1].startsWith("121:14:59.99") || dms[1].startsWith("121:15:00.00"), qPrintable(dms[1]));
    QVERIFY(std::abs(dms[2].toDouble() - 42.0) < 1e-4);

    Choose("targetAngleFormat", "DDD");
    Convert();
    const QStringList ddd = Targets();
    QVERIFY(std::abs(ddd[0].toDouble() - 31.5) < 1e-9);
    QVERIFY(std::abs(ddd[1].toDouble() - 121.25) < 1e-9);
    QVERIFY(running_->recorder.messages().isEmpty());
  }

  // Metres and the seconds of an angle each with the decimals of their box.
  void metresAndSecondsHaveDecimalsOfTheirOwn() {
    Type({"6378137.00004", "0", "0"});  // target "LB", DMS
    Child<QSpinBox>(&running_->window, "outputDecimals")->setValue(3);
    Child<QSpinBox>(&running_->window, "angleDecimals")->setValue(5);
    QCOMPARE(CoordSettings::instance().angleDecimals, 5);
    Convert();
    QCOMPARE(Targets(), QStringList({"000:00:0.00000", "000:00:0.00000", "0.000"}));
  }

  // Rows pasted from a spreadsheet, converted all at once: each refusal in
  // its row and no number there; the results copied back under the header,
  // and forgotten when the settings change.
  void tableOfPointsConvertsPastedRows() {
    Click("sourceLB");  // target "Space", DMS angles
    auto* table = Child<PointTable>(&running_->window, "pointTable");
    QApplication::clipboard()->setText("点名\t纬度\t经度\t大地高\r\nP1\t30:0:0\t120:0:0\t10\r\n30:0:0,95:0:0\r\n"
                                       "P3,95:0:0,120:0:0,0\r\n\r\n");
    table->setFocus();
    QTest::keySequence(table, QKeySequence::Paste);
    QCOMPARE(table->rowCount(), 3);
    Click("convertTableButton");
    const auto cell = [table](int row, int column) { return table->item(row, column)->text(); };
    double x, y, z;
    GeodeticToCartesian(30, 120, 10, x, y, z);
    QVERIFY(std::abs(cell(0, PointTable::kFirstTargetColumn).toDouble() - x) < 1e-6);
    QVERIFY(std::abs(cell(0, PointTable::kFirstTargetColumn + 1).toDouble() - y) < 1e-6);
    QVERIFY(std::abs(cell(0, PointTable::kFirstTargetColumn + 2).toDouble() - z) < 1e-6);
    QCOMPARE(cell(0, PointTable::kRemarkColumn), QString());
    const QStringList reasons = {"每行须为点名与三个坐标", "坐标格式错误"};  // two fields; latitude 95°
    for (int row : {1, 2}) {
      for (int column = PointTable::kFirstTargetColumn; column < PointTable::kRemarkColumn; ++column)
        QCOMPARE(cell(row, column), QString());
      QVERIFY2(cell(row, PointTable::kRemarkColumn).startsWith(reasons[row - 1]), qPrintable(cell(row, PointTable::kRemarkColumn)));
    }
    QVERIFY(running_->recorder.messages().isEmpty());

    table->selectRow(0);
    QTest::keySequence(table, QKeySequence::Copy);
    const QStringList copied = QApplication::clipboard()->text().split('\n');
    QCOMPARE(copied.size(), 3);  // the header, the row and the end of the last line
    QCOMPARE(copied[0], QString("点名\t纬度\t经度\t大地高\tX\tY\tZ\t说明"));
    QVERIFY(copied[1].startsWith("P1\t30:0:0\t120:0:0\t10\t" + cell(0, PointTable::kFirstTargetColumn) + "\t"));

    // An edited source, or other settings, take the results away.
    table->item(2, PointTable::kFirstSourceColumn)->setText("31:0:0");
    QCOMPARE(cell(2, PointTable::kRemarkColumn), QString());
    Choose("targetEllipsoid", "krass");
    QCOMPARE(cell(0, PointTable::kFirstTargetColumn), QString());
  }

  void geodeticToSpaceOnTheEquator() {
    Click("sourceLB");  // target "Space"
    Type({"0:0:0", "120:0:0", "0"});
    Convert();
    const QStringList xyz = Targets();
    QCOMPARE(xyz[2], QString("0.000000000000000"));
    QVERIFY(std::abs(xyz[0].toDouble() - (-3189068.5)) < 1e-6);
    QVERIFY(std::abs(xyz[1].toDouble() - 5523628.670817) < 1e-6);
    QCOMPARE(xyz[0].section('.', 1).size(), 15);
  }

  void geodeticToPlanAndBack() {
    Click("sourceLB");
    Click("targetPlan");
    Type({" 30:0:0 ", "120:0:0", "10"});  // blanks around a value are ignored
    Convert();
    const QStringList plan = Targets();
    QVERIFY2(std::abs(plan[0].toDouble() - MeridianArc(30)) < 1e-3, qPrintable(plan[0]));
    QVERIFY2(std::abs(plan[1].toDouble() - 500000) < 1e-6, qPrintable(plan[1]));
    QVERIFY(std::abs(plan[2].toDouble() - 10) < 1e-9);

    // On the central meridian: γ = 0, k = 1; the factors of h = 10 m.
    auto* factors = Child<QLabel>(&running_->window, "gridFactors");
    GridFactors expected;
    QVERIFY(!PointGridFactors(CoordSettings::instance(), {"30:0:0", "120:0:0", "10"}, expected));
    QVERIFY(std::abs(expected.convergenceDegrees) < 1e-12 && std::abs(expected.pointScale - 1) < 1e-15);
    QCOMPARE(factors->text(), QString("子午线收敛角 γ=%1° (%2″)  比例因子 k=%3  高程因子=%4  综合因子=%5  长度变形=%6 mm/km")
                                  .arg(expected.convergenceDegrees, 0, 'f', 9)
                                  .arg(expected.convergenceDegrees * 3600, 0, 'f', 3)
                                  .arg(expected.pointScale, 0, 'f', 10)
                                  .arg(expected.elevationFactor, 0, 'f', 10)
                                  .arg(expected.combinedFactor, 0, 'f', 10)
                                  .arg(expected.distortionMmPerKm, 0, 'f', 3));
    QVERIFY(std::abs(expected.distortionMmPerKm - (-10e6 / 6371000)) < 0.01);  // about −1.57 mm/km

    Click("sourcePlan");  // target "LB"
    Choose("targetAngleFormat", "DDD");
    Type(plan);
    Convert();
    const QStringList geodetic = Targets();
    QVERIFY(std::abs(geodetic[0].toDouble() - 30) < 1e-9);
    QVERIFY(std::abs(geodetic[1].toDouble() - 120) < 1e-9);
    QVERIFY(!factors->text().isEmpty());
    QVERIFY(running_->recorder.messages().isEmpty());

    Click("sourceLB");  // LB to Space: no Plan side, no factors
    Click("targetSpace");
    Type({"30:0:0", "120:0:0", "10"});
    Convert();
    QCOMPARE(factors->text(), QString());
  }

  // Normal heights on the target: its label says 正常高, the page shows the
  // core's conversion with the chosen model, and without a model the
  // refusal and no result.
  void normalHeightsOnTheTarget() {
    Click("sourceLB");
    Click("targetLB");
    Choose("targetAngleFormat", "DDD");
    Choose("targetHeight", "正常高");
    QCOMPARE(Child<QLabel>(&running_->window, "targetValue3Label")->text(), QString("正常高="));
    Type({"31:30:0", "120:15:0", "10"});
    Convert();
    QCOMPARE(running_->recorder.messages(), QStringList({"正常高需要高程模型或高程异常拟合,请检查."}));
    QCOMPARE(Targets(), QStringList({"", "", ""}));

    Child<QComboBox>(&running_->window, "geoidModel")->setEditText("egm96");
    Convert();
    PointTexts core;
    QVERIFY(!ConvertPoint(CoordSettings::instance(), {"31:30:0", "120:15:0", "10"}, core));
    QCOMPARE(Targets()[2], QString::fromStdString(core[2]));
    QVERIFY(Targets()[2] != "10.000000000000000");
  }

  // A pair of one type reads its values strictly and writes them again in
  // the target format: nothing is copied as typed.
  void equalTypesWriteTheValuesAgain() {
    Click("sourceLB");
    Click("targetLB");
    Choose("targetAngleFormat", "DDD");
    Type({"  30:30:0 ", "120:15:0", "12.5"});
    Convert();
    QCOMPARE(Targets(), QStringList({"30.500000000000000", "120.250000000000000", "12.500000000000000"}));
    Type({"30:30", "abc", ""});
    Convert();
    QCOMPARE(running_->recorder.messages(), QStringList({"坐标格式错误,请检查."}));
    QCOMPARE(Targets(), QStringList({"", "", ""}));
  }

  // A refused conversion leaves no result standing, an earlier one or any other.
  void refusalsEmptyTheTargetBoxes_data() {
    QTest::addColumn<QString>("setUp");
    QTest::addColumn<QStringList>("input");
    QTest::addColumn<QString>("message");
    QTest::newRow("ellipsoids differ") << "differ" << QStringList({"1", "2", "3"}) << "椭球必须相同.";
    QTest::newRow("seven parameters, same ellipsoid") << "seven" << QStringList({"30:0:0", "120:0:0", "0"}) << "椭球必须不同.";
    QTest::newRow("bad latitude to Space") << "toSpace" << QStringList({"30:30", "120:0:0", "0"}) << "坐标格式错误,请检查";
    QTest::newRow("bad latitude to Plan") << "toPlan" << QStringList({"30:30", "120:0:0", "0"}) << "坐标格式错误,请检查.";
    QTest::newRow("bad latitude, seven parameters") << "sevenDiffer" << QStringList({"30:30", "120:0:0", "0"})
                                                    << "坐标格式错误,请检查";
  }

  void refusalsEmptyTheTargetBoxes() {
    QFETCH(QString, setUp);
    QFETCH(QStringList, input);
    QFETCH(QString, message);
    if (setUp == "differ") Choose("targetEllipsoid", "krass");
    if (setUp == "seven" || setUp == "sevenDiffer") {
      Click("sourceLB");
      Click("targetLB");
      Click("sevenParams");
    }
    if (setUp == "sevenDiffer") Choose("targetEllipsoid", "krass");
    if (setUp == "toSpace") Click("sourceLB");
    if (setUp == "toPlan") {
      Click("sourceLB");
      Click("targetPlan");
    }
    SetTargets({"stale 1", "stale 2", "stale 3"});
    Type(input);
    Convert();
    QCOMPARE(running_->recorder.messages(), QStringList({message}));
    QCOMPARE(Targets(), QStringList({"", "", ""}));
  }

  void failedConversionEmptiesAResult() {
    Click("sourceLB");
    Type({"30:0:0", "120:0:0", "0"});
    Convert();
    QVERIFY(!Targets().first().isEmpty());
    Type({"30:0:0", "120:0:0", "0 m"});
    Convert();
    QCOMPARE(running_->recorder.messages().size(), 1);
    QCOMPARE(Targets(), QStringList({"", "", ""}));
  }

  // With 七参数 a geodetic point on WGS84 becomes a plane point on
  // Krassovsky: the same texts as the core gives for the same settings.
  void sevenParametersFromGeodeticToPlan() {
    CoordSettings::instance().datum = {{-15.415, 157.025, 94.74, 0.312, -0.08, 0.257, -4.6},
                                       RotationConvention::PositionVector, "WGS84", "krass"};
    Click("sourceLB");
    Click("targetPlan");
    Click("sevenParams");
    Choose("targetEllipsoid", "krass");
    const QStringList typed = {"31:30:15.1234", "119:45:30.5678", "48.25"};
    Type(typed);
    Convert();
    QVERIFY(running_->recorder.messages().isEmpty());
    PointTexts expected;
    QVERIFY(!ConvertPoint(CoordSettings::instance(), {typed[0].toStdString(), typed[1].toStdString(), typed[2].toStdString()},
                          expected));
    QCOMPARE(Targets(), QStringList({QString::fromStdString(expected[0]), QString::fromStdString(expected[1]),
                                     QString::fromStdString(expected[2])}));
    // Really through the datum: without it the plane point lies elsewhere.
    CoordSettings withoutDatum = CoordSettings::instance();
    withoutDatum.useSevenParams = false;
    withoutDatum.targetEllipsoid = "WGS84";
    PointTexts plain;
    QVERIFY(!ConvertPoint(withoutDatum, {typed[0].toStdString(), typed[1].toStdString(), typed[2].toStdString()}, plain));
    QVERIFY(std::abs(QString::fromStdString(plain[0]).toDouble() - Targets()[0].toDouble()) > 1);
  }

  // Every change of the settings the result depends on empties the target
  // boxes; a dialog closed with Cancel changes nothing and keeps them.
  void settingChangesEmptyTheTargetBoxes() {
    auto* dialogs = &running_->window;
    const std::vector<std::pair<QString, std::function<void()>>> changes = {
        {"target type", [&] { Click("targetPlan"); }},
        {"source type", [&] { Click("sourceSpace"); }},
        {"source angle format", [&] { Choose("sourceAngleFormat", "DMM"); }},
        {"target angle format", [&] { Choose("targetAngleFormat", "DDD"); }},
        {"source ellipsoid", [&] { Choose("sourceEllipsoid", "krass"); }},
        {"target ellipsoid", [&] { Choose("targetEllipsoid", "krass"); }},
        {"seven parameters", [&] { Click("sevenParams"); }},
        {"four parameters", [&] { Click("fourParams"); }},
        {"decimals", [&] { Child<QSpinBox>(dialogs, "outputDecimals")->setValue(3); }},
        {"projection dialog", [&] {
           auto ok = WhenModal("projectionDialog", [](QWidget* dialog) {
             Child<QLineEdit>(dialog, "centralMeridian")->setText("117");
             qobject_cast<QDialog*>(dialog)->accept();
           });
           dialogs->OnCommand(CTarnwellDlg::kProjectionSettings);
         }},
        {"datum dialog", [&] {
           auto ok = WhenModal("datumDialog", [](QWidget* dialog) {
             Child<QLineEdit>(dialog, "translationX")->setText("1");
             qobject_cast<QDialog*>(dialog)->accept();
           });
           dialogs->OnCommand(CTarnwellDlg::kDatumSettings);
         }},
    };
    for (const auto& [name, change] : changes) {
      running_ = std::make_unique<RunningWindow>();
      dialogs = &running_->window;
      Click("sourceLB");
      Type({"30:0:0", "120:0:0", "0"});
      Convert();
      QVERIFY2(!Targets().first().isEmpty(), qPrintable(name));
      for (const char* dialog : {"projectionDialog", "datumDialog"}) {
        auto cancel = RejectModal(dialog);
        dialogs->OnCommand(QString(dialog) == "projectionDialog" ? CTarnwellDlg::kProjectionSettings
                                                                 : CTarnwellDlg::kDatumSettings);
      }
      QVERIFY2(!Targets().first().isEmpty(), qPrintable(name));
      change();
      QVERIFY2(Targets() == QStringList({"", "", ""}), qPrintable(name));
    }
    QVERIFY(running_->recorder.messages().isEmpty());
  }

  void sevenParameterChainReachesTheTargetEllipsoid() {
    Click("sourceLB");
    Click("targetLB");
    Click("sevenParams");
    Choose("targetEllipsoid", "krass");
    Choose("sourceAngleFormat", "DDD");
    Choose("targetAngleFormat", "DDD");
    Type({"30", "120", "0"});
    Convert();
    const QStringList geodetic = Targets();
    QVERIFY(running_->recorder.messages().isEmpty());
    // With all seven parameters 0: the same earth-centred point, now on
    // Krassovsky (a = 6378245 m, 1/f = 298.3).
    double x, y, z, xt, yt, zt;
    GeodeticToCartesian(30, 120, 0, x, y, z);
    GeodeticToCartesian(geodetic[0].toDouble(), geodetic[1].toDouble(), geodetic[2].toDouble(), xt, yt, zt, 6378245, 298.3);
    QVERIFY(std::abs(xt - x) < 1e-4 && std::abs(yt - y) < 1e-4 && std::abs(zt - z) < 1e-4);
    QVERIFY(std::abs(geodetic[2].toDouble()) > 1);  // really another ellipsoid
  }

  void targetBoxesCanBeSelectedAndCopied() {
    Click("sourceLB");
    Type({"0:0:0", "120:0:0", "0"});
    Convert();
    QLineEdit* x = Box("targetValue1");
    QVERIFY(x->isReadOnly());
    x->selectAll();
    x->copy();
    QCOMPARE(QApplication::clipboard()->text(), x->text());
    QVERIFY(std::abs(x->text().toDouble() - (-3189068.5)) < 1e-6);
  }

  // A result longer than its box shows its start: the sign and the degrees.
  void resultBoxesShowTheStartOfTheirText() {
    double x, y, z;
    GeodeticToCartesian(-31.5, 121.25, 42.0, x, y, z);
    QLineEdit* latitude = Box("targetValue1");
    latitude->setMinimumWidth(0);
    latitude->setFixedWidth(latitude->fontMetrics().horizontalAdvance("-031:29:59"));
    Type({QString::number(x, 'f', 6), QString::number(y, 'f', 6), QString::number(z, 'f', 6)});
    Convert();
    QVERIFY2(latitude->text().startsWith("-031:29:59.99") || latitude->text().startsWith("-031:30:00.00"),
             qPrintable(latitude->text()));
    QCOMPARE(latitude->cursorPosition(), 0);
    // The cursor, at the first character, stands at the box's left edge.
    const QRectF cursor = latitude->inputMethodQuery(Qt::ImCursorRectangle).toRectF();
    QVERIFY2(cursor.left() < latitude->fontMetrics().horizontalAdvance("-"), qPrintable(QString::number(cursor.left())));
    for (int i = 2; i <= 3; ++i) QCOMPARE(Box(qPrintable(QString("targetValue%1").arg(i)))->cursorPosition(), 0);
  }
};

QTEST_MAIN(PointPageTest)
#include "PointPageTest.moc"

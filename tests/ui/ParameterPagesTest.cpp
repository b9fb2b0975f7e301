// The three-, seven- and four-parameter pages and the height fit: results
// stored in the settings, the fit report, the datum dialog opened
// afterwards, and the refusals.
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <cmath>

#include "UiTestSupport.h"
#include "engine/CoordSettings.h"
#include "tables/NumberText.h"
#include "engine/ConversionPlan.h"
#include "tables/ListOrder.h"
#include "tables/TableText.h"
#include "tables/TablePaths.h"
#include "estimate/FourParameters.h"
#include "ui/CDlgFParas.h"
#include "ui/CDlgHeightFit.h"
#include "ui/CDlgSParas.h"
#include "ui/CommonPointTable.h"
#include "ui/ResidualPlot.h"
#include "ui/CTarnwellDlg.h"

using namespace tarnwell;
using namespace tarnwell::test;

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kRadiansPerArcSecond = kPi / 180 / 3600;

struct Ellipsoid {
  double semiMajorAxis;      // metres
  double inverseFlattening;
};
constexpr Ellipsoid kWgs84{6378137, 298.257223563};
constexpr Ellipsoid kKrassovsky{6378245, 298.3};

struct Cartesian {
  double x, y, z;  // metres
};

// Earth-centred coordinates of a geodetic point (degrees, metres).
Cartesian ToCartesian(const Ellipsoid& ellipsoid, double latitude, double longitude, double height) {
  const double f = 1 / ellipsoid.inverseFlattening, e2 = f * (2 - f);
  const double b = latitude * kPi / 180, l = longitude * kPi / 180;
  const double n = ellipsoid.semiMajorAxis / std::sqrt(1 - e2 * std::sin(b) * std::sin(b));
  return {(n + height) * std::cos(b) * std::cos(l), (n + height) * std::cos(b) * std::sin(l),
          (n * (1 - e2) + height) * std::sin(b)};
}

// The linearised Bursa-Wolf model the estimation inverts.
Cartesian Transform(const SevenParams& p, const Cartesian& c) {
  const double m = p.scalePpm * 1e-6;
  const double rX = p.rX * kRadiansPerArcSecond, rY = p.rY * kRadiansPerArcSecond, rZ = p.rZ * kRadiansPerArcSecond;
  return {c.x + p.dX + m * c.x - rY * c.z + rZ * c.y, c.y + p.dY + m * c.y + rX * c.z - rZ * c.x,
          c.z + p.dZ + m * c.z - rX * c.y + rY * c.x};
}

QStringList DatumDialogTexts(QWidget* dialog) {
  QStringList texts;
  for (const char* name : {"translationX", "translationY", "translationZ", "rotationX", "rotationY", "rotationZ", "scalePpm"}) {
    texts << Child<QLineEdit>(dialog, name)->text();
  }
  return texts;
}

// The names in the table, row by row.
QStringList Names(const CommonPointTable* table) {
  QStringList names;
  for (int row = 0; row < table->rowCount(); ++row) names << table->item(row, CommonPointTable::kNameColumn)->text();
  return names;
}

int RowNamed(const CommonPointTable* table, const QString& name) { return Names(table).indexOf(name); }

// Residual `i` of a row (0 to 2 the components, 3 the length), unrounded.
double Residual(const CommonPointTable* table, int row, int i) {
  return table->item(row, table->firstResidualColumn() + i)->data(CommonPointTable::kValueRole).toDouble();
}

// The name of the row with the largest residual length among those ticked.
QString LargestTicked(const CommonPointTable* table) {
  QString largest;
  double size = -1;
  for (int row = 0; row < table->rowCount(); ++row) {
    if (table->item(row, CommonPointTable::kTickColumn)->checkState() != Qt::Checked) continue;
    if (Residual(table, row, 3) > size) {
      size = Residual(table, row, 3);
      largest = table->item(row, CommonPointTable::kNameColumn)->text();
    }
  }
  return largest;
}

void Untick(CommonPointTable* table, const QString& name) {
  table->item(RowNamed(table, name), CommonPointTable::kTickColumn)->setCheckState(Qt::Unchecked);
}

QStringList FormattedParameters(const SevenParams& p) {
  QStringList texts;
  for (double value : {p.dX, p.dY, p.dZ, p.rX, p.rY, p.rZ, p.scalePpm}) texts << QString::fromStdString(FormatNumber(value));
  return texts;
}

}  // namespace

class ParameterPagesTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<RunningWindow> running_;
  QTemporaryDir directory_;

  QWidget* Page(int tab) { return Child<QTabWidget>(&running_->window, "pageTabs")->widget(tab); }
  void Open(int tab) { Child<QTabWidget>(&running_->window, "pageTabs")->setCurrentIndex(tab); }
  void TypeThree(const QStringList& source, const QStringList& target) {
    const char* sourceNames[3] = {"sourceB", "sourceL", "sourceH"};
    const char* targetNames[3] = {"targetB", "targetL", "targetH"};
    for (int i = 0; i < 3; ++i) {
      Child<QLineEdit>(Page(2), sourceNames[i])->setText(source[i]);
      Child<QLineEdit>(Page(2), targetNames[i])->setText(target[i]);
    }
  }
  static FourParams PlaneTruth() { return {-2500.25, 1800.5, -42.75, 18.5}; }
  // Target heights lie 2.5 m up, tilted 1 cm per km north.
  static double TargetHeightOffset(double north) { return 2.5 + 1e-5 * (north - 3.4e6); }

  // A plane common-point file of `count` exact points G0, G1, …, the target
  // of G`spoilt` 0.5 m further north.
  QString WritePlaneCommonPoints(int count, int spoilt) {
    std::string lines;
    for (int i = 0; i < count; ++i) {
      const double north = 3.4e6 + 1500.0 * (i % 3) - 700.0 * i, east = 5e5 + 1100.0 * (i * i % 5), height = 30.0 + i;
      double targetNorth = north, targetEast = east;
      PlaneTruth().Apply(targetNorth, targetEast);
      if (i == spoilt) targetNorth += 0.5;
      lines += 'G';
      lines += std::to_string(i);
      for (double value : {north, east, height, targetNorth, targetEast, height + TargetHeightOffset(north)}) {
        lines += ',';
        lines += FormatNumber(value);
      }
      lines += "\n";
    }
    const QString path = directory_.filePath("grid.csv");
    WriteFile(path, lines);
    return path;
  }
  void ChooseEllipsoids(const QString& source, const QString& target) {
    for (auto [name, entry] : {std::pair{"sourceEllipsoid", source}, std::pair{"targetEllipsoid", target}}) {
      ChooseEntry(Child<QComboBox>(&running_->window, name), entry);
    }
  }
  void Compute(int tab) { QTest::mouseClick(Child<QPushButton>(Page(tab), "computeButton"), Qt::LeftButton); }

  // A common-point file of `count` points whose target side is the source
  // side moved with `params` onto Krassovsky, the target of point K`spoilt`
  // 0.5 m higher; B and L in decimal degrees.
  QString WriteCommonPoints(const SevenParams& params, int count = 6, int spoilt = 0) {
    CoordSettings& settings = CoordSettings::instance();
    std::string lines;
    for (int i = 0; i < count; ++i) {
      const double latitude = 30 + 0.2 * (i % 6), longitude = 120 + 0.15 * (i % 3) + 0.1 * (i / 6), height = 10 + 7 * i;
      const Cartesian moved = Transform(params, ToCartesian(kWgs84, latitude, longitude, height));
      // The target ellipsoid and angle format of the settings.
      std::optional<EllipsoidPair> pair;
      EllipsoidPairOf(settings, pair);
      const GeodeticPoint target = pair->target.ToGeodetic({moved.x, moved.y, moved.z});
      std::string b, l, h = FormatNumber(target.height + (count - i == spoilt ? 0.5 : 0));
      AppendAngle(target.latitude, settings.targetAngleFormat, b);
      AppendAngle(target.longitude, settings.targetAngleFormat, l);
      std::string line = std::string("K").append(std::to_string(count - i));
      for (const std::string& field : {FormatNumber(latitude), FormatNumber(longitude), FormatNumber(height), b, l, h}) {
        line.append(",").append(field);
      }
      lines.insert(0, line + "\n");  // the file lists the points backwards
    }
    Q_ASSERT(settings.targetEllipsoid == "krass");
    const QString path = directory_.filePath("common.csv");
    WriteFile(path, lines);
    return path;
  }

 private slots:
  void init() {
    CoordSettings settings;
    settings.targetEllipsoid = "krass";
    settings.sourceAngleFormat = AngleFormat::DDD;
    settings.targetAngleFormat = AngleFormat::DDD;
    running_ = std::make_unique<RunningWindow>(settings);
  }
  void cleanup() { running_.reset(); }

  void threeParametersAreStoredAndShown() {
    CoordSettings::instance().datum.params = {0, 0, 0, 1, 2, 3, 4};
    Open(2);
    TypeThree({" 30.5", "120.25 ", "15"}, {"30.5", "120.25", "15"});
    QStringList shown;
    auto cancelled = WhenModal("datumDialog", [](QWidget* dialog) { qobject_cast<QDialog*>(dialog)->reject(); });
    Compute(2);
    QVERIFY(cancelled->fired());
    QCOMPARE(CoordSettings::instance().datum.params, (SevenParams{0, 0, 0, 1, 2, 3, 4}));  // 取消 discards
    auto watch = WhenModal("datumDialog", [&](QWidget* dialog) {
      shown = DatumDialogTexts(dialog);
      qobject_cast<QDialog*>(dialog)->accept();
    });
    Compute(2);
    QVERIFY(watch->fired());
    QVERIFY(running_->recorder.messages().isEmpty());

    const Cartesian source = ToCartesian(kWgs84, 30.5, 120.25, 15);
    const Cartesian target = ToCartesian(kKrassovsky, 30.5, 120.25, 15);
    const DatumTransformation& datum = CoordSettings::instance().datum;
    QCOMPARE(datum.sourceEllipsoid, std::string("WGS84"));  // the pair the set was computed for
    QCOMPARE(datum.targetEllipsoid, std::string("krass"));
    const SevenParams& stored = datum.params;
    QVERIFY(std::abs(stored.dX - (target.x - source.x)) < 1e-6);
    QVERIFY(std::abs(stored.dY - (target.y - source.y)) < 1e-6);
    QVERIFY(std::abs(stored.dZ - (target.z - source.z)) < 1e-6);
    QVERIFY(std::abs(stored.dX) > 1);
    QCOMPARE(stored.rX, 0.0);
    QCOMPARE(stored.rY, 0.0);
    QCOMPARE(stored.rZ, 0.0);
    QCOMPARE(stored.scalePpm, 0.0);
    QCOMPARE(shown, FormattedParameters(stored));
    QCOMPARE(Child<QLineEdit>(Page(2), "sourceB")->text(), QString(" 30.5"));  // the boxes keep what was typed
  }

  void threeParameterRefusals_data() {
    QTest::addColumn<QString>("targetEllipsoid");
    QTest::addColumn<QString>("sourceFormat");
    QTest::addColumn<QString>("targetFormat");
    QTest::addColumn<QString>("message");
    QTest::newRow("same ellipsoid") << "WGS84" << "DDD" << "DDD" << "椭球必须不同.";
    QTest::newRow("bad source") << "krass" << "DMS" << "DMS" << "坐标格式错误,请检查";
    QTest::newRow("bad target") << "krass" << "DDD" << "DMS" << "坐标格式错误,请检查.";
  }

  void threeParameterRefusals() {
    QFETCH(QString, targetEllipsoid);
    QFETCH(QString, sourceFormat);
    QFETCH(QString, targetFormat);
    QFETCH(QString, message);
    CoordSettings& settings = CoordSettings::instance();
    settings.targetEllipsoid = targetEllipsoid.toStdString();
    ReadKeyword<AngleFormat>(kAngleFormats, sourceFormat.toStdString(), settings.sourceAngleFormat);
    ReadKeyword<AngleFormat>(kAngleFormats, targetFormat.toStdString(), settings.targetAngleFormat);
    settings.datum.params = {1, 2, 3, 4, 5, 6, 7};
    Open(2);
    TypeThree({"30.5", "120", "0"}, {"30.5", "120", "0"});
    auto anyDialog = WhenModal([](QWidget*) { return true; }, [](QWidget* modal) { qobject_cast<QDialog*>(modal)->reject(); });
    Compute(2);
    QVERIFY(!anyDialog->fired());
    QCOMPARE(running_->recorder.messages(), QStringList({message}));
    QCOMPARE(settings.datum.params, (SevenParams{1, 2, 3, 4, 5, 6, 7}));
  }

  void sevenParametersAreEstimatedReportedAndShown() {
    const SevenParams truth{-12.5, 80.25, 95.0, 1.2, -0.8, 2.5, 3.5};
    const QString path = WriteCommonPoints(truth);
    Open(3);
    auto* page = qobject_cast<CDlgSParas*>(Page(3));
    // Once through the import button, once more directly: every point twice.
    QWidget* chooserParent = nullptr;
    page->setFileChooser([&](QWidget* parent) {
      chooserParent = parent;
      return path;
    });
    QTest::mouseClick(Child<QPushButton>(page, "importButton"), Qt::LeftButton);
    QCOMPARE(chooserParent, page);
    page->ImportFile(path);
    auto* table = Child<CommonPointTable>(page, "commonPointTable");
    QCOMPARE(table->rowCount(), 12);
    QCOMPARE(Names(table).first(), QString("K1"));  // sorted by line, not in file order
    for (int i = 1; i < 12; ++i) {
      QVERIFY(!ListTextLess(page->commonPoints()[i].text, page->commonPoints()[i - 1].text));
    }
    QCOMPARE(table->item(0, CommonPointTable::kFirstCoordinateColumn)->text(), QString("31.000000000000000"));
    QCOMPARE(table->item(0, CommonPointTable::kTickColumn)->checkState(), Qt::Checked);

    const DatumTransformation before = CoordSettings::instance().datum;
    auto cancelled = WhenModal("datumDialog", [](QWidget* dialog) { qobject_cast<QDialog*>(dialog)->reject(); });
    Compute(3);
    QVERIFY(cancelled->fired());
    QCOMPARE(CoordSettings::instance().datum, before);  // 取消 discards
    QStringList shown;
    auto datum = WhenModal("datumDialog", [&](QWidget* dialog) {
      shown = DatumDialogTexts(dialog);
      qobject_cast<QDialog*>(dialog)->accept();
    });
    Compute(3);
    QVERIFY(datum->fired());
    QVERIFY(running_->recorder.messages().isEmpty());
    for (int row = 0; row < 12; ++row) QVERIFY(Residual(table, row, 3) < 1e-3);
    const QString summary = Child<QLabel>(page, "fitSummary")->text();
    QVERIFY(summary.contains("参与计算的公共点=12    多余观测数=29\n单位权中误差 σ0="));
    QVERIFY2(summary.contains("\n反向七参数 (目的→源): dX=12.5"), qPrintable(summary));  // the opposite of −12.5

    const DatumTransformation& computed = CoordSettings::instance().datum;
    QCOMPARE(computed.sourceEllipsoid, std::string("WGS84"));
    QCOMPARE(computed.targetEllipsoid, std::string("krass"));
    QCOMPARE(computed.convention, RotationConvention::CoordinateFrame);  // the model the estimate fits
    const SevenParams& stored = computed.params;
    QVERIFY2(std::abs(stored.dX - truth.dX) < 0.01 && std::abs(stored.dY - truth.dY) < 0.01 &&
                 std::abs(stored.dZ - truth.dZ) < 0.01,
             qPrintable(FormattedParameters(stored).join(' ')));
    QVERIFY(std::abs(stored.rX - truth.rX) < 1e-3 && std::abs(stored.rY - truth.rY) < 1e-3 &&
            std::abs(stored.rZ - truth.rZ) < 1e-3);
    QVERIFY(std::abs(stored.scalePpm - truth.scalePpm) < 1e-3);
    QCOMPARE(shown, FormattedParameters(stored));
  }

  // One point 0.5 m off stands out; unticked, the refit fits the others to
  // rounding and still shows its residual.
  void sevenParameterRefitWithoutAPoint() {
    const SevenParams truth{-12.5, 80.25, 95.0, 1.2, -0.8, 2.5, 3.5};
    Open(3);
    auto* page = qobject_cast<CDlgSParas*>(Page(3));
    page->ImportFile(WriteCommonPoints(truth, 12, 4));
    auto* table = Child<CommonPointTable>(page, "commonPointTable");
    auto datum = WhenModal("datumDialog", [](QWidget* dialog) { qobject_cast<QDialog*>(dialog)->accept(); });
    Compute(3);
    QCOMPARE(LargestTicked(table), QString("K4"));

    table->sortItems(table->firstResidualColumn() + 3, Qt::DescendingOrder);
    QCOMPARE(Names(table).first(), QString("K4"));
    Untick(table, "K4");
    for (const CommonPointLine& point : page->commonPoints()) QCOMPARE(point.participates, !point.text.starts_with("K4,"));
    auto again = WhenModal("datumDialog", [](QWidget* dialog) { qobject_cast<QDialog*>(dialog)->accept(); });
    Compute(3);
    QVERIFY(running_->recorder.messages().isEmpty());
    for (int row = 0; row < table->rowCount(); ++row) {
      const QString name = table->item(row, CommonPointTable::kNameColumn)->text();
      if (name == "K4") {
        QVERIFY2(std::abs(Residual(table, row, 3) - 0.5) < 1e-3, qPrintable(QString::number(Residual(table, row, 3))));
      } else {
        QVERIFY2(Residual(table, row, 3) < 1e-4, qPrintable(name));
      }
    }
    QVERIFY(Child<QLabel>(page, "fitSummary")->text().contains("参与计算的公共点=11    多余观测数=26"));
  }

  // A set computed for WGS84 → krass converts krass → WGS84 too, with the
  // exact inverse, and keeps its pair through an OK of the datum dialog.
  void computedSetConvertsTheOtherWayRound() {
    const SevenParams truth{-12.5, 80.25, 95.0, 1.2, -0.8, 2.5, 3.5};
    Open(3);
    auto* page = qobject_cast<CDlgSParas*>(Page(3));
    page->ImportFile(WriteCommonPoints(truth));
    auto datum = WhenModal("datumDialog", [](QWidget* dialog) { qobject_cast<QDialog*>(dialog)->accept(); });
    Compute(3);
    QVERIFY(datum->fired());

    // Point K1 on krass, to WGS84: the source side of the file again.
    Open(0);
    ChooseEllipsoids("krass", "WGS84");
    Child<QCheckBox>(&running_->window, "sevenParams")->click();
    auto reopened = WhenModal("datumDialog", [](QWidget* dialog) { qobject_cast<QDialog*>(dialog)->accept(); });
    running_->window.OnCommand(CTarnwellDlg::kDatumSettings);
    QVERIFY(reopened->fired());
    QCOMPARE(CoordSettings::instance().datum.sourceEllipsoid, std::string("WGS84"));
    const std::vector<std::string> k1 = SplitAtChar(page->commonPoints().front().text, ',');
    auto* pointPage = running_->window.findChild<QWidget*>("pointPage");
    for (int i = 0; i < 3; ++i)
      Child<QLineEdit>(pointPage, QString("sourceValue%1").arg(i + 1))->setText(QString::fromStdString(k1[4 + i]));
    QTest::mouseClick(Child<QPushButton>(pointPage, "convertButton"), Qt::LeftButton);
    QVERIFY(running_->recorder.messages().isEmpty());
    for (int i = 0; i < 3; ++i) {
      const double converted = Child<QLineEdit>(pointPage, QString("targetValue%1").arg(i + 1))->text().toDouble();
      const double tolerance = i < 2 ? 1e-7 : 1e-3;  // degrees (about a centimetre), metres
      QVERIFY2(std::abs(converted - std::stod(k1[1 + i])) < tolerance, qPrintable(QString::number(converted, 'f', 9)));
    }
  }

  // 删除 takes the selected points out, whatever order the table shows;
  // 清空 takes them all.
  void commonPointsAreDeletedAndCleared() {
    Open(3);
    auto* page = qobject_cast<CDlgSParas*>(Page(3));
    page->ImportFile(WriteCommonPoints(SevenParams{}, 6));
    auto* table = Child<CommonPointTable>(page, "commonPointTable");
    table->sortItems(CommonPointTable::kNameColumn, Qt::DescendingOrder);
    QCOMPARE(Names(table), QStringList({"K6", "K5", "K4", "K3", "K2", "K1"}));
    table->selectRow(1);
    QTest::mouseClick(Child<QPushButton>(page, "deleteButton"), Qt::LeftButton);
    QCOMPARE(page->commonPoints().size(), std::size_t(5));
    QCOMPARE(Names(table), QStringList({"K6", "K4", "K3", "K2", "K1"}));
    for (const CommonPointLine& point : page->commonPoints()) QVERIFY(!point.text.starts_with("K5,"));

    table->clearSelection();
    QTest::mouseClick(Child<QPushButton>(page, "deleteButton"), Qt::LeftButton);  // nothing selected
    QCOMPARE(page->commonPoints().size(), std::size_t(5));
    QTest::mouseClick(Child<QPushButton>(page, "clearButton"), Qt::LeftButton);
    QCOMPARE(page->commonPoints().size(), std::size_t(0));
    QCOMPARE(table->rowCount(), 0);
    QVERIFY(running_->recorder.messages().isEmpty());
  }

  void sevenParameterRefusals() {
    Open(3);
    auto* page = qobject_cast<CDlgSParas*>(Page(3));
    page->setFileChooser([](QWidget*) { return QString(); });  // the file choice cancelled
    QTest::mouseClick(Child<QPushButton>(page, "importButton"), Qt::LeftButton);
    QVERIFY(running_->recorder.messages().isEmpty());
    auto anyDialog = WhenModal([](QWidget*) { return true; }, [](QWidget* modal) { qobject_cast<QDialog*>(modal)->reject(); });

    Compute(3);  // nothing imported
    QCOMPARE(running_->recorder.messages(), QStringList({"没有公共点,请先导入文件。"}));

    running_->recorder.clear();
    page->ImportFile(directory_.filePath("missing.csv"));
    QCOMPARE(running_->recorder.messages(), QStringList({"坐标文件无法读取。"}));
    QCOMPARE(page->commonPoints().size(), std::size_t(0));

    running_->recorder.clear();
    // A bad line keeps its whole file out, so it cannot spoil later computations.
    CoordSettings::instance().sourceAngleFormat = CoordSettings::instance().targetAngleFormat = AngleFormat::DDD;
    WriteFile(directory_.filePath("six.csv"), "K0,30,120,0,30,120,0\nK1,30,120,0,30,120\n");
    page->ImportFile(directory_.filePath("six.csv"));
    QCOMPARE(running_->recorder.messages(), QStringList({"文件的格式不正确，请检查。\n第 2 行: K1,30,120,0,30,120"}));
    QCOMPARE(page->commonPoints().size(), std::size_t(0));
    running_->recorder.clear();
    Compute(3);
    QCOMPARE(running_->recorder.messages(), QStringList({"没有公共点,请先导入文件。"}));

    running_->recorder.clear();
    CoordSettings::instance().targetEllipsoid = "WGS84";
    Compute(3);
    QCOMPARE(running_->recorder.messages(), QStringList({"椭球必须不同."}));
    QVERIFY(!anyDialog->fired());
    QCOMPARE(CoordSettings::instance().datum, DatumTransformation{});
  }

  // The spoilt point is flagged in red and in the plot; Ctrl+C copies the
  // selected rows under the header (all without a selection); the report is
  // written in each format, and not before a computation.
  void residualsAreCopiedPlottedAndReported() {
    Open(4);
    auto* page = qobject_cast<CDlgFParas*>(Page(4));
    page->ImportFile(WritePlaneCommonPoints(8, 3));
    running_->recorder.clear();
    QVERIFY(!page->ExportReport(directory_.filePath("early.html")));
    QCOMPARE(running_->recorder.messages(), QStringList({"请先计算, 再导出报告。"}));
    running_->recorder.clear();
    Compute(4);
    auto* table = Child<CommonPointTable>(page, "commonPointTable");
    const int spoilt = RowNamed(table, "G3");
    auto* plot = Child<ResidualPlot>(page, "residualPlot");
    QCOMPARE(plot->points().size(), std::size_t(8));
    QVERIFY(plot->points()[3].flagged);
    for (int row = 0; row < table->rowCount(); ++row) {
      const ResidualPlot::Point& point = plot->points()[table->PointAt(row)];
      QCOMPARE(table->item(row, table->firstResidualColumn())->foreground() == QBrush(Qt::red), point.flagged);
      // Flagged by the 2 cm of the plane: the residuals in the plot are the table's.
      QCOMPARE(point.flagged, std::hypot(Residual(table, row, 0), Residual(table, row, 1)) > 0.02 ||
                                  std::abs(Residual(table, row, 2)) > 0.03);
    }
    QVERIFY(plot->ScaleBarMetres() > 0);

    QStringList all = table->CopyText().split('\n');
    QCOMPARE(all.size(), 10);  // header, 8 rows, empty tail
    QVERIFY(all[0].startsWith("参与计算\t点名\tx\ty\th\tx2\ty2\th2\tvx(米)"));
    table->selectRow(spoilt);
    table->setFocus();
    QTest::keySequence(table, QKeySequence::Copy);
    const QStringList copied = QGuiApplication::clipboard()->text().split('\n');
    QCOMPARE(copied.size(), 3);
    QVERIFY(copied[1].startsWith("是\tG3\t"));
    QCOMPARE(copied[1].split('\t').size(), 12);

    for (const char* name : {"report.html", "report.pdf", "report.csv"}) {
      QVERIFY(page->ExportReport(directory_.filePath(name)));
    }
    QFile html(directory_.filePath("report.html")), pdf(directory_.filePath("report.pdf"));
    QVERIFY(html.open(QIODevice::ReadOnly) && pdf.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(html.readAll());
    QVERIFY(text.contains("<img src=\"data:image/png;base64,"));
    QVERIFY(text.contains("<tr class=\"flag\"><td>G3</td>"));
    QVERIFY(pdf.read(5) == "%PDF-");
    QVERIFY(!page->ExportReport(directory_.filePath("report.txt")));
    QVERIFY(running_->recorder.messages().last().startsWith("报告文件须以 .html、.pdf 或 .csv 结尾"));
  }

  void fourParametersAreEstimatedStoredAndRefitted() {
    Open(4);
    auto* page = qobject_cast<CDlgFParas*>(Page(4));
    page->setFileChooser([this](QWidget*) { return WritePlaneCommonPoints(10, 6); });
    QTest::mouseClick(Child<QPushButton>(page, "importButton"), Qt::LeftButton);
    auto* table = Child<CommonPointTable>(page, "commonPointTable");
    QCOMPARE(table->rowCount(), 10);
    QCOMPARE(Names(table).first(), QString("G0"));  // the file's order
    Child<QComboBox>(page, "heightModel")->setCurrentIndex(1);  // 平面
    QCOMPARE(Child<QComboBox>(page, "heightModel")->currentText(), QString("平面"));
    auto anyDialog = WhenModal([](QWidget*) { return true; }, [](QWidget* modal) { qobject_cast<QDialog*>(modal)->reject(); });
    Compute(4);
    QCOMPARE(LargestTicked(table), QString("G6"));

    // Sorted by the plane residual, largest first; untick the first.
    table->sortItems(table->firstResidualColumn() + 3, Qt::DescendingOrder);
    QCOMPARE(Names(table).first(), QString("G6"));
    Untick(table, "G6");
    QVERIFY(!page->commonPoints()[6].participates);
    Compute(4);
    QVERIFY(running_->recorder.messages().isEmpty());
    QVERIFY(!anyDialog->fired());
    for (int row = 0; row < table->rowCount(); ++row) {
      const QString name = table->item(row, CommonPointTable::kNameColumn)->text();
      const double expected = name == "G6" ? 0.5 : 0;
      QVERIFY2(std::abs(Residual(table, row, 3) - expected) < 1e-6, qPrintable(name));
      QVERIFY2(std::abs(Residual(table, row, 2)) < 1e-6, qPrintable(name));  // heights fit the tilted plane
    }
    QVERIFY(std::abs(Residual(table, RowNamed(table, "G6"), 0) - 0.5) < 1e-6);  // moved north
    QVERIFY(std::abs(Residual(table, RowNamed(table, "G6"), 1)) < 1e-6);
    const QString summary = Child<QLabel>(page, "fitSummary")->text();
    QVERIFY2(summary.contains("多余观测数=14\n") && summary.contains("参与计算的公共点=9"), qPrintable(summary));

    const CoordSettings& settings = CoordSettings::instance();
    QVERIFY(std::abs(settings.fourParams.dNorth - PlaneTruth().dNorth) < 1e-5);
    QVERIFY(std::abs(settings.fourParams.dEast - PlaneTruth().dEast) < 1e-5);
    QVERIFY(std::abs(settings.fourParams.rotationArcSeconds - PlaneTruth().rotationArcSeconds) < 1e-7);
    QVERIFY(std::abs(settings.fourParams.scalePpm - PlaneTruth().scalePpm) < 1e-6);
    QCOMPARE(settings.heightFit.model, HeightModel::Plane);
    QVERIFY(std::abs(settings.heightFit.Offset(3.41e6, 5.1e5) - TargetHeightOffset(3.41e6)) < 1e-6);
    QVERIFY(!settings.useFourParams);  // the switch is the user's
  }

  void fourParameterRefusals() {
    Open(4);
    auto* page = qobject_cast<CDlgFParas*>(Page(4));
    Compute(4);
    QCOMPARE(running_->recorder.messages(), QStringList({"没有公共点,请先导入文件。"}));

    running_->recorder.clear();
    WriteFile(directory_.filePath("grid.csv"), "A,1,2,3,4,5,6\n\nB,1,2,3,4,5,6\nC,1,2,3,4,5\n");
    page->ImportFile(directory_.filePath("grid.csv"));
    QCOMPARE(running_->recorder.messages(), QStringList({"文件的格式不正确，请检查。\n第 4 行: C,1,2,3,4,5"}));
    QCOMPARE(page->commonPoints().size(), std::size_t(0));

    running_->recorder.clear();
    page->ImportFile(directory_.filePath("missing.csv"));
    QCOMPARE(running_->recorder.messages(), QStringList({"坐标文件无法读取。"}));

    // Two points cannot carry a quadratic height surface: nothing is stored.
    running_->recorder.clear();
    WriteFile(directory_.filePath("two.csv"), "A,3400000,500000,3,3400010,500000,5\nB,3401000,500000,3,3401010,500000,5\n");
    page->ImportFile(directory_.filePath("two.csv"));
    Child<QComboBox>(page, "heightModel")->setCurrentIndex(2);
    Compute(4);
    QCOMPARE(running_->recorder.messages(), QStringList({"公共点不足或分布不当,无法计算高程拟合。"}));
    QCOMPARE(CoordSettings::instance().fourParams, FourParams{});
  }

  // The estimate, switched on, applies to the single point from plane to plane.
  void fourParametersApplyToTheSinglePoint() {
    Open(4);
    auto* page = qobject_cast<CDlgFParas*>(Page(4));
    page->ImportFile(WritePlaneCommonPoints(8, -1));
    Child<QComboBox>(page, "heightModel")->setCurrentIndex(1);  // 平面
    Compute(4);
    QVERIFY(running_->recorder.messages().isEmpty());

    Open(0);
    CoordSettings::instance().targetEllipsoid = "WGS84";  // no datum change
    Child<QRadioButton>(&running_->window, "sourcePlan")->click();
    Child<QCheckBox>(&running_->window, "fourParams")->click();
    Child<QRadioButton>(&running_->window, "targetPlan")->click();
    QWidget* pointPage = running_->window.findChild<QWidget*>("pointPage");
    const char* sources[3] = {"sourceValue1", "sourceValue2", "sourceValue3"};
    const QString typed[3] = {"3405000", "495000", "40"};
    for (int i = 0; i < 3; ++i) Child<QLineEdit>(pointPage, sources[i])->setText(typed[i]);
    QTest::mouseClick(Child<QPushButton>(pointPage, "convertButton"), Qt::LeftButton);
    QVERIFY(running_->recorder.messages().isEmpty());

    double north = 3405000, east = 495000;
    PlaneTruth().Apply(north, east);
    QVERIFY(std::abs(Child<QLineEdit>(pointPage, "targetValue1")->text().toDouble() - north) < 1e-5);
    QVERIFY(std::abs(Child<QLineEdit>(pointPage, "targetValue2")->text().toDouble() - east) < 1e-5);
    QVERIFY(std::abs(Child<QLineEdit>(pointPage, "targetValue3")->text().toDouble() - (40 + TargetHeightOffset(3405000))) < 1e-6);
  }

  // Levelled points around (31.5°, 120.25°) whose anomalies r = h − H lie on
  // a plane (no model), H3's levelled height 5 cm low; B and L in degrees.
  static double AnomalyPlane(double latitude, double longitude) {
    constexpr double kMetresPerDegree = 6378137 * kPi / 180;
    return 0.35 + 2e-6 * kMetresPerDegree * (latitude - 31.5) -
           3e-6 * kMetresPerDegree * (longitude - 120.25) * std::cos(31.5 * kPi / 180);
  }
  QString WriteLevelledPoints() {
    const double offsets[][2] = {{-0.1, -0.1}, {-0.1, 0.08}, {0.1, -0.07}, {0.12, 0.1},
                                 {0, 0.05},    {0.03, -0.05}, {-0.05, 0}, {0.06, 0.02}};
    std::string lines;
    int index = 0;
    for (const auto& [dB, dL] : offsets) {
      const double latitude = 31.5 + dB, longitude = 120.25 + dL;
      const double normal = 40 - AnomalyPlane(latitude, longitude) - (index == 3 ? 0.05 : 0);
      lines += 'H';
      lines += std::to_string(index++);
      for (double value : {latitude, longitude, 40.0, normal}) lines.append(",").append(FormatNumber(value));
      lines += "\n";
    }
    const QString path = directory_.filePath("levelled.csv");
    WriteFile(path, lines);
    return path;
  }

  // The page is the last; the spoilt point stands out, and once unticked the
  // plane is recovered exactly and reaches the settings.
  void heightFitIsEstimatedStoredAndRefitted() {
    CoordSettings::instance().sourceAngleFormat = AngleFormat::DDD;
    auto* tabs = Child<QTabWidget>(&running_->window, "pageTabs");
    QCOMPARE(tabs->tabText(tabs->count() - 1), QString("高程拟合"));
    auto* page = qobject_cast<CDlgHeightFit*>(Page(tabs->count() - 1));
    QVERIFY(page);
    Open(tabs->count() - 1);
    QCOMPARE(Child<QLabel>(page, "geoidModelText")->text(), QString("高程模型: 无 (r = h − H)"));
    page->setFileChooser([this](QWidget*) { return WriteLevelledPoints(); });
    QTest::mouseClick(Child<QPushButton>(page, "importButton"), Qt::LeftButton);
    auto* table = Child<CommonPointTable>(page, "commonPointTable");
    QVERIFY(table->CopyText().startsWith("参与计算\t点名\tB\tL\t大地高 h\t正常高 H\t高程异常 r(米)\t残差(米)\n"));
    Child<QComboBox>(page, "surface")->setCurrentIndex(2);  // 平面
    Compute(tabs->count() - 1);
    QVERIFY(running_->recorder.messages().isEmpty());
    const QString summary = Child<QLabel>(page, "fitSummary")->text();
    QVERIFY2(summary.contains("最大=0.0") && summary.contains("(H3)") && summary.contains("多余观测数=5") &&
                 summary.contains("疑似粗差: H3"),
             qPrintable(summary));
    QVERIFY(page->ExportReport(directory_.filePath("height.csv")));
    QVERIFY(QString::fromStdString(ReadFile(directory_.filePath("height.csv"))).contains("高程拟合计算报告"));

    const CoordSettings& settings = CoordSettings::instance();
    const AnomalyFit blundered = settings.anomalyFit;
    QVERIFY(settings.useAnomalyFit);
    Untick(table, "H3");
    Compute(tabs->count() - 1);
    QVERIFY(settings.anomalyFit != blundered);
    QCOMPARE(settings.anomalyFit.surface.model, HeightModel::Plane);
    QVERIFY(std::abs(settings.anomalyFit.Anomaly(31.55, 120.33) - AnomalyPlane(31.55, 120.33)) < 1e-6);
    const int spoilt = RowNamed(table, "H3");
    QVERIFY(std::abs(Residual(table, spoilt, 1) - 0.05) < 1e-6);  // r minus the plane
    QVERIFY(std::abs(Residual(table, RowNamed(table, "H0"), 1)) < 1e-6);
    QVERIFY(table->item(spoilt, table->firstResidualColumn())->foreground() == QBrush(Qt::red));
    QVERIFY(running_->window.HasUnsavedWork());
  }
};

QTEST_MAIN(ParameterPagesTest)
#include "ParameterPagesTest.moc"

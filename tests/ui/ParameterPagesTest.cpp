// The three- and seven-parameter pages: results stored in the settings, the
// fit report, the datum dialog opened afterwards, and the refusals.
#include <QClipboard>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
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
#include "tables/TablePaths.h"
#include "ui/CDlgSParas.h"
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
  void Compute(int tab) { QTest::mouseClick(Child<QPushButton>(Page(tab), "computeButton"), Qt::LeftButton); }

  // A common-point file of six points whose target side is the source side
  // moved with `params` onto Krassovsky; B and L in decimal degrees.
  QString WriteCommonPoints(const SevenParams& params) {
    CoordSettings& settings = CoordSettings::instance();
    std::string lines;
    for (int i = 0; i < 6; ++i) {
      const double latitude = 30 + 0.2 * i, longitude = 120 + 0.15 * (i % 3), height = 10 + 7 * i;
      const Cartesian moved = Transform(params, ToCartesian(kWgs84, latitude, longitude, height));
      // The target ellipsoid and angle format of the settings.
      const auto datumPair = ConversionPlan::ForDatumPair(settings);
      const GeodeticPoint target =
          datumPair->ellipsoid(ConversionSide::Target).ToGeodetic({moved.x, moved.y, moved.z});
      std::string b, l, h = FormatNumber(target.height);
      AppendAngle(target.latitude, datumPair->angleFormat(ConversionSide::Target), b);
      AppendAngle(target.longitude, datumPair->angleFormat(ConversionSide::Target), l);
      std::string line = std::string("K").append(std::to_string(6 - i));
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
    settings.sourceAngleFormat = "DDD";
    settings.targetAngleFormat = "DDD";
    running_ = std::make_unique<RunningWindow>(settings);
  }
  void cleanup() { running_.reset(); }

  void threeParametersAreStoredAndShown() {
    CoordSettings::instance().sevenParams = {0, 0, 0, 1, 2, 3, 4};
    Open(2);
    TypeThree({" 30.5", "120.25 ", "15"}, {"30.5", "120.25", "15"});
    QStringList shown;
    auto watch = WhenModal("datumDialog", [&](QWidget* dialog) {
      shown = DatumDialogTexts(dialog);
      qobject_cast<QDialog*>(dialog)->reject();  // Cancel keeps what was stored
    });
    Compute(2);
    QVERIFY(watch->fired());
    QVERIFY(running_->recorder.messages().isEmpty());

    const Cartesian source = ToCartesian(kWgs84, 30.5, 120.25, 15);
    const Cartesian target = ToCartesian(kKrassovsky, 30.5, 120.25, 15);
    const SevenParams& stored = CoordSettings::instance().sevenParams;
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
    settings.sourceAngleFormat = sourceFormat.toStdString();
    settings.targetAngleFormat = targetFormat.toStdString();
    settings.sevenParams = {1, 2, 3, 4, 5, 6, 7};
    Open(2);
    TypeThree({"30.5", "120", "0"}, {"30.5", "120", "0"});
    auto anyDialog = WhenModal([](QWidget*) { return true; }, [](QWidget* modal) { qobject_cast<QDialog*>(modal)->reject(); });
    Compute(2);
    QVERIFY(!anyDialog->fired());
    QCOMPARE(running_->recorder.messages(), QStringList({message}));
    QCOMPARE(settings.sevenParams, (SevenParams{1, 2, 3, 4, 5, 6, 7}));
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
    auto* list = Child<QListWidget>(page, "commonPointList");
    QCOMPARE(list->count(), 12);
    QVERIFY(list->item(0)->text().startsWith("K1,"));  // sorted, not in file order
    for (int i = 1; i < list->count(); ++i) {
      QVERIFY(!ListTextLess(list->item(i)->text().toStdString(), list->item(i - 1)->text().toStdString()));
    }

    QStringList order;
    int reportRows = 0;
    double largestResidual = 1;
    QString copied;
    auto report = WhenModal("fitReportDialog", [&](QWidget* dialog) {
      order << "report";
      auto* table = Child<QTableWidget>(dialog, "residualTable");
      reportRows = table->rowCount();
      largestResidual = 0;
      for (int row = 0; row < table->rowCount(); ++row) largestResidual = std::max(largestResidual, table->item(row, 4)->text().toDouble());
      QTest::mouseClick(Child<QPushButton>(dialog, "copyButton"), Qt::LeftButton);
      copied = QApplication::clipboard()->text();
      qobject_cast<QDialog*>(dialog)->accept();
    });
    QStringList shown;
    auto datum = WhenModal("datumDialog", [&](QWidget* dialog) {
      order << "datum";
      shown = DatumDialogTexts(dialog);
      qobject_cast<QDialog*>(dialog)->reject();
    });
    Compute(3);
    QVERIFY(running_->recorder.messages().isEmpty());
    QCOMPARE(order, QStringList({"report", "datum"}));
    QCOMPARE(reportRows, 12);
    QVERIFY(largestResidual < 1e-3);
    QVERIFY(copied.startsWith("点名\tvX(米)\tvY(米)\tvZ(米)\t三维残差(米)\nK1\t"));

    const SevenParams& stored = CoordSettings::instance().sevenParams;
    QVERIFY2(std::abs(stored.dX - truth.dX) < 0.01 && std::abs(stored.dY - truth.dY) < 0.01 &&
                 std::abs(stored.dZ - truth.dZ) < 0.01,
             qPrintable(FormattedParameters(stored).join(' ')));
    QVERIFY(std::abs(stored.rX - truth.rX) < 1e-3 && std::abs(stored.rY - truth.rY) < 1e-3 &&
            std::abs(stored.rZ - truth.rZ) < 1e-3);
    QVERIFY(std::abs(stored.scalePpm - truth.scalePpm) < 1e-3);
    QCOMPARE(shown, FormattedParameters(stored));
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
    CoordSettings::instance().sourceAngleFormat = CoordSettings::instance().targetAngleFormat = "DDD";
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
    QCOMPARE(CoordSettings::instance().sevenParams, SevenParams{});
  }
};

QTEST_MAIN(ParameterPagesTest)
#include "ParameterPagesTest.moc"

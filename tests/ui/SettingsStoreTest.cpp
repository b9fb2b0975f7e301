// The remembered settings in their file: every field round-trips, a first
// start and a damaged file give the defaults, and the user's own store lies
// where the application's names put it. Every store here is a file in a
// temporary folder; the user's real settings are never touched.
#include <QCoreApplication>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include "UiTestSupport.h"
#include "engine/CoordSettings.h"
#include "tables/EllipsoidCatalogue.h"
#include "tables/TablePaths.h"
#include "ui/CTarnwellApp.h"
#include "ui/SettingsStore.h"

using namespace tarnwell;
using namespace tarnwell::test;

Q_DECLARE_METATYPE(tarnwell::CoordSettings)

namespace {

// A record in which every field differs from its default.
CoordSettings Chosen() {
  CoordSettings settings;
  settings.sourceType = "Plan";
  settings.targetType = "LB";
  settings.sourceAngleFormat = "DDD";
  settings.targetAngleFormat = "DMM";
  settings.sourceEllipsoid = "krass";
  settings.targetEllipsoid = "CGCS2000";
  settings.useSevenParams = true;
  settings.projection = {"lcc", "Lambert Conformal Conic, 两条标准纬线", "105.5", "1", "0", "0", "23", "25", "47",
                         " 50 ", "NULL", 70};
  settings.fileFormat = "n,x,y,h";
  settings.sevenParams = {-12.345678901234567, 0.1 + 0.2, 1e-9, 0.000123456789, -1.5, 2.0 / 3.0, -3.25e-3};
  settings.projection.zoneWidth = 3;
  settings.projection.zone = 39;
  settings.projection.zonePrefix = true;
  settings.projection.autoZone = true;
  settings.projection.south = true;
  settings.useFourParams = true;
  settings.fourParams = {-3250000.125, 0.1 + 0.7, -42.000000000000007, 18.5};
  settings.heightFit.model = HeightModel::Quadratic;
  settings.heightFit.centroid = {3456789.0123456789, 39512345.678};
  settings.heightFit.coefficients = {-2.5, 1e-5, -3.0000000000000004e-6, 1.0 / 3e12, -7e-13, 5e-324};
  return settings;
}

CoordSettings With(const std::function<void(CoordSettings&)>& change) {
  CoordSettings settings;
  change(settings);
  return settings;
}

// The seven datum parameters written as numbers; `dY` stands as given.
QByteArray DatumSection(const QByteArray& dY) {
  return "[datum]\ndX=1.5\ndY=" + dY + "\ndZ=3\nrX=0.1\nrY=0.2\nrZ=0.3\nscalePpm=-4\n";
}

// The four parameters written as numbers; `scalePpm` stands as given.
QByteArray LocalSection(const QByteArray& scalePpm) {
  return "[local]\nuseFourParams=true\ndNorth=-2500.25\ndEast=1800.5\nrotationArcSeconds=-42.75\nscalePpm=" + scalePpm +
         "\n";
}

// The height fit; `model` stands as given.
QByteArray HeightFitSection(const QByteArray& model) {
  return "[heightFit]\nmodel=" + model + "\ncentroidNorth=3300000\ncentroidEast=500000\na0=-2.5\na1=1e-5\na2=-3e-6\n"
         "a3=0\na4=0\na5=0\n";
}

QByteArray ProjectionSection(const QByteArray& listIndex) {
  return "[projection]\nprojKey=utm\ndescription=Universal Transverse Mercator\ncentralMeridian=NULL\n"
         "scaleFactor=NULL\nfalseNorthing=NULL\nfalseEasting=NULL\noriginLatitude=NULL\nlatitude1=NULL\n"
         "latitude2=NULL\nsurfaceHeight=NULL\nauxEllipsoid=NULL\nlistIndex=" +
         listIndex + "\n";
}

}  // namespace

class SettingsStoreTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<QTemporaryDir> folder_;
  QString FilePath() const { return folder_->filePath("tarnwell.conf"); }

 private slots:
  void initTestCase() {
    // Whatever might still reach the default location goes to a test folder.
    QStandardPaths::setTestModeEnabled(true);
    SetTableDirectory("");
    QVERIFY(LoadEllipsoidCatalogue(GetTablePath("ellips.csv")));
  }

  void init() { folder_ = std::make_unique<QTemporaryDir>(); }
  void cleanup() { folder_.reset(); }

  void everyFieldRoundTrips() {
    {
      SettingsStore store(FilePath());
      store.SaveCoordSettings(Chosen());
      store.setCurrentPage(3);
      store.setWindowGeometry(QByteArray("\x01\x02\x00\xff", 4));
      store.setLastFolder(folder_->path() + "/");
    }
    SettingsStore store(FilePath());
    QVERIFY(store.RemembersTargetType());
    const CoordSettings loaded = store.LoadCoordSettings();
    QCOMPARE(loaded.projection, Chosen().projection);
    QCOMPARE(loaded.sevenParams, Chosen().sevenParams);  // bit for bit
    QVERIFY(loaded.fourParams == Chosen().fourParams);
    QVERIFY(loaded.heightFit == Chosen().heightFit);
    QVERIFY(loaded == Chosen());
    QCOMPARE(store.currentPage(4), 3);
    QCOMPARE(store.windowGeometry(), QByteArray("\x01\x02\x00\xff", 4));
    QCOMPARE(store.lastFolder(), folder_->path());
  }

  void firstStartGivesTheDefaults() {
    SettingsStore store(FilePath());
    QVERIFY(!store.RemembersTargetType());
    QVERIFY(store.LoadCoordSettings() == CoordSettings{});
    QCOMPARE(store.currentPage(4), 0);
    QVERIFY(store.windowGeometry().isEmpty());
    QVERIFY(store.lastFolder().isEmpty());
  }

  void damagedValuesGiveTheirDefaults_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<CoordSettings>("expected");
    QTest::newRow("type keyword in other case")
        << QByteArray("[conversion]\nsourceType=space\ntargetType=Plan\n")
        << With([](CoordSettings& s) { s.targetType = "Plan"; });
    QTest::newRow("angle format a number")
        << QByteArray("[conversion]\nsourceAngleFormat=42\ntargetAngleFormat=DMM\n")
        << With([](CoordSettings& s) { s.targetAngleFormat = "DMM"; });
    QTest::newRow("a list where a keyword belongs") << QByteArray("[conversion]\nsourceType=LB, Plan\n") << CoordSettings{};
    QTest::newRow("bytes where a keyword belongs") << QByteArray("[conversion]\nsourceType=@ByteArray(LB)\n") << CoordSettings{};
    QTest::newRow("a stored point where a keyword belongs")
        << QByteArray("[conversion]\ntargetType=@Point(1 2)\n") << CoordSettings{};
    QTest::newRow("switch neither true nor false") << QByteArray("[conversion]\nuseSevenParams=1\n") << CoordSettings{};
    QTest::newRow("switch on") << QByteArray("[conversion]\nuseSevenParams=true\n")
                               << With([](CoordSettings& s) { s.useSevenParams = true; });
    QTest::newRow("ellipsoid not in the catalogue")
        << QByteArray("[conversion]\nsourceEllipsoid=NoSuchEllipsoid\ntargetEllipsoid=krass\n")
        << With([](CoordSettings& s) { s.targetEllipsoid = "krass"; });
    QTest::newRow("ellipsoid name in other case") << QByteArray("[conversion]\nsourceEllipsoid=wgs84\n") << CoordSettings{};
    QTest::newRow("file format unknown") << QByteArray("[file]\nformat=n;x;y;h\n") << CoordSettings{};
    QTest::newRow("file format") << QByteArray("[file]\nformat=\"n,X,Y,Z\"\n")
                                 << With([](CoordSettings& s) { s.fileFormat = "n,X,Y,Z"; });
    QTest::newRow("datum model unknown") << QByteArray("[datum]\nmodel=Molodensky\n") << CoordSettings{};
    QTest::newRow("seven parameters") << DatumSection("-2.5e-1") << With([](CoordSettings& s) {
      s.sevenParams = {1.5, -0.25, 3, 0.1, 0.2, 0.3, -4};
    });
    QTest::newRow("one parameter not wholly a number") << DatumSection("12abc") << CoordSettings{};
    QTest::newRow("one parameter with a decimal comma") << DatumSection("\"1,5\"") << CoordSettings{};
    QTest::newRow("one parameter empty") << DatumSection("") << CoordSettings{};
    QTest::newRow("one parameter infinite") << DatumSection("inf") << CoordSettings{};
    QTest::newRow("one parameter not a number") << DatumSection("nan") << CoordSettings{};
    QTest::newRow("one parameter missing") << QByteArray("[datum]\ndX=1\n") << CoordSettings{};
    QTest::newRow("projection") << ProjectionSection("131") << With([](CoordSettings& s) {
      s.projection = {"utm", "Universal Transverse Mercator", "NULL", "NULL", "NULL", "NULL",
                      "NULL", "NULL", "NULL", "NULL", "NULL", 131};
    });
    QTest::newRow("projection with zones") << ProjectionSection("131") + "zoneWidth=6\nzone=50\nzonePrefix=true\n"
                                                  "autoZone=false\nsouth=true\n"
                                           << With([](CoordSettings& s) {
                                                s.projection = {"utm", "Universal Transverse Mercator", "NULL", "NULL",
                                                                "NULL", "NULL", "NULL", "NULL", "NULL", "NULL", "NULL",
                                                                131, 6, 50, true, false, true};
                                              });
    QTest::newRow("projection with some of the zone fields")
        << ProjectionSection("131") + "zoneWidth=6\nzone=50\n" << CoordSettings{};
    QTest::newRow("projection with a zone width of 4")
        << ProjectionSection("131") + "zoneWidth=4\nzone=50\nzonePrefix=true\nautoZone=false\nsouth=true\n"
        << CoordSettings{};
    QTest::newRow("projection with a zone beyond the last")
        << ProjectionSection("131") + "zoneWidth=3\nzone=121\nzonePrefix=true\nautoZone=false\nsouth=true\n"
        << CoordSettings{};
    QTest::newRow("projection with a zone switch in other words")
        << ProjectionSection("131") + "zoneWidth=3\nzone=40\nzonePrefix=yes\nautoZone=false\nsouth=false\n"
        << CoordSettings{};
    QTest::newRow("four parameters") << LocalSection("18.5") << With([](CoordSettings& s) {
      s.useFourParams = true;
      s.fourParams = {-2500.25, 1800.5, -42.75, 18.5};
    });
    QTest::newRow("four parameters collapsing the scale") << LocalSection("-1e6") << With([](CoordSettings& s) {
      s.useFourParams = true;
    });
    QTest::newRow("four parameters, one not a number") << LocalSection("18.5ppm") << With([](CoordSettings& s) {
      s.useFourParams = true;
    });
    QTest::newRow("height fit") << HeightFitSection("plane") << With([](CoordSettings& s) {
      s.heightFit.model = HeightModel::Plane;
      s.heightFit.centroid = {3300000, 500000};
      s.heightFit.coefficients = {-2.5, 1e-5, -3e-6, 0, 0, 0};
    });
    QTest::newRow("height fit of an unknown model") << HeightFitSection("cubic") << CoordSettings{};
    QTest::newRow("height fit, one coefficient not a number")
        << HeightFitSection("plane").replace("a1=1e-5", "a1=nan") << CoordSettings{};
    QTest::newRow("height fit without its centroid")
        << HeightFitSection("plane").replace("centroidEast=500000\n", "") << CoordSettings{};
    QTest::newRow("projection list position not a number") << ProjectionSection("12.5") << CoordSettings{};
    QTest::newRow("projection list position too large") << ProjectionSection("99999999999") << CoordSettings{};
    QTest::newRow("projection without its key") << ProjectionSection("131").replace("projKey=utm", "") << CoordSettings{};
    QTest::newRow("unknown keys and groups")
        << QByteArray("[conversion]\ncolour=blue\n[elsewhere]\nsourceType=LB\n[General]\ntargetType=Plan\n") << CoordSettings{};
    QTest::newRow("not a settings file at all") << QByteArray("\x00\xff\xfe[[[=\n==\n]\n\x01=\x02", 20) << CoordSettings{};
  }

  void damagedValuesGiveTheirDefaults() {
    QFETCH(QByteArray, file);
    QFETCH(CoordSettings, expected);
    WriteFile(FilePath(), file.toStdString());
    SettingsStore store(FilePath());
    const CoordSettings loaded = store.LoadCoordSettings();
    QCOMPARE(loaded.sourceType, expected.sourceType);
    QCOMPARE(loaded.targetType, expected.targetType);
    QCOMPARE(loaded.sourceAngleFormat, expected.sourceAngleFormat);
    QCOMPARE(loaded.targetAngleFormat, expected.targetAngleFormat);
    QCOMPARE(loaded.sourceEllipsoid, expected.sourceEllipsoid);
    QCOMPARE(loaded.targetEllipsoid, expected.targetEllipsoid);
    QCOMPARE(loaded.useSevenParams, expected.useSevenParams);
    QCOMPARE(loaded.fileFormat, expected.fileFormat);
    QCOMPARE(loaded.datumModel, expected.datumModel);
    QVERIFY(loaded.projection == expected.projection);
    QVERIFY(loaded.sevenParams == expected.sevenParams);
    QCOMPARE(loaded.useFourParams, expected.useFourParams);
    QVERIFY(loaded.fourParams == expected.fourParams);
    QVERIFY(loaded.heightFit == expected.heightFit);
  }

  void damagedWindowValuesGiveTheirDefaults_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<int>("page");
    QTest::addColumn<bool>("hasGeometry");
    QTest::newRow("page 2, geometry") << QByteArray("[window]\npage=2\ngeometry=@ByteArray(abc)\n") << 2 << true;
    QTest::newRow("page past the last") << QByteArray("[window]\npage=4\n") << 0 << false;
    QTest::newRow("page negative") << QByteArray("[window]\npage=-1\n") << 0 << false;
    QTest::newRow("page a word") << QByteArray("[window]\npage=second\n") << 0 << false;
    QTest::newRow("page with a unit") << QByteArray("[window]\npage=2px\n") << 0 << false;
    QTest::newRow("geometry as text") << QByteArray("[window]\ngeometry=800x600\n") << 0 << false;
  }

  void damagedWindowValuesGiveTheirDefaults() {
    QFETCH(QByteArray, file);
    QFETCH(int, page);
    QFETCH(bool, hasGeometry);
    WriteFile(FilePath(), file.toStdString());
    SettingsStore store(FilePath());
    QCOMPARE(store.currentPage(4), page);
    QCOMPARE(!store.windowGeometry().isEmpty(), hasGeometry);
  }

  void lastFolderMustStillExist() {
    SettingsStore store(FilePath());
    store.setLastFolder(folder_->filePath("gone"));
    QVERIFY(store.lastFolder().isEmpty());
    store.setLastFolder("relative/folder");
    QVERIFY(store.lastFolder().isEmpty());
    store.setLastFolder(FilePath());  // a file, not a folder
    QVERIFY(store.lastFolder().isEmpty());
    store.setLastFolder(folder_->path());
    QCOMPARE(store.lastFolder(), folder_->path());
  }

  void savingRepairsADamagedFile() {
    WriteFile(FilePath(), std::string("\x00\xff[[[=\n==\n", 10));
    {
      SettingsStore store(FilePath());
      store.SaveCoordSettings(Chosen());
    }
    QVERIFY(SettingsStore(FilePath()).LoadCoordSettings() == Chosen());
  }

  void clearForgetsEverything() {
    SettingsStore store(FilePath());
    store.SaveCoordSettings(Chosen());
    store.setCurrentPage(2);
    store.setLastFolder(folder_->path());
    store.Clear();
    QVERIFY(!store.RemembersTargetType());
    QVERIFY(SettingsStore(FilePath()).LoadCoordSettings() == CoordSettings{});
    QCOMPARE(store.currentPage(4), 0);
    QVERIFY(store.lastFolder().isEmpty());
  }

  // The program's own store: per user, named by the application.
  void usersStoreIsNamedByTheApplication() {
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, folder_->path());
    CTarnwellApp::InitInstance();
    SettingsStore store;
    QCOMPARE(store.fileName(), folder_->filePath("Tarnwell/Tarnwell.conf"));
    store.SaveCoordSettings(Chosen());
    QVERIFY(SettingsStore(folder_->filePath("Tarnwell/Tarnwell.conf")).LoadCoordSettings() == Chosen());
  }
};

QTEST_MAIN(SettingsStoreTest)
#include "SettingsStoreTest.moc"

// The remembered settings in their file: every field of the settings codec
// round-trips, a first start gives the defaults, a damaged record is
// refused whole, and the user's own store lies where the application's
// names put it. Every store here is a file in a
// temporary folder; the user's real settings are never touched.
#include <QCoreApplication>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include "UiTestSupport.h"
#include "engine/CoordSettings.h"
#include "engine/SettingsCodec.h"
#include "tables/EllipsoidCatalogue.h"
#include "tables/TablePaths.h"
#include "ui/CTarnwellApp.h"
#include "ui/SettingsStore.h"

using namespace tarnwell;
using namespace tarnwell::test;

namespace {

// A projection record in which every field differs from its default.
ProjectionParams ChosenProjection(double centralMeridian) {
  ProjectionParams projection;
  projection.projKey = "lcc";
  projection.description = "Lambert Conformal Conic, 两条标准纬线";
  projection.centralMeridian = centralMeridian;
  projection.scaleFactor = 0.9996;
  projection.falseNorthing = -1e7;
  projection.falseEasting = 0.1 + 0.2;
  projection.originLatitude = 23;
  projection.latitude1 = 25;
  projection.latitude2 = -47.000000000000007;
  projection.surfaceHeight = 50.5;
  projection.listIndex = 70;
  projection.zoneWidth = 3;
  projection.zone = 39;
  projection.zonePrefix = true;
  projection.autoZone = true;
  projection.south = true;
  return projection;
}

// Settings in which every field of the codec differs from its default.
CoordSettings Chosen() {
  CoordSettings settings;
  settings.sourceType = CoordinateType::Plan;
  settings.targetType = CoordinateType::LB;
  settings.sourceAngleFormat = AngleFormat::DDD;
  settings.targetAngleFormat = AngleFormat::DMM;
  settings.sourceEllipsoid = "krass";
  settings.targetEllipsoid = "CGCS2000";
  settings.useSevenParams = true;
  settings.datum = {{-12.345678901234567, 0.1 + 0.2, 1e-9, 0.000123456789, -1.5, 2.0 / 3.0, -3.25e-3},
                    RotationConvention::PositionVector,
                    "krass",
                    "CGCS2000"};
  settings.projection = ChosenProjection(105.5);
  settings.ownSourceProjection = true;
  settings.sourceProjection = ChosenProjection(1.0 / 3.0);
  settings.fileFormat = FileFormat::NameXYh;
  settings.fileLayout = {"name,code,y,x,h", Separator::Tab, kAutomaticHeader};
  settings.useFourParams = true;
  settings.fourParams = {-3250000.125, 0.1 + 0.7, -42.000000000000007, 18.5};
  settings.heightFit.model = HeightModel::Quadratic;
  settings.heightFit.centroid = {3456789.0123456789, 39512345.678};
  settings.heightFit.coefficients = {-2.5, 1e-5, -3.0000000000000004e-6, 1.0 / 3e12, -7e-13, 5e-324};
  settings.tolerance = {0.015, 0.1 + 0.2};
  settings.fileLayout = {"name,code,y,x,h", Separator::Tab, kAutomaticHeader};
  settings.outputLayout = OutputLayout::Csv;
  settings.outputDecimals = 4;
  settings.sourceHeight = HeightSystem::Normal;
  settings.targetHeight = HeightSystem::Normal;
  settings.geoid = "/srv/models/地区 geoid.isg";
  settings.useAnomalyFit = true;
  settings.anomalyFit = {31.5, 120.25, {HeightModel::Quadratic, {0.5, -0.25}, {0.012, 1e-6, -2e-6, 3e-11, 0.1 + 0.2, 1e-12}}};
  settings.angleDecimals = 5;
  return settings;
}

// `settings` with the record of `key` as it is by default.
CoordSettings WithDefaultRecord(CoordSettings settings, std::string_view key) {
  const CoordSettings defaults;
  for (const SettingField& field : SettingFields()) {
    if (FieldRecord(field.key) == FieldRecord(key)) field.read(field.write(defaults), settings);
  }
  return settings;
}

QString StoreKey(std::string_view key) { return "settings/" + QString::fromUtf8(key.data(), key.size()); }

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
    // Chosen() really differs from the defaults in every field of the codec.
    for (const SettingField& field : SettingFields())
      QVERIFY2(field.write(Chosen()) != field.write(CoordSettings{}), field.key.data());
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
    QCOMPARE(loaded.sourceProjection, Chosen().sourceProjection);
    QCOMPARE(loaded.datum, Chosen().datum);  // bit for bit
    QVERIFY(loaded == Chosen());
    QCOMPARE(store.currentPage(4), 3);
    QCOMPARE(store.windowGeometry(), QByteArray("\x01\x02\x00\xff", 4));
    QCOMPARE(store.lastFolder(), folder_->path());
  }

  // The store holds what the codec writes, under the codec's keys.
  void valuesAreStoredAsTheCodecWritesThem() {
    SettingsStore(FilePath()).SaveCoordSettings(Chosen());
    const QSettings file(FilePath(), QSettings::IniFormat);
    for (const SettingField& field : SettingFields())
      QCOMPARE(file.value(StoreKey(field.key)).toString().toStdString(), field.write(Chosen()));
  }

  void firstStartGivesTheDefaults() {
    SettingsStore store(FilePath());
    QVERIFY(!store.RemembersTargetType());
    QVERIFY(store.LoadCoordSettings() == CoordSettings{});
    QCOMPARE(store.currentPage(4), 0);
    QVERIFY(store.windowGeometry().isEmpty());
    QVERIFY(store.lastFolder().isEmpty());
  }

  // One value damaged or missing: its record takes its defaults whole, every
  // other record is remembered.
  void damagedRecordIsRefusedWhole_data() {
    QTest::addColumn<QString>("key");
    QTest::addColumn<QVariant>("value");  // none: the key is removed
    QTest::newRow("type keyword in other case") << "sourceType" << QVariant("plan");
    QTest::newRow("type a list") << "targetType" << QVariant(QStringList{"LB", "Plan"});
    QTest::newRow("type as bytes") << "targetType" << QVariant(QByteArray("LB"));
    QTest::newRow("angle format a number") << "sourceAngleFormat" << QVariant("42");
    QTest::newRow("file format unknown") << "fileFormat" << QVariant("n;x;y;h");
    QTest::newRow("decimals too many") << "outputDecimals" << QVariant("16");
    QTest::newRow("decimals with blanks") << "outputDecimals" << QVariant(" 3");
    QTest::newRow("switch neither true nor false") << "useSevenParams" << QVariant("1");
    QTest::newRow("ellipsoid not in the catalogue") << "sourceEllipsoid" << QVariant("NoSuchEllipsoid");
    QTest::newRow("ellipsoid name in other case") << "targetEllipsoid" << QVariant("cgcs2000");
    QTest::newRow("seven parameter not wholly a number") << "seven.dX" << QVariant("12abc");
    QTest::newRow("seven parameter with a decimal comma") << "seven.dY" << QVariant("1,5");
    QTest::newRow("seven parameter not a number") << "seven.dZ" << QVariant("nan");
    QTest::newRow("seven parameter out of range") << "seven.rZ" << QVariant("1e7");
    QTest::newRow("seven parameter missing") << "seven.scalePpm" << QVariant();
    QTest::newRow("convention unknown") << "seven.convention" << QVariant("Molodensky");
    QTest::newRow("pair missing") << "seven.targetEllipsoid" << QVariant();
    QTest::newRow("projection parameter with a unit") << "projection.centralMeridian" << QVariant("117°");
    QTest::newRow("projection without its key") << "projection.projKey" << QVariant("");
    QTest::newRow("projection list position not whole") << "projection.listIndex" << QVariant("12.5");
    QTest::newRow("projection zone beyond the last") << "projection.zone" << QVariant("121");
    QTest::newRow("projection zone switch in other words") << "projection.zonePrefix" << QVariant("yes");
    QTest::newRow("source projection switch missing") << "sourceProjection.own" << QVariant();
    QTest::newRow("source projection latitude out of range") << "sourceProjection.latitude1" << QVariant("91");
    QTest::newRow("four parameters collapsing the scale") << "four.scalePpm" << QVariant("-1e6");
    QTest::newRow("height fit of an unknown model") << "heightFit.model" << QVariant("cubic");
    QTest::newRow("height fit without its centroid") << "heightFit.centroidEast" << QVariant();
  }

  void damagedRecordIsRefusedWhole() {
    QFETCH(QString, key);
    QFETCH(QVariant, value);
    SettingsStore(FilePath()).SaveCoordSettings(Chosen());
    {
      QSettings file(FilePath(), QSettings::IniFormat);
      if (value.isValid()) {
        file.setValue(StoreKey(key.toStdString()), value);
      } else {
        file.remove(StoreKey(key.toStdString()));
      }
    }
    const CoordSettings expected = WithDefaultRecord(Chosen(), key.toStdString());
    QVERIFY(expected != Chosen());
    QVERIFY(SettingsStore(FilePath()).LoadCoordSettings() == expected);
  }

  // Keys of no field, a store of an earlier version, or no settings file at
  // all: the defaults.
  void foreignFilesGiveTheDefaults_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::newRow("unknown keys and groups")
        << QByteArray("[settings]\ncolour=blue\n[elsewhere]\nsourceType=LB\n[General]\ntargetType=Plan\n");
    QTest::newRow("an earlier version") << QByteArray("[conversion]\nsourceType=LB\ntargetType=Plan\n[datum]\ndX=1\n");
    QTest::newRow("not a settings file at all") << QByteArray("\x00\xff\xfe[[[=\n==\n]\n\x01=\x02", 20);
  }

  void foreignFilesGiveTheDefaults() {
    QFETCH(QByteArray, file);
    WriteFile(FilePath(), file.toStdString());
    SettingsStore store(FilePath());
    QVERIFY(store.LoadCoordSettings() == CoordSettings{});
    QVERIFY(!store.RemembersTargetType());
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

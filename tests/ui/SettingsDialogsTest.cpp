// The settings dialogs: datum parameters, projection, ellipsoid viewer and
// file-format chooser, opened as the program opens them and closed with OK
// or Cancel.
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <cmath>
#include <utility>

#include "UiTestSupport.h"
#include "engine/CoordSettings.h"
#include "tables/NumberText.h"
#include "tables/EllipsoidCatalogue.h"
#include "tables/ListOrder.h"
#include "tables/SupportedProjections.h"
#include "tables/TablePaths.h"
#include "ui/CDlgDatumTrans.h"
#include "ui/CDlgEllips.h"
#include "ui/CDlgFileFt.h"
#include "ui/CDlgProjTrans.h"

using namespace tarnwell;
using namespace tarnwell::test;

namespace {

const char* const kParameterBoxes[] = {"translationX", "translationY", "translationZ", "rotationX",
                                       "rotationY",    "rotationZ",    "scalePpm"};

// The eight parameter boxes of the projection dialog, top to bottom.
const char* const kProjectionBoxes[] = {"centralMeridian", "scaleFactor", "falseNorthing", "falseEasting",
                                        "originLatitude",  "surfaceHeight", "latitude1",   "latitude2"};

QStringList ListItems(const QListWidget* list) {
  QStringList items;
  for (int i = 0; i < list->count(); ++i) items << list->item(i)->text();
  return items;
}

void DoubleClick(QListWidget* list, int row) {
  QListWidgetItem* item = list->item(row);
  list->scrollToItem(item);
  const QPoint centre = list->visualItemRect(item).center();
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, centre);
  QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, centre);
}

// Rows of the shipped projection list: the 15 supported projections first.
constexpr int kAitoffRow = 16, kLambertRow = 7, kMercatorRow = 8, kTransverseMercatorRow = 12, kUtmRow = 13;
// Their positions in the catalogue's own order, as the settings keep them.
constexpr int kTransverseMercatorIndex = 112, kUtmIndex = 119;

// The zone widgets, each in parentheses when disabled.
QString ZoneStates(const QWidget* dialog) {
  const auto state = [](const QWidget* widget, const QString& text) {
    return widget->isEnabled() ? text : "(" + text + ")";
  };
  const auto* width = Child<QComboBox>(dialog, "zoneWidth");
  const auto* zone = Child<QSpinBox>(dialog, "zone");
  QStringList states = {state(width, QString("width %1").arg(QList<int>{0, 3, 6}.value(width->currentIndex()))),
                        state(zone, QString("zone %1").arg(zone->value()))};
  for (const char* name : {"south", "zonePrefix", "autoZone"}) {
    const auto* box = Child<QCheckBox>(dialog, name);
    const QString label = QString(name) == "zonePrefix" ? "prefix" : QString(name) == "autoZone" ? "auto" : "south";
    states << state(box, box->isChecked() ? label + " checked" : label);
  }
  return states.join(", ");
}

// "text" for an enabled box, "(text)" for a disabled one.
QStringList BoxStates(const QWidget* dialog) {
  QStringList states;
  for (const char* name : kProjectionBoxes) {
    const auto* box = Child<QLineEdit>(dialog, name);
    states << (box->isEnabled() ? box->text() : "(" + box->text() + ")");
  }
  return states;
}

}  // namespace

class SettingsDialogsTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    CoordSettings::instance() = {};
    SetTableDirectory("");
  }

  void datumDialogShowsTheParametersAsNumberTexts() {
    CDlgDatumTrans dialog;
    dialog.show();
    QCOMPARE(Child<QLabel>(&dialog, "datumModel")->text(), QString("布尔莎-沃尔夫 (线性化)"));
    auto* convention = Child<QComboBox>(&dialog, "convention");
    QCOMPARE(convention->itemText(0), QString("坐标框架 (coordinate-frame)"));
    QCOMPARE(convention->itemText(1), QString("位置矢量 (position-vector)"));
    QCOMPARE(convention->currentIndex(), 0);
    for (const char* name : kParameterBoxes) QCOMPARE(Child<QLineEdit>(&dialog, name)->text(), QString("0.000000000000000"));
    dialog.reject();

    CoordSettings::instance().datum.params = {-3.5, 1e6, 0.25, -0.000001, 2, 3, -1.5};
    CoordSettings::instance().datum.convention = RotationConvention::PositionVector;
    dialog.show();
    QStringList texts;
    for (const char* name : kParameterBoxes) texts << Child<QLineEdit>(&dialog, name)->text();
    QCOMPARE(texts, QStringList({"-3.500000000000000", "1000000.000000000000000", "0.250000000000000", "-0.000001000000000",
                                 "2.000000000000000", "3.000000000000000", "-1.500000000000000"}));
    QCOMPARE(convention->currentIndex(), 1);
    dialog.reject();
  }

  // The pair a set is for: the one it was stated for, else the conversion's.
  // A changed set is one for the conversion at hand; an unchanged one keeps
  // its pair, the other way round though the conversion goes.
  void datumDialogShowsAndStoresThePair() {
    CoordSettings& settings = CoordSettings::instance();
    settings.targetEllipsoid = "krass";
    CDlgDatumTrans dialog;
    auto* pair = Child<QLabel>(&dialog, "datumPair");
    dialog.show();
    QCOMPARE(pair->text(), QString("WGS84 → krass"));
    dialog.reject();

    settings.datum = {{1, 2, 3, 0, 0, 0, 0}, RotationConvention::CoordinateFrame, "WGS84", "krass"};
    settings.sourceEllipsoid = "krass";
    settings.targetEllipsoid = "WGS84";
    dialog.show();
    QCOMPARE(pair->text(), QString("WGS84 → krass"));
    dialog.accept();
    QCOMPARE(settings.datum.sourceEllipsoid, std::string("WGS84"));
    QCOMPARE(settings.datum.targetEllipsoid, std::string("krass"));

    dialog.show();
    Child<QLineEdit>(&dialog, "translationX")->selectAll();
    QTest::keyClicks(Child<QLineEdit>(&dialog, "translationX"), "5");
    QCOMPARE(pair->text(), QString("krass → WGS84"));
    Child<QComboBox>(&dialog, "convention")->setCurrentIndex(1);
    dialog.accept();
    QCOMPARE(settings.datum.sourceEllipsoid, std::string("krass"));
    QCOMPARE(settings.datum.targetEllipsoid, std::string("WGS84"));
    QCOMPARE(settings.datum.convention, RotationConvention::PositionVector);
    QCOMPARE(settings.datum.params.dX, 5.0);

    // Typed while both sides share one ellipsoid: a set without a pair.
    settings.targetEllipsoid = "krass";
    dialog.show();
    QTest::keyClicks(Child<QLineEdit>(&dialog, "translationY"), "1");
    QCOMPARE(pair->text(), QString("krass → krass"));
    dialog.accept();
    QVERIFY(settings.datum.sourceEllipsoid.empty() && settings.datum.targetEllipsoid.empty());
  }

  void datumDialogOkReadsEveryBox() {
    CoordSettings::instance().targetEllipsoid = "krass";
    CDlgDatumTrans dialog;
    dialog.show();
    const QStringList typed = {"0", "12", "1.5", "1e-3", "   7.25", "-2", "+9"};
    for (int i = 0; i < 7; ++i) Child<QLineEdit>(&dialog, kParameterBoxes[i])->setText(typed[i]);
    QTest::mouseClick(Child<QPushButton>(&dialog, "okButton"), Qt::LeftButton);
    QVERIFY(!dialog.isVisible());
    const DatumTransformation expected{{0, 12, 1.5, 0.001, 7.25, -2, 9}, RotationConvention::CoordinateFrame, "WGS84", "krass"};
    QCOMPARE(CoordSettings::instance().datum, expected);
  }

  // A box that is not wholly a number, or a number outside its range, keeps
  // the dialog open and stores nothing at all.
  void datumDialogRefusesATypingMistake() {
    CoordSettings::instance().datum.params = {1, 2, 3, 4, 5, 6, 7};
    const std::pair<QString, QString> mistakes[] = {
        {"", "七参数格式错误,请检查."},     {"12abc", "七参数格式错误,请检查."}, {"1,5", "七参数格式错误,请检查."},
        {"x9", "七参数格式错误,请检查."},   {"nan", "七参数格式错误,请检查."},   {"1e6", "七参数错误,请检查."}};
    for (const auto& [mistake, message] : mistakes) {
      MessageRecorder recorder;
      CDlgDatumTrans dialog;
      dialog.show();
      Child<QLineEdit>(&dialog, "translationX")->setText("100");
      Child<QLineEdit>(&dialog, "scalePpm")->setText(mistake);
      QTest::mouseClick(Child<QPushButton>(&dialog, "okButton"), Qt::LeftButton);
      QVERIFY(dialog.isVisible());
      QCOMPARE(recorder.messages(), QStringList{message});
      QCOMPARE(CoordSettings::instance().datum.params, (SevenParams{1, 2, 3, 4, 5, 6, 7}));
      dialog.reject();
    }
  }

  void datumDialogCancelChangesNothing() {
    CoordSettings::instance().datum = {{1.0 / 3, 2.0 / 3, 0, 0, 0, 0.123456789012345678, 0},
                                       RotationConvention::PositionVector, "WGS84", "krass"};
    const DatumTransformation before = CoordSettings::instance().datum;
    CDlgDatumTrans dialog;
    dialog.show();
    Child<QLineEdit>(&dialog, "translationX")->setText("99");
    Child<QComboBox>(&dialog, "convention")->setCurrentIndex(0);
    QTest::mouseClick(Child<QPushButton>(&dialog, "cancelButton"), Qt::LeftButton);
    QCOMPARE(CoordSettings::instance().datum, before);  // bit for bit
    // OK without a change keeps each value as its 15-decimal text says.
    dialog.show();
    dialog.accept();
    QCOMPARE(CoordSettings::instance().datum.params.dX, 0.333333333333333);
    QCOMPARE(CoordSettings::instance().datum.convention, RotationConvention::PositionVector);
  }

  // The supported projections first, by their Chinese names; each group in
  // list order.
  void projectionListShowsTheSupportedFirst() {
    CDlgProjTrans dialog;
    dialog.show();
    auto* list = Child<QListWidget>(&dialog, "projectionList");
    const QStringList items = ListItems(list);
    QCOMPARE(items.at(kTransverseMercatorRow), QString("tmerc — 横轴墨卡托投影 (高斯-克吕格)"));
    QCOMPARE(items.at(kMercatorRow), QString("merc — 墨卡托投影"));
    QCOMPARE(items.at(kAitoffRow), QString("aitoff — Aitoff"));
    const int supported = static_cast<int>(SupportedProjections().size());
    for (int i = 0; i < items.size(); ++i) QCOMPARE(bool(list->item(i)->flags() & Qt::ItemIsEnabled), i < supported);
    for (int i = 1; i < items.size(); ++i) {
      if (i == supported) continue;
      QVERIFY(!ListTextLess(items[i].toStdString(), items[i - 1].toStdString()));
    }
    dialog.reject();
  }

  void projectionDialogShowsTheProjectionInForce() {
    CDlgProjTrans dialog;
    QCOMPARE(dialog.initialSelection(), -1);
    dialog.show();
    auto* list = Child<QListWidget>(&dialog, "projectionList");
    QCOMPARE(list->currentRow(), kTransverseMercatorRow);
    QCOMPARE(dialog.initialSelection(), kTransverseMercatorRow);
    QCOMPARE(Child<QLineEdit>(&dialog, "description")->text(), QString("Transverse Mercator"));
    // The projection-plane height is taken by every projection; none shows empty.
    const QStringList inForce = {"120", "1", "0", "500000", "0", "", "()", "()"};
    QCOMPARE(BoxStates(&dialog), inForce);

    // Another item shows the catalogue's defaults; the item selected at
    // opening shows the values in force again, not the catalogue's.
    DoubleClick(list, kMercatorRow);
    QCOMPARE(BoxStates(&dialog), QStringList({"117", "()", "0", "0", "39", "", "()", "()"}));
    QCOMPARE(Child<QLineEdit>(&dialog, "description")->text(), QString("Mercator"));
    DoubleClick(list, kTransverseMercatorRow);
    QCOMPARE(BoxStates(&dialog), inForce);

    // A single click moves the selection only.
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(kUtmRow)).center());
    QCOMPARE(list->currentRow(), kUtmRow);
    QCOMPARE(BoxStates(&dialog), inForce);
    dialog.reject();
    QCOMPARE(CoordSettings::instance().projection, ProjectionParams{});
  }

  // Each supported projection shows its Chinese name in the list and beside
  // it; the English description of projs.csv is the item's tip.
  void projectionChineseNames() {
    for (const SupportedProjection& projection : SupportedProjections())
      QVERIFY2(QString::fromUtf8(projection.chineseName).contains(QString::fromUtf8("投影")), projection.key.data());
    CDlgProjTrans dialog;
    dialog.show();
    auto* list = Child<QListWidget>(&dialog, "projectionList");
    auto* chineseName = Child<QLineEdit>(&dialog, "chineseName");
    QVERIFY(chineseName->isReadOnly());
    QCOMPARE(chineseName->text(), QString("横轴墨卡托投影 (高斯-克吕格)"));
    QCOMPARE(list->item(kTransverseMercatorRow)->toolTip(), QString("Transverse Mercator"));
    DoubleClick(list, kMercatorRow);
    QCOMPARE(chineseName->text(), QString("墨卡托投影"));
    DoubleClick(list, kUtmRow);
    QCOMPARE(chineseName->text(), QString("通用横轴墨卡托投影 (UTM)"));
    dialog.reject();
  }

  // A projection the program does not compute stands greyed in the list and
  // cannot be chosen: clicks leave the selection and the boxes alone.
  void projectionUnsupportedRowsCannotBeChosen() {
    CDlgProjTrans dialog;
    dialog.show();
    auto* list = Child<QListWidget>(&dialog, "projectionList");
    int unsupported = 0;
    for (int row = 0; row < list->count(); ++row) {
      const bool enabled = list->item(row)->flags() & Qt::ItemIsEnabled;
      const std::string key = list->item(row)->text().section(" — ", 0, 0).toStdString();
      QCOMPARE(enabled, FindSupportedProjection(key) != nullptr);
      if (!enabled) {
        QCOMPARE(list->item(row)->toolTip(), QString("不支持的投影"));
        ++unsupported;
      }
    }
    QCOMPARE(unsupported, list->count() - 15);
    const QStringList shown = BoxStates(&dialog);
    DoubleClick(list, kAitoffRow);
    QCOMPARE(list->currentRow(), kTransverseMercatorRow);
    QCOMPARE(BoxStates(&dialog), shown);
    dialog.accept();
    QCOMPARE(CoordSettings::instance().projection.projKey, std::string("tmerc"));
  }

  void projectionOkStoresTheShownTextsWithTheSelectedItem() {
    CDlgProjTrans dialog;
    dialog.show();
    auto* list = Child<QListWidget>(&dialog, "projectionList");
    DoubleClick(list, kMercatorRow);
    Child<QLineEdit>(&dialog, "centralMeridian")->setText(" 114.5 ");
    list->setCurrentRow(kTransverseMercatorRow);  // single click: selection only
    dialog.accept();
    const ProjectionParams& stored = CoordSettings::instance().projection;
    QCOMPARE(stored.listIndex, kTransverseMercatorIndex);
    QCOMPARE(stored.projKey, std::string("tmerc"));
    QCOMPARE(stored.description, std::string("Transverse Mercator"));
    QCOMPARE(stored.centralMeridian, std::optional<double>(114.5));
    QCOMPARE(stored.scaleFactor, std::optional<double>());
    QCOMPARE(stored.falseEasting, std::optional<double>(0));
    QCOMPARE(stored.originLatitude, std::optional<double>(39));
    QCOMPARE(stored.surfaceHeight, std::optional<double>());  // left empty

    // The next opening shows what OK stored: transverse Mercator uses a
    // scale factor, and the record has none.
    dialog.show();
    QCOMPARE(BoxStates(&dialog), QStringList({"114.5", "", "0", "0", "39", "", "()", "()"}));
    dialog.reject();
  }

  // A parameter the projection uses must be a number within its range: OK
  // keeps the dialog open and stores nothing.
  void projectionOkRefusesAMistypedParameter() {
    for (const QString& mistake : {QString("12O"), QString(""), QString("NULL"), QString("1,5"), QString("2e8")}) {
      MessageRecorder recorder;
      CDlgProjTrans dialog;
      dialog.show();
      Child<QLineEdit>(&dialog, "surfaceHeight")->setText("850");
      Child<QLineEdit>(&dialog, "falseEasting")->setText(mistake);
      QTest::mouseClick(Child<QPushButton>(&dialog, "okButton"), Qt::LeftButton);
      QVERIFY(dialog.isVisible());
      QCOMPARE(recorder.messages(), QStringList{"投影参数错误,请检查."});
      QCOMPARE(CoordSettings::instance().projection, ProjectionParams{});
      Child<QLineEdit>(&dialog, "falseEasting")->setText("500000");
      QTest::mouseClick(Child<QPushButton>(&dialog, "okButton"), Qt::LeftButton);
      QVERIFY(!dialog.isVisible());
      QCOMPARE(CoordSettings::instance().projection.surfaceHeight, std::optional<double>(850));
      CoordSettings::instance() = {};
    }
  }

  // Gauss-Krüger zones: from a free central meridian to its zone, 6° or 3°;
  // the zone fixes the other parameters, which the disabled boxes show.
  void projectionGaussKrugerZones() {
    CDlgProjTrans dialog;
    dialog.show();
    auto* width = Child<QComboBox>(&dialog, "zoneWidth");
    auto* zone = Child<QSpinBox>(&dialog, "zone");
    auto* prefix = Child<QCheckBox>(&dialog, "zonePrefix");
    auto* automatic = Child<QCheckBox>(&dialog, "autoZone");
    QVERIFY(width->isEnabled());
    QCOMPARE(ZoneStates(&dialog), QString("width 0, (zone 1), (south), (prefix), (auto)"));

    Child<QLineEdit>(&dialog, "centralMeridian")->setText("117.3");
    width->setCurrentIndex(2);  // 6°
    QCOMPARE(zone->value(), 20);
    QCOMPARE(zone->maximum(), 60);
    QCOMPARE(BoxStates(&dialog), QStringList({"(117)", "(1)", "(0)", "(500000)", "(0)", "", "()", "()"}));
    QCOMPARE(ZoneStates(&dialog), QString("width 6, zone 20, (south), prefix, (auto)"));
    width->setCurrentIndex(1);  // 3°: the zone of the same meridian
    QCOMPARE(zone->value(), 39);
    QCOMPARE(zone->maximum(), 120);
    zone->setValue(40);
    QCOMPARE(Child<QLineEdit>(&dialog, "centralMeridian")->text(), QString("120"));
    prefix->setChecked(true);
    QVERIFY(automatic->isEnabled());
    automatic->setChecked(true);
    QCOMPARE(ZoneStates(&dialog), QString("width 3, (zone 40), (south), prefix checked, auto checked"));
    dialog.accept();

    ProjectionParams expected;
    for (std::optional<double>* field : {&expected.centralMeridian, &expected.scaleFactor, &expected.falseNorthing,
                                         &expected.falseEasting, &expected.originLatitude})
      field->reset();
    expected.zoneWidth = 3;
    expected.zone = 40;
    expected.zonePrefix = expected.autoZone = true;
    QCOMPARE(CoordSettings::instance().projection, expected);

    // Shown again as stored; back to a free meridian, the zone's values stand.
    dialog.show();
    QCOMPARE(ZoneStates(&dialog), QString("width 3, (zone 40), (south), prefix checked, auto checked"));
    prefix->setChecked(false);
    QCOMPARE(ZoneStates(&dialog), QString("width 3, zone 40, (south), prefix, (auto checked)"));
    width->setCurrentIndex(0);
    QCOMPARE(BoxStates(&dialog), QStringList({"120", "1", "0", "500000", "0", "", "()", "()"}));
    dialog.accept();
    const ProjectionParams& stored = CoordSettings::instance().projection;
    QCOMPARE(stored.centralMeridian, std::optional<double>(120));
    QCOMPARE(stored.zoneWidth, 0);
    QCOMPARE(stored.zone, 0);
    QVERIFY(!stored.zonePrefix && !stored.autoZone);
  }

  void projectionUtmTakesAZoneAndAHemisphere() {
    CDlgProjTrans dialog;
    dialog.show();
    DoubleClick(Child<QListWidget>(&dialog, "projectionList"), kUtmRow);
    QCOMPARE(ZoneStates(&dialog), QString("(width 0), zone 50, south, prefix, (auto)"));
    QCOMPARE(Child<QSpinBox>(&dialog, "zone")->maximum(), 60);
    QCOMPARE(BoxStates(&dialog), QStringList({"(117)", "(0.9996)", "(0)", "(500000)", "(0)", "", "()", "()"}));
    Child<QSpinBox>(&dialog, "zone")->setValue(51);
    Child<QCheckBox>(&dialog, "south")->setChecked(true);
    QCOMPARE(BoxStates(&dialog), QStringList({"(123)", "(0.9996)", "(10000000)", "(500000)", "(0)", "", "()", "()"}));
    dialog.accept();
    const ProjectionParams& stored = CoordSettings::instance().projection;
    QCOMPARE(stored.projKey, std::string("utm"));
    QCOMPARE(stored.listIndex, kUtmIndex);
    QCOMPARE(stored.zone, 51);
    QVERIFY(stored.south);
    QCOMPARE(stored.centralMeridian, std::optional<double>());
  }

  void projectionLambertTakesTwoStandardParallels() {
    CDlgProjTrans dialog;
    dialog.show();
    DoubleClick(Child<QListWidget>(&dialog, "projectionList"), kLambertRow);
    QCOMPARE(BoxStates(&dialog),
             QStringList({"105", "()", "0", "0", "0", "", "25", "47"}));
    QCOMPARE(ZoneStates(&dialog), QString("(width 0), (zone 1), (south), (prefix), (auto)"));
    Child<QLineEdit>(&dialog, "latitude2")->setText("40");
    dialog.accept();
    const ProjectionParams& stored = CoordSettings::instance().projection;
    QCOMPARE(stored.projKey, std::string("lcc"));
    QCOMPARE(stored.latitude1, std::optional<double>(25));
    QCOMPARE(stored.latitude2, std::optional<double>(40));
    QCOMPARE(stored.scaleFactor, std::optional<double>());
  }

  void projectionCancelAfterDoubleClicksChangesNothing() {
    CDlgProjTrans dialog;
    dialog.show();
    auto* list = Child<QListWidget>(&dialog, "projectionList");
    DoubleClick(list, kMercatorRow);
    DoubleClick(list, kUtmRow);
    Child<QCheckBox>(&dialog, "south")->setChecked(true);
    QTest::mouseClick(Child<QPushButton>(&dialog, "cancelButton"), Qt::LeftButton);
    QCOMPARE(CoordSettings::instance().projection, ProjectionParams{});
  }

  // A projection in force that is not in the list, nor supported: nothing
  // selected, every box disabled, and OK keeps its name.
  void projectionNotInTheListSelectsNothing() {
    CoordSettings::instance().projection.projKey = "nosuch";
    CoordSettings::instance().projection.centralMeridian = 111;
    CDlgProjTrans dialog;
    dialog.show();
    auto* list = Child<QListWidget>(&dialog, "projectionList");
    QCOMPARE(list->currentRow(), -1);
    QCOMPARE(dialog.initialSelection(), list->count());
    QCOMPARE(BoxStates(&dialog), QStringList({"(111)", "(1)", "(0)", "(500000)", "(0)", "()", "()", "()"}));
    dialog.accept();
    const ProjectionParams& stored = CoordSettings::instance().projection;
    QCOMPARE(stored.projKey, std::string("nosuch"));
    QCOMPARE(stored.listIndex, kTransverseMercatorIndex);
    QCOMPARE(stored.centralMeridian, std::optional<double>());
  }

  // The source's own projection is edited apart from the target's; OK
  // stores both, "与目的投影相同" gives the source the target's again.
  void projectionSourceIsEditedApart() {
    CDlgProjTrans dialog;
    dialog.show();
    auto* editSource = Child<QRadioButton>(&dialog, "editSourceProjection");
    auto* editTarget = Child<QRadioButton>(&dialog, "editTargetProjection");
    auto* sameAsTarget = Child<QCheckBox>(&dialog, "sameAsTarget");
    QVERIFY(editTarget->isChecked());
    QVERIFY(sameAsTarget->isChecked() && !sameAsTarget->isEnabled());
    Child<QLineEdit>(&dialog, "centralMeridian")->setText("117");

    editSource->click();
    QVERIFY(sameAsTarget->isEnabled());
    // The target's projection stands in for the source's, shown, not edited.
    QVERIFY(!Child<QLineEdit>(&dialog, "centralMeridian")->isEnabled());
    QCOMPARE(Child<QLineEdit>(&dialog, "centralMeridian")->text(), QString("117"));
    sameAsTarget->click();
    QVERIFY(Child<QLineEdit>(&dialog, "centralMeridian")->isEnabled());
    DoubleClick(Child<QListWidget>(&dialog, "projectionList"), kUtmRow);
    Child<QSpinBox>(&dialog, "zone")->setValue(51);

    editTarget->click();
    QCOMPARE(Child<QLineEdit>(&dialog, "centralMeridian")->text(), QString("117"));
    dialog.accept();
    const CoordSettings& settings = CoordSettings::instance();
    QCOMPARE(settings.projection.projKey, std::string("tmerc"));
    QCOMPARE(settings.projection.centralMeridian, std::optional<double>(117));
    QVERIFY(settings.ownSourceProjection);
    QCOMPARE(settings.sourceProjection.projKey, std::string("utm"));
    QCOMPARE(settings.sourceProjection.zone, 51);

    // Shown again as stored; the source back to the target's projection.
    dialog.show();
    editSource->click();
    QVERIFY(!sameAsTarget->isChecked());
    QCOMPARE(Child<QListWidget>(&dialog, "projectionList")->currentRow(), kUtmRow);
    sameAsTarget->click();
    dialog.accept();
    QVERIFY(!CoordSettings::instance().ownSourceProjection);
    QCOMPARE(SourceProjection(CoordSettings::instance()), CoordSettings::instance().projection);
  }

  // Cancel after edits of both sides keeps every projection as it was; a
  // side left with a mistyped box is not left at all.
  void projectionCancelKeepsBothSides() {
    CoordSettings::instance().ownSourceProjection = true;
    CoordSettings::instance().sourceProjection.centralMeridian = 114;
    const CoordSettings before = CoordSettings::instance();
    MessageRecorder recorder;
    CDlgProjTrans dialog;
    dialog.show();
    Child<QLineEdit>(&dialog, "centralMeridian")->setText("117x");
    Child<QRadioButton>(&dialog, "editSourceProjection")->click();
    QCOMPARE(recorder.messages(), QStringList{"投影参数错误,请检查."});
    QVERIFY(Child<QRadioButton>(&dialog, "editTargetProjection")->isChecked());
    Child<QLineEdit>(&dialog, "centralMeridian")->setText("117");
    Child<QRadioButton>(&dialog, "editSourceProjection")->click();
    QCOMPARE(Child<QLineEdit>(&dialog, "centralMeridian")->text(), QString("114"));
    Child<QLineEdit>(&dialog, "centralMeridian")->setText("111");
    Child<QCheckBox>(&dialog, "sameAsTarget")->click();
    QTest::mouseClick(Child<QPushButton>(&dialog, "cancelButton"), Qt::LeftButton);
    QVERIFY(CoordSettings::instance() == before);

    // The next opening starts from the settings, not from the edits.
    dialog.show();
    QCOMPARE(Child<QLineEdit>(&dialog, "centralMeridian")->text(), QString("120"));
    Child<QRadioButton>(&dialog, "editSourceProjection")->click();
    QCOMPARE(Child<QLineEdit>(&dialog, "centralMeridian")->text(), QString("114"));
    dialog.reject();
  }

  void ellipsoidDialogSelectsWgs84() {
    CDlgEllips dialog;
    dialog.show();
    auto* list = Child<QListWidget>(&dialog, "ellipsoidList");
    // Each entry says what its key stands for; the list is in the order of the names.
    QCOMPARE(list->currentItem()->text(), QString("WGS84 — WGS84椭球（GPS）"));
    QCOMPARE(list->item(list->currentRow() - 1)->text(), QString("WGS72 — WGS72椭球"));
    QCOMPARE(Child<QLineEdit>(&dialog, "ellipsoidName")->text(), QString("WGS84"));
    QCOMPARE(Child<QLineEdit>(&dialog, "semiMajorAxis")->text(), QString("6378137"));
    QCOMPARE(Child<QLineEdit>(&dialog, "inverseFlattening")->text(), QString("298.257223563"));
    QCOMPARE(Child<QComboBox>(&dialog, "secondParameter")->currentText(), QString("扁率倒数(1/f)="));
    QCOMPARE(Child<QLineEdit>(&dialog, "ellipsoidDescription")->text(), QString("WGS84椭球（GPS）"));
    QStringList names;
    for (int i = 0; i < list->count(); ++i) names << list->item(i)->data(Qt::UserRole).toString();
    for (int i = 1; i < names.size(); ++i) QVERIFY(!ListTextLess(names[i].toStdString(), names[i - 1].toStdString()));
    QVERIFY(!Child<QPushButton>(&dialog, "okButton")->isVisible());

    // Typing into the fields of a shipped ellipsoid changes neither it nor
    // the table: the next opening shows the table's values again.
    QVERIFY(!Child<QPushButton>(&dialog, "editEllipsoid")->isEnabled());
    QVERIFY(!Child<QPushButton>(&dialog, "removeEllipsoid")->isEnabled());
    QTest::keyClicks(Child<QLineEdit>(&dialog, "semiMajorAxis"), "12");
    dialog.reject();
    dialog.show();
    QCOMPARE(Child<QLineEdit>(&dialog, "semiMajorAxis")->text(), QString("6378137"));
    QCOMPARE(TheEllipsoidCatalogue().front().semiMajorAxis, std::string("6378137"));
    dialog.reject();
  }

  void ellipsoidDialogListsDuplicatesTwice() {
    QTemporaryDir tables;
    WriteFile(tables.filePath("ellips.csv"),
              "zeta,a=1,rf=2,first zeta\n"
              "Alpha,a=6378137,b=6356752.314245179,from the semi-minor axis\n"
              "zeta,a=3,rf=4,second zeta\n"
              "beta,a=5,rf=6,beta\n");
    SetTableDirectory(tables.path().toStdString());
    CDlgEllips dialog;
    dialog.show();
    auto* list = Child<QListWidget>(&dialog, "ellipsoidList");
    // A name listed twice stands for its first line, in the list as in the fields.
    QCOMPARE(ListItems(list), QStringList({"Alpha — from the semi-minor axis", "beta — beta", "zeta — first zeta",
                                           "zeta — first zeta"}));
    QCOMPARE(list->currentRow(), -1);  // no "WGS84"
    QCOMPARE(Child<QLineEdit>(&dialog, "ellipsoidName")->text(), QString());
    list->setCurrentRow(3);  // either entry shows the first line of that name
    QCOMPARE(Child<QLineEdit>(&dialog, "ellipsoidDescription")->text(), QString("first zeta"));
    QCOMPARE(Child<QLineEdit>(&dialog, "semiMajorAxis")->text(), QString("1"));
    list->setCurrentRow(0);
    const QString computed = Child<QLineEdit>(&dialog, "inverseFlattening")->text();
    QCOMPARE(computed.section('.', 1).size(), 15);
    QVERIFY(std::abs(computed.toDouble() - 298.257223563) < 1e-6);
    dialog.reject();
  }

  void fileFormatChooserStartsOnTheFormatInForce() {
    CDlgFileFt dialog;
    dialog.show();
    auto* list = Child<QListWidget>(&dialog, "formatList");
    QCOMPARE(ListItems(list), QStringList({"n,b,l,h", "n,x,y,h", "n,X,Y,Z", "CASS .dat (点名,编码,Y 东,X 北,H)", "自定义列"}));
    QCOMPARE(list->currentRow(), 0);
    list->setCurrentRow(2);
    QTest::mouseClick(Child<QPushButton>(&dialog, "okButton"), Qt::LeftButton);
    QCOMPARE(CoordSettings::instance().fileFormat, FileFormat::NameXYZ);

    dialog.show();
    QCOMPARE(list->currentRow(), 2);
    list->setCurrentRow(1);
    dialog.reject();
    QCOMPARE(CoordSettings::instance().fileFormat, FileFormat::NameXYZ);
    dialog.show();
    dialog.accept();  // OK without a look keeps the format
    QCOMPARE(CoordSettings::instance().fileFormat, FileFormat::NameXYZ);
  }

  // Every settings dialog answers in Chinese: 确定 and 取消.
  void dialogButtonsAreChinese() {
    CDlgDatumTrans datum;
    CDlgProjTrans projection;
    CDlgEllips ellipsoids;
    CDlgFileFt fileFormat;
    for (QDialog* dialog : std::initializer_list<QDialog*>{&datum, &projection, &ellipsoids, &fileFormat}) {
      QCOMPARE(Child<QPushButton>(dialog, "okButton")->text(), QString("确定"));
      // The ellipsoid dialog stores each change as it is made: it only closes.
      QCOMPARE(Child<QPushButton>(dialog, "cancelButton")->text(), QString(dialog == &ellipsoids ? "关闭" : "取消"));
    }
  }
};

QTEST_MAIN(SettingsDialogsTest)
#include "SettingsDialogsTest.moc"

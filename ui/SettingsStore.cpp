#include "ui/SettingsStore.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QVariant>
#include <algorithm>
#include <cmath>
#include <iterator>
#include <optional>
#include <span>

#include "tables/EllipsoidCatalogue.h"
#include "tables/FixedDecimalText.h"
#include "ui/QtText.h"

namespace tarnwell {
namespace {

const char* const kCoordinateTypes[] = {"Space", "LB", "Plan"};
const char* const kAngleFormats[] = {"DMS", "DDD", "DMM"};
const char* const kFileFormats[] = {"n,b,l,h", "n,x,y,h", "n,X,Y,Z"};
const char* const kDatumModels[] = {"Bursa-Wolf"};

// A text field that holds one of a few keywords.
struct KeywordField {
  const char* key;
  std::string CoordSettings::*field;
  std::span<const char* const> keywords;
};
const KeywordField kTargetType = {"conversion/targetType", &CoordSettings::targetType, kCoordinateTypes};
const KeywordField kKeywordFields[] = {
    {"conversion/sourceType", &CoordSettings::sourceType, kCoordinateTypes},
    kTargetType,
    {"conversion/sourceAngleFormat", &CoordSettings::sourceAngleFormat, kAngleFormats},
    {"conversion/targetAngleFormat", &CoordSettings::targetAngleFormat, kAngleFormats},
    {"file/format", &CoordSettings::fileFormat, kFileFormats},
    {"datum/model", &CoordSettings::datumModel, kDatumModels},
};

struct EllipsoidField {
  const char* key;
  std::string CoordSettings::*field;
};
const EllipsoidField kEllipsoidFields[] = {
    {"conversion/sourceEllipsoid", &CoordSettings::sourceEllipsoid},
    {"conversion/targetEllipsoid", &CoordSettings::targetEllipsoid},
};

const char* const kUseSevenParams = "conversion/useSevenParams";

struct ProjectionField {
  const char* key;
  std::string ProjectionParams::*field;
};
const ProjectionField kProjectionFields[] = {
    {"projection/projKey", &ProjectionParams::projKey},
    {"projection/description", &ProjectionParams::description},
    {"projection/centralMeridian", &ProjectionParams::centralMeridian},
    {"projection/scaleFactor", &ProjectionParams::scaleFactor},
    {"projection/falseNorthing", &ProjectionParams::falseNorthing},
    {"projection/falseEasting", &ProjectionParams::falseEasting},
    {"projection/originLatitude", &ProjectionParams::originLatitude},
    {"projection/latitude1", &ProjectionParams::latitude1},
    {"projection/latitude2", &ProjectionParams::latitude2},
    {"projection/surfaceHeight", &ProjectionParams::surfaceHeight},
    {"projection/auxEllipsoid", &ProjectionParams::auxEllipsoid},
};
const char* const kProjectionListIndex = "projection/listIndex";

// The zones, remembered since they came to be: a store without any of them
// holds a projection without zones.
struct ZoneNumberField {
  const char* key;
  int ProjectionParams::*field;
  int largest;  // the values are 0 to largest
};
const ZoneNumberField kZoneNumberFields[] = {
    {"projection/zoneWidth", &ProjectionParams::zoneWidth, 6},
    {"projection/zone", &ProjectionParams::zone, 120},  // the zones of 3°
};
struct ZoneSwitchField {
  const char* key;
  bool ProjectionParams::*field;
};
const ZoneSwitchField kZoneSwitchFields[] = {
    {"projection/zonePrefix", &ProjectionParams::zonePrefix},
    {"projection/autoZone", &ProjectionParams::autoZone},
    {"projection/south", &ProjectionParams::south},
};

// A record of numbers taken whole or not at all.
template <typename Record>
struct NumberField {
  const char* key;
  double Record::*field;
};
const NumberField<SevenParams> kSevenParamsFields[] = {
    {"datum/dX", &SevenParams::dX}, {"datum/dY", &SevenParams::dY}, {"datum/dZ", &SevenParams::dZ},
    {"datum/rX", &SevenParams::rX}, {"datum/rY", &SevenParams::rY}, {"datum/rZ", &SevenParams::rZ},
    {"datum/scalePpm", &SevenParams::scalePpm},
};

const char* const kUseFourParams = "local/useFourParams";
const NumberField<FourParams> kFourParamsFields[] = {
    {"local/dNorth", &FourParams::dNorth},
    {"local/dEast", &FourParams::dEast},
    {"local/rotationArcSeconds", &FourParams::rotationArcSeconds},
    {"local/scalePpm", &FourParams::scalePpm},
};
const NumberField<PlanePosition> kCentroidFields[] = {
    {"heightFit/centroidNorth", &PlanePosition::north},
    {"heightFit/centroidEast", &PlanePosition::east},
};
const char* const kHeightModelKey = "heightFit/model";
const char* const kHeightModels[] = {"constant", "plane", "quadratic"};  // by HeightModel
const char* const kCoefficientKeys[] = {"heightFit/a0", "heightFit/a1", "heightFit/a2",
                                        "heightFit/a3", "heightFit/a4", "heightFit/a5"};

const char* const kPage = "window/page";
const char* const kGeometry = "window/geometry";
const char* const kLastFolder = "file/lastFolder";
const char* const kRecentFiles = "file/recentFiles";
const char* const kRecentFilePath = "path";
constexpr int kRecentFileLimit = 8;
const char* const kOutputDecimals = "conversion/outputDecimals";

// Every value is written as text, so that the file reads plainly; reading
// takes a value only when it is text (a hand-edited "a, b" reads as a list,
// "@ByteArray(...)" as bytes: neither counts).
std::optional<QString> ReadText(const QSettings& settings, const char* key) {
  const QVariant value = settings.value(QLatin1String(key));
  if (value.typeId() != QMetaType::QString) return std::nullopt;
  return value.toString();
}

// A double written with 17 significant digits reads back bit for bit.
QString NumberText(double value) { return QString::number(value, 'g', 17); }

// Only a text that is wholly a finite number, without blanks around it.
std::optional<double> ReadNumber(const QSettings& settings, const char* key) {
  const std::optional<QString> text = ReadText(settings, key);
  if (!text || *text != text->trimmed()) return std::nullopt;
  bool isNumber = false;
  const double value = text->toDouble(&isNumber);
  if (!isNumber || !std::isfinite(value)) return std::nullopt;
  return value;
}

std::optional<int> ReadInteger(const QSettings& settings, const char* key) {
  const std::optional<QString> text = ReadText(settings, key);
  if (!text || *text != text->trimmed()) return std::nullopt;
  bool isNumber = false;
  const int value = text->toInt(&isNumber, 10);
  if (!isNumber) return std::nullopt;
  return value;
}

std::optional<bool> ReadSwitch(const QSettings& settings, const char* key) {
  const std::optional<QString> text = ReadText(settings, key);
  if (text == QLatin1String("true")) return true;
  if (text == QLatin1String("false")) return false;
  return std::nullopt;
}

std::optional<std::string> ReadKeyword(const QSettings& settings, const KeywordField& field) {
  const std::optional<QString> text = ReadText(settings, field.key);
  if (!text) return std::nullopt;
  for (const char* keyword : field.keywords) {
    if (*text == QLatin1String(keyword)) return std::string(keyword);
  }
  return std::nullopt;
}

// The zone fields over `projection`; false when one is damaged or when only
// some of them are there.
bool ReadZones(const QSettings& settings, ProjectionParams& projection) {
  int present = 0, total = 0;
  for (const ZoneNumberField& field : kZoneNumberFields) {
    ++total;
    if (!settings.contains(QLatin1String(field.key))) continue;
    ++present;
    const std::optional<int> value = ReadInteger(settings, field.key);
    if (!value || *value < 0 || *value > field.largest) return false;
    projection.*field.field = *value;
  }
  for (const ZoneSwitchField& field : kZoneSwitchFields) {
    ++total;
    if (!settings.contains(QLatin1String(field.key))) continue;
    ++present;
    const std::optional<bool> on = ReadSwitch(settings, field.key);
    if (!on) return false;
    projection.*field.field = *on;
  }
  const bool widthKnown = projection.zoneWidth == 0 || projection.zoneWidth == 3 || projection.zoneWidth == 6;
  return (present == 0 || present == total) && widthKnown;
}

std::optional<ProjectionParams> ReadProjection(const QSettings& settings) {
  ProjectionParams projection;
  for (const ProjectionField& field : kProjectionFields) {
    const std::optional<QString> text = ReadText(settings, field.key);
    if (!text) return std::nullopt;
    projection.*field.field = ToStd(*text);
  }
  const std::optional<int> listIndex = ReadInteger(settings, kProjectionListIndex);
  if (!listIndex || projection.projKey.empty() || !ReadZones(settings, projection)) return std::nullopt;
  projection.listIndex = *listIndex;
  return projection;
}

template <typename Record, std::size_t Count>
std::optional<Record> ReadNumbers(const QSettings& settings, const NumberField<Record> (&fields)[Count]) {
  Record record;
  for (const NumberField<Record>& field : fields) {
    const std::optional<double> value = ReadNumber(settings, field.key);
    if (!value) return std::nullopt;
    record.*field.field = *value;
  }
  return record;
}

template <typename Record, std::size_t Count>
void WriteNumbers(QSettings& settings, const NumberField<Record> (&fields)[Count], const Record& record) {
  for (const NumberField<Record>& field : fields) settings.setValue(QLatin1String(field.key), NumberText(record.*field.field));
}

std::optional<FourParams> ReadFourParams(const QSettings& settings) {
  const std::optional<FourParams> params = ReadNumbers(settings, kFourParamsFields);
  return params && IsUsable(*params) ? params : std::nullopt;
}

std::optional<HeightFit> ReadHeightFit(const QSettings& settings) {
  const std::optional<QString> model = ReadText(settings, kHeightModelKey);
  const std::optional<PlanePosition> centroid = ReadNumbers(settings, kCentroidFields);
  if (!model || !centroid) return std::nullopt;
  HeightFit fit;
  const auto known = std::find_if(std::begin(kHeightModels), std::end(kHeightModels),
                                  [&](const char* name) { return *model == QLatin1String(name); });
  if (known == std::end(kHeightModels)) return std::nullopt;
  fit.model = static_cast<HeightModel>(known - std::begin(kHeightModels));
  fit.centroid = *centroid;
  for (std::size_t term = 0; term < fit.coefficients.size(); ++term) {
    const std::optional<double> value = ReadNumber(settings, kCoefficientKeys[term]);
    if (!value) return std::nullopt;
    fit.coefficients[term] = *value;
  }
  return fit;
}

void Write(QSettings& settings, const char* key, const QString& text) { settings.setValue(QLatin1String(key), text); }

QString SwitchText(bool on) { return on ? QStringLiteral("true") : QStringLiteral("false"); }

}  // namespace

SettingsStore::SettingsStore() : settings_(std::make_unique<QSettings>()) {}

SettingsStore::SettingsStore(const QString& fileName)
    : settings_(std::make_unique<QSettings>(fileName, QSettings::IniFormat)) {}

SettingsStore::~SettingsStore() = default;

CoordSettings SettingsStore::LoadCoordSettings() const {
  CoordSettings loaded;
  for (const KeywordField& field : kKeywordFields) {
    if (std::optional<std::string> keyword = ReadKeyword(*settings_, field)) loaded.*field.field = std::move(*keyword);
  }
  for (const EllipsoidField& field : kEllipsoidFields) {
    const std::optional<QString> name = ReadText(*settings_, field.key);
    if (name && FindEllipsoidEntry(ToStd(*name))) loaded.*field.field = ToStd(*name);
  }
  if (const std::optional<bool> on = ReadSwitch(*settings_, kUseSevenParams)) loaded.useSevenParams = *on;
  if (const std::optional<ProjectionParams> projection = ReadProjection(*settings_)) loaded.projection = *projection;
  if (const std::optional<SevenParams> params = ReadNumbers(*settings_, kSevenParamsFields)) loaded.sevenParams = *params;
  if (const std::optional<bool> on = ReadSwitch(*settings_, kUseFourParams)) loaded.useFourParams = *on;
  if (const std::optional<FourParams> params = ReadFourParams(*settings_)) loaded.fourParams = *params;
  if (const std::optional<HeightFit> fit = ReadHeightFit(*settings_)) loaded.heightFit = *fit;
  if (const std::optional<int> decimals = ReadInteger(*settings_, kOutputDecimals); decimals && *decimals >= 0 && *decimals <= kMaxFixedDecimals)
    loaded.outputDecimals = *decimals;
  return loaded;
}

void SettingsStore::SaveCoordSettings(const CoordSettings& settings) {
  for (const KeywordField& field : kKeywordFields) Write(*settings_, field.key, ToQt(settings.*field.field));
  for (const EllipsoidField& field : kEllipsoidFields) Write(*settings_, field.key, ToQt(settings.*field.field));
  Write(*settings_, kUseSevenParams, SwitchText(settings.useSevenParams));
  for (const ProjectionField& field : kProjectionFields) Write(*settings_, field.key, ToQt(settings.projection.*field.field));
  Write(*settings_, kProjectionListIndex, QString::number(settings.projection.listIndex));
  for (const ZoneNumberField& field : kZoneNumberFields) {
    Write(*settings_, field.key, QString::number(settings.projection.*field.field));
  }
  for (const ZoneSwitchField& field : kZoneSwitchFields) Write(*settings_, field.key, SwitchText(settings.projection.*field.field));
  WriteNumbers(*settings_, kSevenParamsFields, settings.sevenParams);
  Write(*settings_, kUseFourParams, SwitchText(settings.useFourParams));
  WriteNumbers(*settings_, kFourParamsFields, settings.fourParams);
  Write(*settings_, kHeightModelKey, QLatin1String(kHeightModels[static_cast<int>(settings.heightFit.model)]));
  WriteNumbers(*settings_, kCentroidFields, settings.heightFit.centroid);
  for (std::size_t term = 0; term < settings.heightFit.coefficients.size(); ++term) {
    Write(*settings_, kCoefficientKeys[term], NumberText(settings.heightFit.coefficients[term]));
  }
  Write(*settings_, kOutputDecimals, QString::number(settings.outputDecimals));
  settings_->sync();
}

bool SettingsStore::RemembersTargetType() const { return ReadKeyword(*settings_, kTargetType).has_value(); }

int SettingsStore::currentPage(int pageCount) const {
  const std::optional<int> page = ReadInteger(*settings_, kPage);
  return page && *page >= 0 && *page < pageCount ? *page : 0;
}

void SettingsStore::setCurrentPage(int page) {
  Write(*settings_, kPage, QString::number(page));
  settings_->sync();
}

QByteArray SettingsStore::windowGeometry() const {
  const QVariant value = settings_->value(QLatin1String(kGeometry));
  return value.typeId() == QMetaType::QByteArray ? value.toByteArray() : QByteArray();
}

void SettingsStore::setWindowGeometry(const QByteArray& geometry) {
  settings_->setValue(QLatin1String(kGeometry), geometry);
  settings_->sync();
}

QString SettingsStore::lastFolder() const {
  const std::optional<QString> folder = ReadText(*settings_, kLastFolder);
  if (!folder || !QFileInfo(*folder).isAbsolute() || !QFileInfo(*folder).isDir()) return {};
  return *folder;
}

void SettingsStore::setLastFolder(const QString& folder) {
  Write(*settings_, kLastFolder, QDir::cleanPath(folder));
  settings_->sync();
}

QStringList SettingsStore::recentFiles() const {
  QStringList paths;
  const int count = std::min(settings_->beginReadArray(QLatin1String(kRecentFiles)), kRecentFileLimit);
  for (int index = 0; index < count; ++index) {
    settings_->setArrayIndex(index);
    const std::optional<QString> path = ReadText(*settings_, kRecentFilePath);
    if (path && !path->isEmpty()) paths << *path;
  }
  settings_->endArray();
  return paths;
}

void SettingsStore::setRecentFiles(const QStringList& paths) {
  settings_->remove(QLatin1String(kRecentFiles));
  settings_->beginWriteArray(QLatin1String(kRecentFiles));
  for (int index = 0; index < std::min(static_cast<int>(paths.size()), kRecentFileLimit); ++index) {
    settings_->setArrayIndex(index);
    Write(*settings_, kRecentFilePath, paths[index]);
  }
  settings_->endArray();
  settings_->sync();
}

void SettingsStore::Clear() {
  settings_->clear();
  settings_->sync();
}

QString SettingsStore::fileName() const { return settings_->fileName(); }

}  // namespace tarnwell

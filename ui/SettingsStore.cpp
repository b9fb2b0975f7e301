#include "ui/SettingsStore.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QVariant>
#include <algorithm>
#include <cmath>
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

struct SevenParamsField {
  const char* key;
  double SevenParams::*field;
};
const SevenParamsField kSevenParamsFields[] = {
    {"datum/dX", &SevenParams::dX}, {"datum/dY", &SevenParams::dY}, {"datum/dZ", &SevenParams::dZ},
    {"datum/rX", &SevenParams::rX}, {"datum/rY", &SevenParams::rY}, {"datum/rZ", &SevenParams::rZ},
    {"datum/scalePpm", &SevenParams::scalePpm},
};

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

std::optional<ProjectionParams> ReadProjection(const QSettings& settings) {
  ProjectionParams projection;
  for (const ProjectionField& field : kProjectionFields) {
    const std::optional<QString> text = ReadText(settings, field.key);
    if (!text) return std::nullopt;
    projection.*field.field = ToStd(*text);
  }
  const std::optional<int> listIndex = ReadInteger(settings, kProjectionListIndex);
  if (!listIndex || projection.projKey.empty()) return std::nullopt;
  projection.listIndex = *listIndex;
  return projection;
}

std::optional<SevenParams> ReadSevenParams(const QSettings& settings) {
  SevenParams params;
  for (const SevenParamsField& field : kSevenParamsFields) {
    const std::optional<double> value = ReadNumber(settings, field.key);
    if (!value) return std::nullopt;
    params.*field.field = *value;
  }
  return params;
}

void Write(QSettings& settings, const char* key, const QString& text) { settings.setValue(QLatin1String(key), text); }

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
  if (const std::optional<SevenParams> params = ReadSevenParams(*settings_)) loaded.sevenParams = *params;
  if (const std::optional<int> decimals = ReadInteger(*settings_, kOutputDecimals); decimals && *decimals >= 0 && *decimals <= kMaxFixedDecimals)
    loaded.outputDecimals = *decimals;
  return loaded;
}

void SettingsStore::SaveCoordSettings(const CoordSettings& settings) {
  for (const KeywordField& field : kKeywordFields) Write(*settings_, field.key, ToQt(settings.*field.field));
  for (const EllipsoidField& field : kEllipsoidFields) Write(*settings_, field.key, ToQt(settings.*field.field));
  Write(*settings_, kUseSevenParams, settings.useSevenParams ? QStringLiteral("true") : QStringLiteral("false"));
  for (const ProjectionField& field : kProjectionFields) Write(*settings_, field.key, ToQt(settings.projection.*field.field));
  Write(*settings_, kProjectionListIndex, QString::number(settings.projection.listIndex));
  for (const SevenParamsField& field : kSevenParamsFields) {
    Write(*settings_, field.key, NumberText(settings.sevenParams.*field.field));
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

#include "ui/SettingsStore.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QVariant>
#include <algorithm>
#include <optional>
#include <string_view>
#include <vector>

#include "engine/SettingsCodec.h"
#include "tables/EllipsoidCatalogue.h"
#include "ui/QtText.h"

namespace tarnwell {
namespace {

const char* const kPage = "window/page";
const char* const kGeometry = "window/geometry";
const char* const kLastFolder = "file/lastFolder";
const char* const kRecentFiles = "file/recentFiles";
const char* const kRecentFilePath = "path";
constexpr int kRecentFileLimit = 8;
const char* const kTypedPoint = "point/typed";
const char* const kTypedValue = "value";
constexpr int kPointValueCount = 3;

// Where a field of the settings codec lies in the store.
QString StoreKey(std::string_view fieldKey) {
  return QStringLiteral("settings/") + QString::fromUtf8(fieldKey.data(), static_cast<qsizetype>(fieldKey.size()));
}

// Every value is written as text, so that the file reads plainly; reading
// takes a value only when it is text (a hand-edited "a, b" reads as a list,
// "@ByteArray(...)" as bytes: neither counts).
std::optional<QString> ReadText(const QSettings& settings, const QString& key) {
  const QVariant value = settings.value(key);
  if (value.typeId() != QMetaType::QString) return std::nullopt;
  return value.toString();
}

std::optional<int> ReadInteger(const QSettings& settings, const QString& key) {
  const std::optional<QString> text = ReadText(settings, key);
  if (!text || *text != text->trimmed()) return std::nullopt;
  bool isNumber = false;
  const int value = text->toInt(&isNumber, 10);
  if (!isNumber) return std::nullopt;
  return value;
}

// The records of the codec, each named once.
std::vector<std::string_view> Records() {
  std::vector<std::string_view> records;
  for (const SettingField& field : SettingFields()) {
    const std::string_view record = FieldRecord(field.key);
    if (std::find(records.begin(), records.end(), record) == records.end()) records.push_back(record);
  }
  return records;
}

// Every field of `record` over `settings`; false, with `settings` as it was,
// when one is missing or refused.
bool ReadRecord(const QSettings& store, std::string_view record, CoordSettings& settings) {
  CoordSettings read = settings;
  for (const SettingField& field : SettingFields()) {
    if (FieldRecord(field.key) != record) continue;
    const std::optional<QString> text = ReadText(store, StoreKey(field.key));
    if (!text || !field.read(ToStd(*text), read)) return false;
  }
  settings = std::move(read);
  return true;
}

// An ellipsoid the catalogue, as loaded, does not hold is no choice at all.
void KeepCatalogueEllipsoid(std::string& name, const std::string& defaultName) {
  if (!FindEllipsoidEntry(name)) name = defaultName;
}

void Write(QSettings& settings, const char* key, const QString& text) { settings.setValue(QLatin1String(key), text); }

}  // namespace

SettingsStore::SettingsStore() : settings_(std::make_unique<QSettings>()) {}

SettingsStore::SettingsStore(const QString& fileName)
    : settings_(std::make_unique<QSettings>(fileName, QSettings::IniFormat)) {}

SettingsStore::~SettingsStore() = default;

CoordSettings SettingsStore::LoadCoordSettings() const {
  CoordSettings loaded;
  for (const std::string_view record : Records()) ReadRecord(*settings_, record, loaded);
  const CoordSettings defaults;
  KeepCatalogueEllipsoid(loaded.sourceEllipsoid, defaults.sourceEllipsoid);
  KeepCatalogueEllipsoid(loaded.targetEllipsoid, defaults.targetEllipsoid);
  return loaded;
}

void SettingsStore::SaveCoordSettings(const CoordSettings& settings) {
  for (const SettingField& field : SettingFields()) settings_->setValue(StoreKey(field.key), ToQt(field.write(settings)));
  settings_->sync();
}

bool SettingsStore::RemembersTargetType() const {
  CoordSettings probe;
  return ReadRecord(*settings_, FieldRecord("targetType"), probe);
}

int SettingsStore::currentPage(int pageCount) const {
  const std::optional<int> page = ReadInteger(*settings_, QLatin1String(kPage));
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
  const std::optional<QString> folder = ReadText(*settings_, QLatin1String(kLastFolder));
  if (!folder || !QFileInfo(*folder).isAbsolute() || !QFileInfo(*folder).isDir()) return {};
  return *folder;
}

void SettingsStore::setLastFolder(const QString& folder) {
  Write(*settings_, kLastFolder, QDir::cleanPath(folder));
  settings_->sync();
}

QStringList SettingsStore::ReadTextArray(const char* array, const char* entry, int limit, bool keepEmpty) const {
  QStringList texts;
  const int count = std::min(settings_->beginReadArray(QLatin1String(array)), limit);
  for (int index = 0; index < count; ++index) {
    settings_->setArrayIndex(index);
    const std::optional<QString> text = ReadText(*settings_, QLatin1String(entry));
    if (text && (keepEmpty || !text->isEmpty())) texts << *text;
  }
  settings_->endArray();
  return texts;
}

void SettingsStore::WriteTextArray(const char* array, const char* entry, const QStringList& texts, int limit) {
  settings_->remove(QLatin1String(array));
  settings_->beginWriteArray(QLatin1String(array));
  for (int index = 0; index < std::min(static_cast<int>(texts.size()), limit); ++index) {
    settings_->setArrayIndex(index);
    Write(*settings_, entry, texts[index]);
  }
  settings_->endArray();
  settings_->sync();
}

QStringList SettingsStore::recentFiles() const {
  return ReadTextArray(kRecentFiles, kRecentFilePath, kRecentFileLimit, false);
}

void SettingsStore::setRecentFiles(const QStringList& paths) {
  WriteTextArray(kRecentFiles, kRecentFilePath, paths, kRecentFileLimit);
}

QStringList SettingsStore::typedPoint() const {
  const QStringList texts = ReadTextArray(kTypedPoint, kTypedValue, kPointValueCount, true);
  // A point is its three texts together, or nothing.
  return texts.size() == kPointValueCount ? texts : QStringList();
}

void SettingsStore::setTypedPoint(const QStringList& texts) {
  WriteTextArray(kTypedPoint, kTypedValue, texts, kPointValueCount);
}

void SettingsStore::Clear() {
  settings_->clear();
  settings_->sync();
}

QString SettingsStore::fileName() const { return settings_->fileName(); }

}  // namespace tarnwell

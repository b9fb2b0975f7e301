// What the program remembers from one run to the next, per user: the
// conversion settings (CoordSettings, every field of the settings codec,
// engine/SettingsCodec.h), the page shown, the main window's geometry, the
// folder a file was last chosen in, the coordinate files used last and the
// point typed on the single-point page.
//
// Reading never fails and never trusts the file. Each field is stored as the
// codec writes it, under "settings/" and its key, and read back with the
// codec's reader. A record of the codec (the projection, the seven and the
// four parameters, the height fit, ...) is taken whole or not at all: one
// value missing, of another type or refused gives the whole record its
// defaults, so that a damaged file can never mix remembered and default
// values into a transformation nobody chose.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <memory>

#include "engine/CoordSettings.h"

class QSettings;

namespace tarnwell {

class SettingsStore {
 public:
  // The user's own store, found by the application's organisation and
  // application names.
  SettingsStore();
  // An INI file of its own (tests).
  explicit SettingsStore(const QString& fileName);
  ~SettingsStore();
  SettingsStore(const SettingsStore&) = delete;
  SettingsStore& operator=(const SettingsStore&) = delete;

  // The remembered conversion settings over the defaults. An ellipsoid name
  // counts only when the ellipsoid catalogue, as loaded, holds it.
  CoordSettings LoadCoordSettings() const;
  void SaveCoordSettings(const CoordSettings& settings);
  // Whether a valid target type is remembered (not at the first start). The
  // window's start-up derives the target type from the source type; a
  // remembered one is chosen again after that.
  bool RemembersTargetType() const;

  // The page shown last, 0 when none or not below `pageCount`.
  int currentPage(int pageCount) const;
  void setCurrentPage(int page);

  // As QWidget::saveGeometry wrote it; empty when none.
  QByteArray windowGeometry() const;
  void setWindowGeometry(const QByteArray& geometry);

  // The folder a file was last chosen in, when it still exists; else empty.
  QString lastFolder() const;
  void setLastFolder(const QString& folder);

  // The coordinate files used last, the latest first (at most eight).
  QStringList recentFiles() const;
  void setRecentFiles(const QStringList& paths);

  // The source point last typed on the single-point page: its three texts as
  // typed, or none.
  QStringList typedPoint() const;
  void setTypedPoint(const QStringList& texts);

  // Forgets everything: the next load gives the defaults.
  void Clear();

  // Where the store lies.
  QString fileName() const;

 private:
  // An array of at most `limit` texts, each under `entry`; values that are
  // not text are skipped, and so are empty ones unless `keepEmpty`.
  QStringList ReadTextArray(const char* array, const char* entry, int limit, bool keepEmpty) const;
  void WriteTextArray(const char* array, const char* entry, const QStringList& texts, int limit);

  std::unique_ptr<QSettings> settings_;
};

}  // namespace tarnwell

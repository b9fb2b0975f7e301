#include "ui/UserEllipsoidTable.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

#include "tables/TablePaths.h"
#include "ui/QtText.h"

namespace tarnwell {

QString UserEllipsoidTablePath() {
  return QDir(QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation)).filePath(QStringLiteral("user-ellips.csv"));
}

void LoadEllipsoids() { LoadEllipsoidCatalogue(GetTablePath("ellips.csv"), ToStdPath(UserEllipsoidTablePath())); }

bool SaveUserEllipsoids(std::span<const EllipsoidRecord> records) {
  const QString path = UserEllipsoidTablePath();
  if (!QDir().mkpath(QFileInfo(path).absolutePath())) return false;
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly)) return false;
  for (const EllipsoidRecord& record : records) {
    const std::string line = EllipsoidRow(record) + '\n';
    file.write(line.data(), static_cast<qint64>(line.size()));
  }
  return file.commit();
}

}  // namespace tarnwell

#include "ui/Manual.h"

#include <QDir>
#include <QFileInfo>

#include "tables/TablePaths.h"
#include "ui/QtText.h"

namespace tarnwell {

QString FindManual() {
  // TARNWELL_INSTALLED_MANUAL: the manual's folder as installed, relative to
  // the installed program's folder (the build sets it from the install layout).
  const QDir programDirectory(ToQtPath(GetProgramDirectory()));
  for (const QString& folder : {QStringLiteral("manual"), QStringLiteral(TARNWELL_INSTALLED_MANUAL)}) {
    const QString index = QDir::cleanPath(programDirectory.filePath(folder + QStringLiteral("/index.html")));
    if (QFileInfo(index).isFile()) return index;
  }
  return {};
}

}  // namespace tarnwell

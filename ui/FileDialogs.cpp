#include "ui/FileDialogs.h"

#include <QFileDialog>

#include "tables/TablePaths.h"
#include "ui/QtText.h"

namespace tarnwell {

QString OpenCoordinateFile(QWidget* parent) {
  return QFileDialog::getOpenFileName(parent, QString(), ToQtPath(GetProgramDirectory()),
                                      QStringLiteral("CSV File (*.csv);;All Files (*.*)"));
}

}  // namespace tarnwell

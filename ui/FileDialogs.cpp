#include "ui/FileDialogs.h"

#include <QFileDialog>
#include <QFileInfo>

#include "tables/TablePaths.h"
#include "ui/QtText.h"
#include "ui/SettingsStore.h"

namespace tarnwell {
namespace {

// The dialogs are the user-interface thread's alone.
SettingsStore* folderStore = nullptr;
QString folderThisRun;

const QString kParameterFileFilter = QStringLiteral("参数文件 (*.twp);;所有文件 (*)");

QString StartFolder() {
  const QString remembered = folderStore ? folderStore->lastFolder() : folderThisRun;
  return remembered.isEmpty() ? ToQtPath(GetProgramDirectory()) : remembered;
}

void RememberFolderOf(const QString& path) {
  const QString folder = QFileInfo(path).absolutePath();
  if (folderStore) {
    folderStore->setLastFolder(folder);
  } else {
    folderThisRun = folder;
  }
}

}  // namespace

QString OpenCoordinateFile(QWidget* parent) {
  const QString path = QFileDialog::getOpenFileName(parent, QStringLiteral("打开坐标文件"), StartFolder(),
                                                    QStringLiteral("CSV 文件 (*.csv);;所有文件 (*)"));
  if (!path.isEmpty()) RememberFolderOf(path);
  return path;
}

QString OpenParameterFile(QWidget* parent) {
  const QString path =
      QFileDialog::getOpenFileName(parent, QStringLiteral("打开参数"), StartFolder(), kParameterFileFilter);
  if (!path.isEmpty()) RememberFolderOf(path);
  return path;
}

QString SaveParameterFile(QWidget* parent) {
  const QString path =
      QFileDialog::getSaveFileName(parent, QStringLiteral("保存参数"), StartFolder(), kParameterFileFilter);
  if (!path.isEmpty()) RememberFolderOf(path);
  return path;
}

QString SaveReportFile(QWidget* parent) {
  const QString path = QFileDialog::getSaveFileName(
      parent, QStringLiteral("导出报告"), StartFolder(),
      QStringLiteral("HTML 报告 (*.html);;PDF 报告 (*.pdf);;CSV 报告 (*.csv)"));
  if (!path.isEmpty()) RememberFolderOf(path);
  return path;
}

void KeepFileDialogFolderIn(SettingsStore* store) { folderStore = store; }

}  // namespace tarnwell

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

QString OpenCoordinateFiles(QWidget* parent) {
  const QStringList paths = QFileDialog::getOpenFileNames(parent, QStringLiteral("打开坐标文件"), StartFolder(),
                                                          QStringLiteral("CSV 文件 (*.csv);;所有文件 (*)"));
  if (!paths.isEmpty()) RememberFolderOf(paths.front());
  return JoinPaths(paths);
}

QString ChooseFolder(QWidget* parent, const QString& title) {
  const QString folder = QFileDialog::getExistingDirectory(parent, title, StartFolder());
  if (!folder.isEmpty()) RememberFolderOf(folder + QStringLiteral("/."));
  return folder;
}

QString SaveConvertedFile(QWidget* parent) {
  const QString path = QFileDialog::getSaveFileName(parent, QStringLiteral("输出文件"), StartFolder(),
                                                    QStringLiteral("CSV 文件 (*.csv);;所有文件 (*)"));
  if (!path.isEmpty()) RememberFolderOf(path);
  return path;
}

QString JoinPaths(const QStringList& paths) {
  if (paths.size() == 1) return paths.front();
  QStringList quoted;
  for (const QString& path : paths) quoted << QLatin1Char('"') + path + QLatin1Char('"');
  return quoted.join(QLatin1Char(' '));
}

QStringList SplitPaths(const QString& line) {
  const QString trimmed = line.trimmed();
  if (!trimmed.startsWith(QLatin1Char('"'))) return trimmed.isEmpty() ? QStringList() : QStringList{trimmed};
  QStringList paths;
  for (qsizetype start = trimmed.indexOf(QLatin1Char('"')); start >= 0;) {
    const qsizetype end = trimmed.indexOf(QLatin1Char('"'), start + 1);
    if (end < 0) break;
    if (end > start + 1) paths << trimmed.mid(start + 1, end - start - 1);
    start = trimmed.indexOf(QLatin1Char('"'), end + 1);
  }
  return paths;
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

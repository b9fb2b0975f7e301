// The file dialogs of the pages and of the parameter files, all starting in
// the folder a file was last chosen in.
#pragma once

#include <QString>
#include <QStringList>
#include <functional>

class QWidget;

namespace tarnwell {

class SettingsStore;

// Asks for an existing coordinate file, offering "CSV 文件 (*.csv)" first and
// "所有文件 (*)", starting in the folder a file was last chosen in (the
// program directory before the first choice). Empty when the user cancels.
QString OpenCoordinateFile(QWidget* parent);

// The same, allowing several files: one path, or several in the form of
// the file page's input box ("a.csv" "b.csv", see JoinPaths).
QString OpenCoordinateFiles(QWidget* parent);

// Asks for a folder, starting in the same folder. Empty when the user cancels.
QString ChooseFolder(QWidget* parent, const QString& title);

// Asks for the name of a converted file, starting in the same folder.
QString SaveConvertedFile(QWidget* parent);

// Several paths in one line, each in double quotes, as file dialogs show
// them; one path stands alone.
QString JoinPaths(const QStringList& paths);
// The paths of such a line: those in double quotes when it begins with
// one, else the line itself (blanks at its ends dropped); none when empty.
QStringList SplitPaths(const QString& line);

// Asks for a parameter file to open, or for the name to save parameters
// under, offering "参数文件 (*.twp)"
// and "所有文件 (*)", starting in the same folder. Empty when the user cancels.
QString OpenParameterFile(QWidget* parent);
QString SaveParameterFile(QWidget* parent);

// Asks for the name to export a report under, offering HTML, PDF and CSV.
QString SaveReportFile(QWidget* parent);

// Where that folder is kept: in `store` (which must outlive its use here),
// or, with none, for this run only.
void KeepFileDialogFolderIn(SettingsStore* store);

// How a page asks for the file to read: given the page as the dialog's
// parent, the chosen path, or empty for none. The pages use
// OpenCoordinateFile unless given another (tests choose without a dialog).
using FileChooser = std::function<QString(QWidget* parent)>;

}  // namespace tarnwell

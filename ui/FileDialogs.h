// The file dialogs of the pages and of the parameter files, all starting in
// the folder a file was last chosen in.
#pragma once

#include <QString>
#include <functional>

class QWidget;

namespace tarnwell {

class SettingsStore;

// Asks for an existing coordinate file, offering "CSV 文件 (*.csv)" first and
// "所有文件 (*)", starting in the folder a file was last chosen in (the
// program directory before the first choice). Empty when the user cancels.
QString OpenCoordinateFile(QWidget* parent);

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

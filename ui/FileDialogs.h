// The file-open dialog of the file page and of the seven-parameter page.
#pragma once

#include <QString>
#include <functional>

class QWidget;

namespace tarnwell {

// Asks for an existing coordinate file, offering "CSV File (*.csv)" first and
// "All Files (*.*)", starting in the program directory. Empty when the user
// cancels.
QString OpenCoordinateFile(QWidget* parent);

// How a page asks for the file to read: given the page as the dialog's
// parent, the chosen path, or empty for none. The pages use
// OpenCoordinateFile unless given another (tests choose without a dialog).
using FileChooser = std::function<QString(QWidget* parent)>;

}  // namespace tarnwell

// The file-open dialog of the file page and of the seven-parameter page.
#pragma once

#include <QString>

class QWidget;

namespace tarnwell {

// Asks for an existing coordinate file, offering "CSV File (*.csv)" first and
// "All Files (*.*)", starting in the program directory. Empty when the user
// cancels.
QString OpenCoordinateFile(QWidget* parent);

}  // namespace tarnwell

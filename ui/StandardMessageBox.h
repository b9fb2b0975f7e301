// The application's standard message box: modal over the active window, one
// OK button, the warning icon, the caption "Tarnwell". Every message of the
// program is shown with it.
#pragma once

#include <QString>

class QWidget;

namespace tarnwell {

// Shows `text` and returns when the user has closed the box. May be called
// from any thread: a worker's message is shown on the user-interface thread
// and the worker waits for it.
void ShowStandardMessageBox(const QString& text);

// Routes every message of the core to the standard message box.
void InstallStandardMessageBox();

// The standard question box: modal over `parent`, the question icon, the
// caption "Tarnwell", the buttons "是" and "否" ("否" the default, so that a
// stray Enter keeps things as they are). True for "是".
bool AskStandardQuestion(QWidget* parent, const QString& text);

}  // namespace tarnwell

// The "OK" and "Cancel" buttons of the settings dialogs.
#pragma once

#include <Qt>

class QDialog;
class QHBoxLayout;

namespace tarnwell {

// A row with the buttons "OK" (default, named okButton, runs accept) and
// "Cancel" (named cancelButton, runs reject), at the left or right end.
QHBoxLayout* MakeOkCancelRow(QDialog* dialog, Qt::Alignment side);

}  // namespace tarnwell

// The OK and Cancel buttons of the settings dialogs, "确定" and "取消".
#pragma once

#include <Qt>

class QDialog;
class QHBoxLayout;

namespace tarnwell {

// A row with the buttons "确定" (OK: default, named okButton, runs accept)
// and "取消" (Cancel: named cancelButton, runs reject), at the left or right
// end.
QHBoxLayout* MakeOkCancelRow(QDialog* dialog, Qt::Alignment side);

}  // namespace tarnwell

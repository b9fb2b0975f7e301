// The program's own icon, for the windows and the About box.
#pragma once

#include <QIcon>

namespace tarnwell {

QIcon ProgramIcon();

}  // namespace tarnwell

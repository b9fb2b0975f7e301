#include "ui/ProgramIcon.h"

namespace tarnwell {

QIcon ProgramIcon() { return QIcon(QStringLiteral(":/tarnwell.png")); }

}  // namespace tarnwell

// The user manual: HTML pages shipped with the program, in "manual" beside
// the program file (the build tree) or in the installation's documentation
// folder.
#pragma once

#include <QString>

namespace tarnwell {

// The manual's index.html, or empty when neither place holds it.
QString FindManual();

}  // namespace tarnwell

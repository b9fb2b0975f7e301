// The six type radios of the main window as one comparable text.
#pragma once

#include <QRadioButton>
#include <QString>
#include <QStringList>

#include "UiTestSupport.h"

namespace tarnwell::test {

// The check and enabled state of the six type radios: "sourceSpace=on+" is
// checked and enabled, "targetPlan=off-" unchecked and disabled.
inline QString RadioStates(const QWidget* window) {
  QStringList states;
  for (const char* name : {"sourceSpace", "sourceLB", "sourcePlan", "targetSpace", "targetLB", "targetPlan"}) {
    const auto* radio = Child<QRadioButton>(window, name);
    states << QString("%1=%2%3").arg(name, radio->isChecked() ? "on" : "off", radio->isEnabled() ? "+" : "-");
  }
  return states.join(' ');
}

}  // namespace tarnwell::test

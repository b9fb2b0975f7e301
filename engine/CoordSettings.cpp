#include "engine/CoordSettings.h"

namespace tarnwell {

CoordSettings& CoordSettings::instance() {
  static CoordSettings settings;
  return settings;
}

}  // namespace tarnwell

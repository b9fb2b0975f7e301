#include "estimate/ThreeParameters.h"

#include "engine/CoordSettings.h"
#include "engine/Messages.h"
#include "engine/NumberText.h"
#include "engine/PointConversion.h"

namespace tarnwell {

bool ComputeThreeParameters(std::string sourceB, std::string sourceL, std::string sourceH,
                            std::string targetB, std::string targetL, std::string targetH) {
  CoordSettings& settings = CoordSettings::instance();
  if (settings.sourceEllipsoid == settings.targetEllipsoid) {
    ShowMessage("椭球必须不同.");
    return false;
  }
  // Each conversion shows its own message; a bad source stops before the
  // target is looked at.
  if (!ConvertLBToSpace(ConversionSide::Source, sourceB, sourceL, sourceH)) return false;
  if (!ConvertLBToSpace(ConversionSide::Target, targetB, targetL, targetH)) return false;

  SevenParams shift;  // rotations and scale stay 0: a pure translation
  shift.dX = ParseNumber(targetB) - ParseNumber(sourceB);
  shift.dY = ParseNumber(targetL) - ParseNumber(sourceL);
  shift.dZ = ParseNumber(targetH) - ParseNumber(sourceH);
  settings.sevenParams = shift;
  return true;
}

}  // namespace tarnwell

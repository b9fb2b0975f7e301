#include "engine/PointConversion.h"

#include "engine/ConversionPlan.h"
#include "engine/Messages.h"

namespace tarnwell {

bool ConvertPoint(TextBox& source1, TextBox& target1, TextBox& source2, TextBox& target2,
                  TextBox& source3, TextBox& target3) {
  const std::string first = source1.GetText(), second = source2.GetText(), third = source3.GetText();
  const std::optional<ConversionPlan> plan = ConversionPlan::FromSettings(CoordSettings::instance());
  if (!plan) return false;
  std::array<std::string, 3> texts = {first, second, third};
  // A pair without a conversion shows the input as typed.
  if (plan->route() != Route::SameLB && plan->route() != Route::NoConversion) {
    TargetPoint target;
    if (const Refusal refusal = plan->Convert(first, second, third, target); !refusal.empty()) {
      ShowMessage(std::string(refusal));
      return false;
    }
    texts = plan->Texts(target);
  }
  target1.SetText(texts[0]);
  target2.SetText(texts[1]);
  target3.SetText(texts[2]);
  return true;
}

}  // namespace tarnwell

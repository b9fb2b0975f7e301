// The single-point conversion: one point, as three texts in the source
// coordinate type, becomes three texts in the target coordinate type, with
// the settings in force at that moment.
//
// A point is three texts: B, L, h for "LB"; north x, east y, height h for
// "Plan"; X, Y, Z for "Space".
#pragma once

#include <string>

namespace tarnwell {

// Anything that holds a text the conversion may read and write: an edit box
// of the single-point page, or a plain string in a test.
class TextBox {
 public:
  virtual ~TextBox() = default;
  virtual std::string GetText() const = 0;
  virtual void SetText(const std::string& text) = 0;
};

// Reads the three source boxes, converts with a plan made from
// CoordSettings, and writes the three target boxes; true when it wrote them.
// After a refusal (its message shown) the target boxes keep what they held;
// where the pair of types has no conversion, each source text is copied as
// typed.
bool ConvertPoint(TextBox& source1, TextBox& target1, TextBox& source2, TextBox& target2,
                  TextBox& source3, TextBox& target3);

}  // namespace tarnwell

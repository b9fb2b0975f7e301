// The point conversion pipeline: one point, as three texts in the source
// coordinate type, becomes three texts in the target coordinate type, with the
// settings CoordSettings holds at that moment.
//
// A point is three texts: B, L, h for "LB"; north x, east y, height h for
// "Plan"; X, Y, Z for "Space". The conversions rewrite them in place and
// report every refusal through ShowMessage with a fixed text.
#pragma once

#include <string>

namespace tarnwell {

enum class ConversionSide { Source, Target };

// Anything that holds a text the pipeline may read and write: an edit box of
// the single-point page, or a plain string in a test.
class TextBox {
 public:
  virtual ~TextBox() = default;
  virtual std::string GetText() const = 0;
  virtual void SetText(const std::string& text) = 0;
};

// Reads the three source boxes, converts, and writes the three target boxes.
// After a refusal or failure the target boxes keep what they held; where the
// pair of types has no conversion, each source text is copied as typed.
void ConvertPoint(TextBox& source1, TextBox& target1, TextBox& source2, TextBox& target2,
                  TextBox& source3, TextBox& target3);

// Converts one record of a coordinate file in place; false when it was
// refused (with a message where there is something to say).
bool ConvertRecord(std::string& first, std::string& second, std::string& third);

// The conversions themselves, also used by the parameter estimation. Each
// trims blanks around its texts, looks the side's ellipsoid up in the
// catalogue and refuses a name the catalogue does not hold.
bool ConvertLBToSpace(ConversionSide side, std::string& first, std::string& second, std::string& third);
bool ConvertLBToPlan(std::string& first, std::string& second, std::string& third);
bool ConvertSpaceToLB(ConversionSide side, std::string& first, std::string& second, std::string& third);
bool ConvertPlanToLB(std::string& first, std::string& second, std::string& third);

// Source "LB" on the source ellipsoid, through the Bursa-Wolf transformation,
// to target "LB" on the target ellipsoid.
bool ConvertWithSevenParams(std::string& first, std::string& second, std::string& third);

}  // namespace tarnwell

#include "engine/Refusal.h"

#include <cmath>
#include <cstdio>
#include <string_view>

namespace tarnwell {
namespace {

std::string_view FixedText(RefusalReason reason) {
  switch (reason) {
    case RefusalReason::None: return {};
    case RefusalReason::EllipsoidsMustDiffer: return "椭球必须不同.";
    case RefusalReason::EllipsoidsMustMatch: return "椭球必须相同.";
    case RefusalReason::SameSystem: return "选择正确的目的坐标类型.";
    // On the way from the source to earth-centred coordinates the message has
    // no final full stop, everywhere else it has one.
    case RefusalReason::SourceFormat: return "坐标格式错误,请检查";
    case RefusalReason::Format: return "坐标格式错误,请检查.";
    case RefusalReason::EllipsoidMissing: return "椭球不存在,请检查.";
    case RefusalReason::EllipsoidValues: return "椭球参数错误,请检查.";
    case RefusalReason::Projection: return "投影参数错误,请检查.";
    case RefusalReason::FourParams: return "四参数错误,请检查.";
    case RefusalReason::ConversionFailed: return "坐标转换失败,请检查.";
    case RefusalReason::ZoneNumber: return "坐标带号错误,请检查.";
    case RefusalReason::DatumParams: return "七参数错误,请检查.";
    case RefusalReason::DatumPair: return "七参数不适用于所选椭球,请检查.";
    case RefusalReason::NormalHeightModel: return "正常高需要高程模型或高程异常拟合,请检查.";
    case RefusalReason::AnomalyFit: return "高程异常拟合参数错误,请检查.";
    case RefusalReason::GeoidUnreadable: return "高程模型无法读取,请检查.";
    case RefusalReason::GeoidOutside: return "点位超出高程模型范围,请检查.";
    case RefusalReason::GeoidNoValue: return "高程模型在该点无值,请检查.";
  }
  return {};
}

}  // namespace

std::string ShortNumberText(double value) {
  // Enough digits to tell the value, none of the noise of a conversion, and
  // an exponent rather than a screenful of digits for a wild value.
  char text[32];
  std::snprintf(text, sizeof text, "%.10g", value);
  return text;
}

std::string DegreesText(double degrees) { return ShortNumberText(degrees) + "°"; }

std::string KilometresText(double metres) { return ShortNumberText(std::round(metres) / 1000) + " km"; }

std::string LatitudeRangeDetail(double latitude) { return "纬度 " + DegreesText(latitude) + " 超出 ±90°"; }

std::string MessageText(const Refusal& refusal) {
  std::string text(FixedText(refusal.reason));
  if (!refusal.detail.empty()) {
    text += '\n';
    text += refusal.detail;
  }
  return text;
}

}  // namespace tarnwell

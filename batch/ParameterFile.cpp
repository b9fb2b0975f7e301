#include "batch/ParameterFile.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

#include "batch/AtomicFileWriter.h"
#include "engine/Messages.h"
#include "tables/NumberText.h"
#include "tables/TextLineReader.h"

namespace tarnwell {
namespace {

constexpr std::string_view kVersionKey = "version";
constexpr std::string_view kVersion = "1";
constexpr std::string_view kBadFile = "参数文件格式不正确，请检查。";

// Values as text and back. Reading takes only a text that is wholly a value
// of the type.
std::string ValueText(const std::string& text) { return text; }
std::string ValueText(bool on) { return on ? "true" : "false"; }
std::string ValueText(int number) { return std::to_string(number); }
std::string ValueText(double number) {
  char digits[32];
  const std::to_chars_result end = std::to_chars(digits, digits + sizeof digits, number);
  return std::string(digits, end.ptr);
}

constexpr std::pair<std::string_view, HeightModel> kHeightModels[] = {
    {"constant", HeightModel::Constant}, {"plane", HeightModel::Plane}, {"quadratic", HeightModel::Quadratic}};

std::string ValueText(HeightModel model) {
  for (const auto& [name, value] : kHeightModels) {
    if (value == model) return std::string(name);
  }
  return {};
}

bool ReadValue(std::string_view text, std::string& value) {
  value = text;
  return true;
}
bool ReadValue(std::string_view text, bool& value) {
  if (text != "true" && text != "false") return false;
  value = text == "true";
  return true;
}
bool ReadValue(std::string_view text, int& value) {
  const std::from_chars_result end = std::from_chars(text.data(), text.data() + text.size(), value);
  return end.ec == std::errc() && end.ptr == text.data() + text.size() && !text.empty();
}
bool ReadValue(std::string_view text, double& value) { return ReadNumber(text, value); }
bool ReadValue(std::string_view text, HeightModel& value) {
  for (const auto& [name, model] : kHeightModels) {
    if (text == name) {
      value = model;
      return true;
    }
  }
  return false;
}

// One key of the file: how its value is written from the settings and read
// into them.
struct Field {
  std::string_view key;
  std::function<std::string(const CoordSettings&)> write;
  std::function<bool(std::string_view, CoordSettings&)> read;  // false for a bad value
};

// `access` leads from the settings to the value, for reading and writing
// alike; `valid`, when given, is what a value read must satisfy besides its
// type.
template <typename Value, typename Access>
Field MakeField(std::string_view key, Access access, std::function<bool(const Value&)> valid = {}) {
  return {key, [access](const CoordSettings& settings) { return ValueText(access(settings)); },
          [access, valid](std::string_view text, CoordSettings& settings) {
            Value value{};
            if (!ReadValue(text, value) || (valid && !valid(value))) return false;
            access(settings) = value;
            return true;
          }};
}

bool NotEmpty(const std::string& text) { return !text.empty(); }

// A projection parameter: a number, or "NULL" where the projection uses none.
bool NumberOrNull(const std::string& text) {
  double ignored;
  return text == "NULL" || ReadNumber(text, ignored);
}

bool UsableScale(const double& ppm) {
  FourParams params;
  params.scalePpm = ppm;
  return IsUsable(params);
}

// The keys in the order they are written.
const std::vector<Field>& Fields() {
  static const std::vector<Field> fields = [] {
    std::vector<Field> all = {
        MakeField<std::string>("sourceEllipsoid", [](auto& s) -> auto& { return s.sourceEllipsoid; }, NotEmpty),
        MakeField<std::string>("targetEllipsoid", [](auto& s) -> auto& { return s.targetEllipsoid; }, NotEmpty),
        MakeField<std::string>("projection.projKey", [](auto& s) -> auto& { return s.projection.projKey; }, NotEmpty),
        MakeField<std::string>("projection.description", [](auto& s) -> auto& { return s.projection.description; }),
    };
    const std::pair<std::string_view, std::string ProjectionParams::*> parameters[] = {
        {"projection.centralMeridian", &ProjectionParams::centralMeridian},
        {"projection.scaleFactor", &ProjectionParams::scaleFactor},
        {"projection.falseNorthing", &ProjectionParams::falseNorthing},
        {"projection.falseEasting", &ProjectionParams::falseEasting},
        {"projection.originLatitude", &ProjectionParams::originLatitude},
        {"projection.latitude1", &ProjectionParams::latitude1},
        {"projection.latitude2", &ProjectionParams::latitude2},
        {"projection.surfaceHeight", &ProjectionParams::surfaceHeight},
    };
    for (const auto& [key, member] : parameters) {
      all.push_back(MakeField<std::string>(
          key, [member](auto& s) -> auto& { return s.projection.*member; }, NumberOrNull));
    }
    const std::vector<Field> rest = {
        MakeField<std::string>("projection.auxEllipsoid", [](auto& s) -> auto& { return s.projection.auxEllipsoid; }),
        MakeField<int>("projection.listIndex", [](auto& s) -> auto& { return s.projection.listIndex; },
                       [](const int& index) { return index >= 0; }),
        MakeField<int>("projection.zoneWidth", [](auto& s) -> auto& { return s.projection.zoneWidth; },
                       [](const int& width) { return width == 0 || width == 3 || width == 6; }),
        // Up to the 120 zones of 3°.
        MakeField<int>("projection.zone", [](auto& s) -> auto& { return s.projection.zone; },
                       [](const int& zone) { return zone >= 0 && zone <= 120; }),
        MakeField<bool>("projection.zonePrefix", [](auto& s) -> auto& { return s.projection.zonePrefix; }),
        MakeField<bool>("projection.autoZone", [](auto& s) -> auto& { return s.projection.autoZone; }),
        MakeField<bool>("projection.south", [](auto& s) -> auto& { return s.projection.south; }),
        MakeField<std::string>("datumModel", [](auto& s) -> auto& { return s.datumModel; }, NotEmpty),
        MakeField<bool>("useSevenParams", [](auto& s) -> auto& { return s.useSevenParams; }),
        MakeField<double>("seven.dX", [](auto& s) -> auto& { return s.sevenParams.dX; }),
        MakeField<double>("seven.dY", [](auto& s) -> auto& { return s.sevenParams.dY; }),
        MakeField<double>("seven.dZ", [](auto& s) -> auto& { return s.sevenParams.dZ; }),
        MakeField<double>("seven.rX", [](auto& s) -> auto& { return s.sevenParams.rX; }),
        MakeField<double>("seven.rY", [](auto& s) -> auto& { return s.sevenParams.rY; }),
        MakeField<double>("seven.rZ", [](auto& s) -> auto& { return s.sevenParams.rZ; }),
        MakeField<double>("seven.scalePpm", [](auto& s) -> auto& { return s.sevenParams.scalePpm; }),
        MakeField<bool>("useFourParams", [](auto& s) -> auto& { return s.useFourParams; }),
        MakeField<double>("four.dNorth", [](auto& s) -> auto& { return s.fourParams.dNorth; }),
        MakeField<double>("four.dEast", [](auto& s) -> auto& { return s.fourParams.dEast; }),
        MakeField<double>("four.rotationArcSeconds", [](auto& s) -> auto& { return s.fourParams.rotationArcSeconds; }),
        MakeField<double>("four.scalePpm", [](auto& s) -> auto& { return s.fourParams.scalePpm; }, UsableScale),
        MakeField<HeightModel>("heightFit.model", [](auto& s) -> auto& { return s.heightFit.model; }),
        MakeField<double>("heightFit.centroidNorth", [](auto& s) -> auto& { return s.heightFit.centroid.north; }),
        MakeField<double>("heightFit.centroidEast", [](auto& s) -> auto& { return s.heightFit.centroid.east; }),
    };
    all.insert(all.end(), rest.begin(), rest.end());
    constexpr std::string_view kCoefficientKeys[] = {"heightFit.a0", "heightFit.a1", "heightFit.a2",
                                                     "heightFit.a3", "heightFit.a4", "heightFit.a5"};
    for (std::size_t term = 0; term < std::size(kCoefficientKeys); ++term) {
      all.push_back(MakeField<double>(kCoefficientKeys[term],
                                      [term](auto& s) -> auto& { return s.heightFit.coefficients[term]; }));
    }
    return all;
  }();
  return fields;
}

const Field* FindField(std::string_view key) {
  for (const Field& field : Fields()) {
    if (field.key == key) return &field;
  }
  return nullptr;
}

bool Refuse(std::uint64_t lineNumber, std::string_view line) {
  ShowMessage(MessageWithLine(kBadFile, lineNumber, line));
  return false;
}

// Reads every line into `settings`; false, with the message shown, at the
// first line that is not right or when a key is missing.
bool ReadLines(TextLineReader& reader, CoordSettings& settings) {
  std::vector<std::string_view> seen;  // keys of Fields(), which outlive this
  bool versionRead = false;
  std::uint64_t lineNumber = 0;
  std::string_view line;
  while (reader.NextLine(line)) {
    ++lineNumber;
    // A byte-order mark some editors put before the first line.
    if (lineNumber == 1 && line.starts_with("\xEF\xBB\xBF")) line.remove_prefix(3);
    if (line.empty() || line.front() == '#') continue;
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos) return Refuse(lineNumber, line);
    const std::string_view key = line.substr(0, equals), value = line.substr(equals + 1);
    if (!versionRead) {
      // The version comes first: what follows it is read by its rules.
      if (key != kVersionKey || value != kVersion) return Refuse(lineNumber, line);
      versionRead = true;
      continue;
    }
    const Field* field = FindField(key);
    if (!field || std::find(seen.begin(), seen.end(), field->key) != seen.end() || !field->read(value, settings)) {
      return Refuse(lineNumber, line);
    }
    seen.push_back(field->key);
  }
  if (reader.ReadFailed()) {
    ShowMessage("参数文件无法读取。");
    return false;
  }
  if (!versionRead) return Refuse(lineNumber, "");
  for (const Field& field : Fields()) {
    if (std::find(seen.begin(), seen.end(), field.key) == seen.end()) {
      ShowMessage(std::string(kBadFile) + "\n缺少: " + std::string(field.key));
      return false;
    }
  }
  return true;
}

}  // namespace

std::string ParameterFileText(const CoordSettings& settings) {
  std::string text = "# Tarnwell 参数文件\n";
  text.append(kVersionKey).append("=").append(kVersion).append("\n");
  for (const Field& field : Fields()) text.append(field.key).append("=").append(field.write(settings)).append("\n");
  return text;
}

bool WriteParameterFile(const std::string& path, const CoordSettings& settings) {
  AtomicFileWriter writer;
  if (!writer.Open(path) || !writer.Append(ParameterFileText(settings)) || !writer.Commit()) {
    ShowMessage("参数文件无法写入: " + path);
    return false;
  }
  return true;
}

std::optional<CoordSettings> ReadParameterFile(const std::string& path, const CoordSettings& base) {
  TextLineReader reader;
  if (!reader.Open(path)) {
    ShowMessage("参数文件无法读取。");
    return std::nullopt;
  }
  CoordSettings settings = base;
  if (!ReadLines(reader, settings)) return std::nullopt;
  return settings;
}

}  // namespace tarnwell

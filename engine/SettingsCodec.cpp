#include "engine/SettingsCodec.h"

#include <algorithm>
#include <charconv>
#include <vector>

#include "engine/SettingRanges.h"
#include "tables/NumberText.h"

namespace tarnwell {
namespace {

// Values as text and back. Reading takes only a text that is wholly a value
// of the type, within `range` where the type has one.
std::string ValueText(const std::string& text) { return text; }
std::string ValueText(bool on) { return on ? "true" : "false"; }
std::string ValueText(int number) { return std::to_string(number); }
std::string ValueText(double number) {
  std::string text;
  AppendShortestNumber(number, text);
  return text;
}
std::string ValueText(const std::optional<double>& number) { return number ? ValueText(*number) : std::string(); }
template <typename Enum>
std::string ValueText(std::span<const Keyword<Enum>> keywords, Enum value) {
  return std::string(KeywordOf(keywords, value));
}

// A name of the ellipsoid catalogue: not empty, on one line.
bool ReadName(std::string_view text, std::string& name) {
  if (text.empty() || text.find_first_of("\r\n") != std::string_view::npos) return false;
  name = text;
  return true;
}
bool ReadSwitch(std::string_view text, bool& on) {
  if (text != "true" && text != "false") return false;
  on = text == "true";
  return true;
}
bool ReadInteger(std::string_view text, Range range, int& value) {
  int read = 0;
  const std::from_chars_result end = std::from_chars(text.data(), text.data() + text.size(), read);
  if (text.empty() || end.ec != std::errc() || end.ptr != text.data() + text.size() || !range.Holds(read))
    return false;
  value = read;
  return true;
}
bool ReadDouble(std::string_view text, Range range, double& value) {
  double read;
  if (!ReadNumber(text, read) || !range.Holds(read)) return false;
  value = read;
  return true;
}
bool ReadOptionalDouble(std::string_view text, Range range, std::optional<double>& value) {
  if (text.empty()) {
    value.reset();
    return true;
  }
  double read;
  if (!ReadDouble(text, range, read)) return false;
  value = read;
  return true;
}

// The header lines of a file layout: a count, or "auto".
constexpr std::string_view kAutomaticHeaderText = "auto";
constexpr Range kHeaderLinesRange = {0, kMaxHeaderLines};
std::string HeaderLinesText(int headerLines) {
  return headerLines == kAutomaticHeader ? std::string(kAutomaticHeaderText) : ValueText(headerLines);
}
bool ReadHeaderLines(std::string_view text, int& headerLines) {
  if (text != kAutomaticHeaderText) return ReadInteger(text, kHeaderLinesRange, headerLines);
  headerLines = kAutomaticHeader;
  return true;
}

struct FieldMaker {
  std::vector<SettingField>& fields;
  FieldScope scope = FieldScope::Parameters;
  int since = 1;

  // `access` leads from the settings to the value, for reading and writing alike.
  template <typename Access>
  void Name(std::string_view key, std::string_view option, Access access) {
    Add(key, option, [access](const CoordSettings& s) { return ValueText(access(s)); },
        [access](std::string_view text, CoordSettings& s) { return ReadName(text, access(s)); });
  }
  template <typename Access>
  void Switch(std::string_view key, Access access) {
    Add(key, {}, [access](const CoordSettings& s) { return ValueText(access(s)); },
        [access](std::string_view text, CoordSettings& s) { return ReadSwitch(text, access(s)); });
  }
  // `step`: the values are whole multiples of it within the range.
  template <typename Access>
  void Integer(std::string_view key, std::string_view option, Range range, Access access, int step = 1) {
    Add(key, option, [access](const CoordSettings& s) { return ValueText(access(s)); },
        [access, range, step](std::string_view text, CoordSettings& s) {
          int value = 0;
          if (!ReadInteger(text, range, value) || value % step != 0) return false;
          access(s) = value;
          return true;
        });
  }
  template <typename Access>
  void Number(std::string_view key, std::string_view option, Range range, Access access) {
    Add(key, option, [access](const CoordSettings& s) { return ValueText(access(s)); },
        [access, range](std::string_view text, CoordSettings& s) {
          if constexpr (std::is_same_v<std::decay_t<decltype(access(s))>, double>)
            return ReadDouble(text, range, access(s));
          else
            return ReadOptionalDouble(text, range, access(s));
        });
  }
  template <typename Enum, typename Access>
  void Choice(std::string_view key, std::string_view option, std::span<const Keyword<Enum>> keywords, Access access) {
    Add(key, option, [access, keywords](const CoordSettings& s) { return ValueText(keywords, access(s)); },
        [access, keywords](std::string_view text, CoordSettings& s) { return ReadKeyword(keywords, text, access(s)); });
  }
  // Any text, as it stands (a projection's description, a file's path).
  template <typename Access>
  void Text(std::string_view key, std::string_view option, Access access) {
    Add(key, option, [access](const CoordSettings& s) { return ValueText(access(s)); },
        [access](std::string_view text, CoordSettings& s) {
          access(s) = text;
          return true;
        });
  }

  void Add(std::string_view key, std::string_view option, std::function<std::string(const CoordSettings&)> write,
           std::function<bool(std::string_view, CoordSettings&)> read) {
    fields.push_back({key, option, scope, since, std::move(write), std::move(read)});
  }
};

// The keys and options of one projection record, the target's ("projection.",
// "--lon0") or the source's own ("sourceProjection.", "--from-lon0").
struct ProjectionKeys {
  std::string_view projKey, description, listIndex, zoneWidth, zone, zonePrefix, autoZone, south;
  struct Parameter {
    std::string_view key, option;
    ProjectionParameter field;
    Range range;
  };
  Parameter parameters[8];
  std::string_view zoneWidthOption, zoneOption;
};

constexpr ProjectionKeys kTargetProjectionKeys = {
    "projection.projKey", "projection.description", "projection.listIndex", "projection.zoneWidth",
    "projection.zone", "projection.zonePrefix", "projection.autoZone", "projection.south",
    {{"projection.centralMeridian", "--lon0", &ProjectionParams::centralMeridian, kLongitudeRange},
     {"projection.scaleFactor", "--k", &ProjectionParams::scaleFactor, kScaleFactorRange},
     {"projection.falseNorthing", "--y0", &ProjectionParams::falseNorthing, kFalseOffsetRange},
     {"projection.falseEasting", "--x0", &ProjectionParams::falseEasting, kFalseOffsetRange},
     {"projection.originLatitude", "--lat0", &ProjectionParams::originLatitude, kLatitudeRange},
     {"projection.latitude1", "--lat1", &ProjectionParams::latitude1, kLatitudeRange},
     {"projection.latitude2", "--lat2", &ProjectionParams::latitude2, kLatitudeRange},
     {"projection.surfaceHeight", "--plane-height", &ProjectionParams::surfaceHeight, kPlaneHeightRange}},
    "--zone-width", "--zone"};

constexpr ProjectionKeys kSourceProjectionKeys = {
    "sourceProjection.projKey", "sourceProjection.description", "sourceProjection.listIndex",
    "sourceProjection.zoneWidth", "sourceProjection.zone", "sourceProjection.zonePrefix",
    "sourceProjection.autoZone", "sourceProjection.south",
    {{"sourceProjection.centralMeridian", "--from-lon0", &ProjectionParams::centralMeridian, kLongitudeRange},
     {"sourceProjection.scaleFactor", "--from-k", &ProjectionParams::scaleFactor, kScaleFactorRange},
     {"sourceProjection.falseNorthing", "--from-y0", &ProjectionParams::falseNorthing, kFalseOffsetRange},
     {"sourceProjection.falseEasting", "--from-x0", &ProjectionParams::falseEasting, kFalseOffsetRange},
     {"sourceProjection.originLatitude", "--from-lat0", &ProjectionParams::originLatitude, kLatitudeRange},
     {"sourceProjection.latitude1", "--from-lat1", &ProjectionParams::latitude1, kLatitudeRange},
     {"sourceProjection.latitude2", "--from-lat2", &ProjectionParams::latitude2, kLatitudeRange},
     {"sourceProjection.surfaceHeight", "--from-plane-height", &ProjectionParams::surfaceHeight,
      kPlaneHeightRange}},
    "--from-zone-width", "--from-zone"};

constexpr Range kListIndexRange = {0, 1e9};
constexpr Range kZoneWidthRange = {0, 6};  // 0 for none, 3 or 6
constexpr int kZoneWidthStep = 3;
constexpr Range kZoneRange = {0, 120};     // up to the 120 zones of 3°
constexpr Range kDecimalsRange = {0, 15};

// The keys of a height surface (engine/LocalGrid.h): the local grid's or the
// anomaly fit's.
struct HeightSurfaceKeys {
  std::string_view model, centroidNorth, centroidEast;
  std::string_view coefficients[6];
};

constexpr HeightSurfaceKeys kLocalGridSurfaceKeys = {
    "heightFit.model", "heightFit.centroidNorth", "heightFit.centroidEast",
    {"heightFit.a0", "heightFit.a1", "heightFit.a2", "heightFit.a3", "heightFit.a4", "heightFit.a5"}};
constexpr HeightSurfaceKeys kAnomalySurfaceKeys = {
    "anomalyFit.model", "anomalyFit.centroidNorth", "anomalyFit.centroidEast",
    {"anomalyFit.a0", "anomalyFit.a1", "anomalyFit.a2", "anomalyFit.a3", "anomalyFit.a4", "anomalyFit.a5"}};

// `surface` leads from the settings to the HeightFit.
template <typename Access>
void AddHeightSurface(FieldMaker& add, const HeightSurfaceKeys& keys, Access surface) {
  add.Choice<HeightModel>(keys.model, {}, kHeightModels, [surface](auto& s) -> auto& { return surface(s).model; });
  add.Number(keys.centroidNorth, {}, kCentroidRange, [surface](auto& s) -> auto& { return surface(s).centroid.north; });
  add.Number(keys.centroidEast, {}, kCentroidRange, [surface](auto& s) -> auto& { return surface(s).centroid.east; });
  for (std::size_t term = 0; term < std::size(keys.coefficients); ++term) {
    add.Number(keys.coefficients[term], {}, kCoefficientRange,
               [surface, term](auto& s) -> auto& { return surface(s).coefficients[term]; });
  }
}

void AddProjection(FieldMaker& add, const ProjectionKeys& keys, ProjectionParams CoordSettings::*record) {
  const auto of = [record](auto member) {
    return [record, member](auto& s) -> auto& { return (s.*record).*member; };
  };
  add.Name(keys.projKey, {}, of(&ProjectionParams::projKey));
  add.Text(keys.description, {}, of(&ProjectionParams::description));
  for (const ProjectionKeys::Parameter& parameter : keys.parameters) {
    add.Number(parameter.key, parameter.option, parameter.range, of(parameter.field));
    add.fields.back().parameter = parameter.field;
  }
  add.Integer(keys.listIndex, {}, kListIndexRange, of(&ProjectionParams::listIndex));
  add.Integer(keys.zoneWidth, keys.zoneWidthOption, kZoneWidthRange, of(&ProjectionParams::zoneWidth), kZoneWidthStep);
  add.Integer(keys.zone, keys.zoneOption, kZoneRange, of(&ProjectionParams::zone));
  add.Switch(keys.zonePrefix, of(&ProjectionParams::zonePrefix));
  add.Switch(keys.autoZone, of(&ProjectionParams::autoZone));
  add.Switch(keys.south, of(&ProjectionParams::south));
}

std::vector<SettingField> MakeFields() {
  std::vector<SettingField> fields;
  FieldMaker add{fields};
  using S = CoordSettings;
  const auto member = [](auto field) { return [field](auto& s) -> auto& { return s.*field; }; };

  add.scope = FieldScope::Work;
  add.Choice<CoordinateType>("sourceType", "--from", kCoordinateTypes, member(&S::sourceType));
  add.Choice<CoordinateType>("targetType", "--to", kCoordinateTypes, member(&S::targetType));
  add.Choice<AngleFormat>("sourceAngleFormat", "--from-angle", kAngleFormats, member(&S::sourceAngleFormat));
  add.Choice<AngleFormat>("targetAngleFormat", "--to-angle", kAngleFormats, member(&S::targetAngleFormat));
  add.Choice<FileFormat>("fileFormat", "--format", kFileFormats, member(&S::fileFormat));
  add.Integer("outputDecimals", "--decimals", kDecimalsRange, member(&S::outputDecimals));
  add.Integer("angleDecimals", "--angle-decimals", kDecimalsRange, member(&S::angleDecimals));

  add.scope = FieldScope::Parameters;
  add.Name("sourceEllipsoid", "--from-ellipsoid", member(&S::sourceEllipsoid));
  add.Name("targetEllipsoid", "--to-ellipsoid", member(&S::targetEllipsoid));
  AddProjection(add, kTargetProjectionKeys, &S::projection);

  add.Switch("useSevenParams", member(&S::useSevenParams));
  const auto seven = [](auto field) { return [field](auto& s) -> auto& { return s.datum.params.*field; }; };
  add.Number("seven.dX", {}, kTranslationRange, seven(&SevenParams::dX));
  add.Number("seven.dY", {}, kTranslationRange, seven(&SevenParams::dY));
  add.Number("seven.dZ", {}, kTranslationRange, seven(&SevenParams::dZ));
  add.Number("seven.rX", {}, kRotationRange, seven(&SevenParams::rX));
  add.Number("seven.rY", {}, kRotationRange, seven(&SevenParams::rY));
  add.Number("seven.rZ", {}, kRotationRange, seven(&SevenParams::rZ));
  add.Number("seven.scalePpm", {}, kScalePpmRange, seven(&SevenParams::scalePpm));

  add.Switch("useFourParams", member(&S::useFourParams));
  const auto four = [](auto field) { return [field](auto& s) -> auto& { return s.fourParams.*field; }; };
  add.Number("four.dNorth", {}, kTranslationRange, four(&FourParams::dNorth));
  add.Number("four.dEast", {}, kTranslationRange, four(&FourParams::dEast));
  add.Number("four.rotationArcSeconds", {}, kRotationRange, four(&FourParams::rotationArcSeconds));
  add.Number("four.scalePpm", {}, kScalePpmRange, four(&FourParams::scalePpm));
  AddHeightSurface(add, kLocalGridSurfaceKeys, [](auto& s) -> auto& { return s.heightFit; });

  // Since version 2: the direction and convention of the datum set, and a
  // source projection of its own.
  add.since = 2;
  add.Choice<RotationConvention>("seven.convention", "--convention", kRotationConventions,
                                 [](auto& s) -> auto& { return s.datum.convention; });
  // Empty for a set that takes the conversion's own direction.
  add.Text("seven.sourceEllipsoid", {}, [](auto& s) -> auto& { return s.datum.sourceEllipsoid; });
  add.Text("seven.targetEllipsoid", {}, [](auto& s) -> auto& { return s.datum.targetEllipsoid; });
  add.Switch("sourceProjection.own", member(&S::ownSourceProjection));
  AddProjection(add, kSourceProjectionKeys, &S::sourceProjection);

  // Since version 3: the tolerances the residuals of an estimate are flagged by,
  // and a file layout of the user's own.
  add.since = 3;
  add.scope = FieldScope::Parameters;
  add.Number("tolerance.horizontal", "--tolerance-h", kToleranceRange,
             [](auto& s) -> auto& { return s.tolerance.horizontal; });
  add.Number("tolerance.vertical", "--tolerance-v", kToleranceRange,
             [](auto& s) -> auto& { return s.tolerance.vertical; });
  add.scope = FieldScope::Work;
  add.Add("fileLayout.columns", "--columns", [](const S& s) { return s.fileLayout.columns; },
          [](std::string_view text, S& s) {
            if (!ColumnsAreWellFormed(text)) return false;
            s.fileLayout.columns = text;
            return true;
          });
  add.Choice<Separator>("fileLayout.separator", "--separator", kSeparators,
                        [](auto& s) -> auto& { return s.fileLayout.separator; });
  add.Add("fileLayout.headerLines", "--header", [](const S& s) { return HeaderLinesText(s.fileLayout.headerLines); },
          [](std::string_view text, S& s) { return ReadHeaderLines(text, s.fileLayout.headerLines); });
  add.Choice<OutputLayout>("outputLayout", "--output-layout", kOutputLayouts, member(&S::outputLayout));
  // Heights. The height systems belong to the work at hand;
  // the geoid model and the anomaly fit are parameters.
  add.scope = FieldScope::Work;
  add.Choice<HeightSystem>("sourceHeight", "--from-height", kHeightSystems, member(&S::sourceHeight));
  add.Choice<HeightSystem>("targetHeight", "--to-height", kHeightSystems, member(&S::targetHeight));
  add.scope = FieldScope::Parameters;
  add.Text("geoid", "--geoid", member(&S::geoid));
  add.Switch("useAnomalyFit", member(&S::useAnomalyFit));
  add.Number("anomalyFit.originLatitude", {}, kLatitudeRange,
             [](auto& s) -> auto& { return s.anomalyFit.originLatitude; });
  add.Number("anomalyFit.originLongitude", {}, kLongitudeRange,
             [](auto& s) -> auto& { return s.anomalyFit.originLongitude; });
  AddHeightSurface(add, kAnomalySurfaceKeys, [](auto& s) -> auto& { return s.anomalyFit.surface; });
  return fields;
}

}  // namespace

std::span<const SettingField> SettingFields() {
  static const std::vector<SettingField> fields = MakeFields();
  return fields;
}

const SettingField* FindSettingField(std::string_view key) {
  const std::span<const SettingField> fields = SettingFields();
  const auto found = std::find_if(fields.begin(), fields.end(), [key](const SettingField& f) { return f.key == key; });
  return found == fields.end() ? nullptr : &*found;
}

const SettingField* FindSettingOption(std::string_view option) {
  if (option.empty()) return nullptr;
  const std::span<const SettingField> fields = SettingFields();
  const auto found =
      std::find_if(fields.begin(), fields.end(), [option](const SettingField& f) { return f.option == option; });
  return found == fields.end() ? nullptr : &*found;
}

std::string_view FieldRecord(std::string_view key) { return key.substr(0, key.find('.')); }

}  // namespace tarnwell

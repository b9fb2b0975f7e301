#include "cli/SettingsOptions.h"

#include <algorithm>
#include <array>
#include <optional>
#include <span>
#include <vector>

#include "batch/ParameterFile.h"
#include "cli/ProjectionList.h"
#include "engine/CoordSettings.h"
#include "engine/Ellipsoid.h"
#include "engine/SettingRanges.h"
#include "engine/SettingsCodec.h"
#include "tables/EllipsoidCatalogue.h"
#include "tables/NumberText.h"
#include "tables/ProjectionCatalogue.h"
#include "tables/SupportedProjections.h"
#include "tables/TablePaths.h"
#include "tables/TableText.h"

namespace tarnwell::cli {
namespace {

// The options of the tool itself that take a value, besides the codec's.
constexpr std::string_view kToolOptions[] = {"--params", "--tables",        "--projection", "--from-projection",
                                             "--seven",  "--seven-inverse", "--four",       "--threads",
                                             "--height-fit", "--output", "--bad-lines", "--layout",
                                             "--datum-model", "--plane-model", "--report", "--anomaly-fit",
                                             "--export"};

// The codec fields the numbers of the composite options go to, in their order.
constexpr std::string_view kSevenKeys[] = {"seven.dX", "seven.dY", "seven.dZ",      "seven.rX",
                                           "seven.rY", "seven.rZ", "seven.scalePpm"};
constexpr std::string_view kFourKeys[] = {"four.dNorth", "four.dEast", "four.rotationArcSeconds", "four.scalePpm"};
// --anomaly-fit: the origin and the centroid, then the 1, 3 or 6
// coefficients of the surface, as `height` prints them.
constexpr std::string_view kAnomalyFitKeys[] = {
    "anomalyFit.originLatitude", "anomalyFit.originLongitude", "anomalyFit.centroidNorth", "anomalyFit.centroidEast",
    "anomalyFit.a0", "anomalyFit.a1", "anomalyFit.a2", "anomalyFit.a3", "anomalyFit.a4", "anomalyFit.a5"};
constexpr std::size_t kAnomalyFitPlace = 4;  // numbers before the coefficients
constexpr std::string_view kAutomaticHeightFit = "auto";

// The tool's own flag: the grid factors of a point.
constexpr std::string_view kFactorsFlag = "--factors";

constexpr int kMaxThreads = 1024;
constexpr std::string_view kDefaultSourceProjection = "tmerc";

// A side's projection record: the options that set it begin with
// `optionPrefix`, its codec keys with `record` and ".".
struct ProjectionSide {
  std::string_view optionPrefix;  // "--" or "--from-"
  std::string_view record;        // "projection" or "sourceProjection"
  ProjectionParams CoordSettings::*projection;

  std::string Option(std::string_view name) const { return std::string(optionPrefix).append(name); }
  std::string Key(std::string_view name) const { return std::string(record).append(".").append(name); }
};

constexpr ProjectionSide kTargetSide = {"--", "projection", &CoordSettings::projection};
constexpr ProjectionSide kSourceSide = {"--from-", "sourceProjection", &CoordSettings::sourceProjection};

// A flag switches fields of its side's projection record on.
struct ProjectionFlag {
  std::string_view name;                     // after the side's option prefix
  std::array<std::string_view, 2> switches;  // field names in the record; empty for none
};

constexpr ProjectionFlag kProjectionFlags[] = {
    {"zone-prefix", {"zonePrefix"}},
    // Points in zones of their own read back only by their prefix.
    {"auto-zone", {"autoZone", "zonePrefix"}},
    {"south", {"south"}},
};

std::string InvalidValue(std::string_view option, std::string_view value) {
  return "选项 " + std::string(option) + " 的取值无效: " + std::string(value);
}

// The value of an option, or nullptr when it is not given (the last one counts).
const std::string* OptionValue(const CommandLine& line, std::string_view name) {
  const std::string* value = nullptr;
  for (const auto& [option, given] : line.options) {
    if (option == name) value = &given;
  }
  return value;
}

bool Given(const CommandLine& line, std::string_view name) {
  return OptionValue(line, name) || std::find(line.flags.begin(), line.flags.end(), name) != line.flags.end();
}

bool IsFlagOf(const ProjectionSide& side, std::string_view option) {
  return std::any_of(std::begin(kProjectionFlags), std::end(kProjectionFlags),
                     [&](const ProjectionFlag& flag) { return option == side.Option(flag.name); });
}

// True when the option or flag sets the side's projection record.
bool OfSide(const ProjectionSide& side, std::string_view option) {
  if (option == side.Option("projection")) return true;
  if (const SettingField* field = FindSettingOption(option)) return FieldRecord(field->key) == side.record;
  return IsFlagOf(side, option);
}

bool SideGiven(const CommandLine& line, const ProjectionSide& side) {
  return std::any_of(line.options.begin(), line.options.end(), [&](const auto& o) { return OfSide(side, o.first); }) ||
         std::any_of(line.flags.begin(), line.flags.end(), [&](const std::string& f) { return OfSide(side, f); });
}

// Numbers separated by commas, one for each field of `keys` and read by it;
// `settings` change only when every one reads.
bool ReadFieldList(std::string_view text, std::span<const std::string_view> keys, CoordSettings& settings) {
  const std::vector<std::string> numbers = SplitAtChar(text, ',');
  if (numbers.size() != keys.size()) return false;
  CoordSettings read = settings;
  for (std::size_t i = 0; i < keys.size(); ++i) {
    if (!FindSettingField(keys[i])->read(numbers[i], read)) return false;
  }
  settings = std::move(read);
  return true;
}

// The surface follows from the number of coefficients; those beyond it are 0.
bool ReadAnomalyFit(std::string_view text, CoordSettings& settings) {
  const std::size_t coefficients = SplitAtChar(text, ',').size() - kAnomalyFitPlace;
  for (const auto& [keyword, model] : kHeightModels) {
    if (CoefficientCount(model) != coefficients) continue;
    CoordSettings read = settings;
    read.anomalyFit = {};
    read.anomalyFit.surface.model = model;
    if (!ReadFieldList(text, std::span(kAnomalyFitKeys).first(kAnomalyFitPlace + coefficients), read)) return false;
    read.useAnomalyFit = true;
    settings = std::move(read);
    return true;
  }
  return false;
}

// auto, or a surface's keyword.
bool ReadHeightFitChoice(std::string_view text, std::optional<HeightModel>& model) {
  if (text == kAutomaticHeightFit) {
    model.reset();
    return true;
  }
  HeightModel named;
  if (!ReadKeyword<HeightModel>(kHeightModels, text, named)) return false;
  model = named;
  return true;
}

bool ReadThreads(std::string_view text, int& threads) {
  double count;
  if (!ReadWholeNumber(text, count) || count < 1 || count > kMaxThreads) return false;
  threads = static_cast<int>(count);
  return true;
}

// One option after --tables, --params and the projections; false when its
// value is not one the option takes.
bool ApplyOption(const std::string& name, const std::string& value, CoordSettings& settings, ToolOptions& options) {
  // An empty text is the codec's "no value" of a projection parameter; typed
  // on a command line it is a slip.
  if (const SettingField* field = FindSettingOption(name)) return !value.empty() && field->read(value, settings);
  if (name == "--seven" || name == "--seven-inverse") {
    if (!ReadFieldList(value, kSevenKeys, settings)) return false;
    settings.useSevenParams = true;
  } else if (name == "--four") {
    if (!ReadFieldList(value, kFourKeys, settings)) return false;
    settings.useFourParams = true;
  } else if (name == "--anomaly-fit") {
    return ReadAnomalyFit(value, settings);
  } else if (name == "--height-fit") {
    return ReadHeightFitChoice(value, options.heightModel);
  } else if (name == "--report") {
    options.reportPath = value;
    return !value.empty();
  } else if (name == "--datum-model") {
    return ReadKeyword<DatumModel>(kDatumModels, value, options.datumModel);
  } else if (name == "--plane-model") {
    return ReadKeyword<PlaneModel>(kPlaneModels, value, options.planeModel);
  } else if (name == "--threads") {
    return ReadThreads(value, options.threads);
  } else if (name == "--output") {
    options.output = value;
    return !value.empty();
  } else if (name == "--export") {
    return ReadKeyword<ExportFormat>(kExportFormats, value, options.exportFormat.emplace());
  } else if (name == "--layout") {
    return ApplyLayoutPreset(value, settings);
  } else if (name == "--bad-lines") {
    return ReadKeyword<BadLines>(kBadLinesKeywords, value, options.badLines);
  }
  return true;
}

// The catalogue row of this key with its defaults and its list position, as
// the projection dialog's OK stores it.
ExitStatus ApplyProjection(std::string_view key, ProjectionParams& projection, std::string& error) {
  if (!LoadProjections(error)) return kExitRefused;
  const std::vector<const ProjectionParams*> list = SortedProjectionList();
  for (std::size_t position = 0; position < list.size(); ++position) {
    if (list[position]->projKey != key) continue;
    if (!FindSupportedProjection(key)) {
      error = "不支持投影 " + std::string(key);
      return kExitUsage;
    }
    projection = *list[position];
    ProjectionDefaults(projection);
    projection.listIndex = static_cast<std::int32_t>(position);
    return kExitSuccess;
  }
  error = "projs.csv 中没有投影 " + std::string(key);
  return kExitUsage;
}

// The records the projection options start from: the row --projection names
// for the target. A source given options of its own starts from the row
// --from-projection names, else tmerc's, never from the target's; a source
// projection of a parameter file's own is kept unless a row is named.
ExitStatus StartProjections(const CommandLine& line, CoordSettings& settings, std::string& error) {
  if (const std::string* key = OptionValue(line, kTargetSide.Option("projection"))) {
    if (const ExitStatus status = ApplyProjection(*key, settings.projection, error); status != kExitSuccess)
      return status;
  }
  if (!SideGiven(line, kSourceSide)) return kExitSuccess;
  const std::string* key = OptionValue(line, kSourceSide.Option("projection"));
  if (key || !settings.ownSourceProjection) {
    const std::string_view row = key ? std::string_view(*key) : kDefaultSourceProjection;
    if (const ExitStatus status = ApplyProjection(row, settings.sourceProjection, error); status != kExitSuccess)
      return status;
  }
  settings.ownSourceProjection = true;
  return kExitSuccess;
}

void SwitchFlags(const CommandLine& line, const ProjectionSide& side, CoordSettings& settings) {
  for (const ProjectionFlag& flag : kProjectionFlags) {
    if (!Given(line, side.Option(flag.name))) continue;
    for (std::string_view name : flag.switches) {
      if (!name.empty()) FindSettingField(side.Key(name))->read("true", settings);
    }
  }
}

// The zone options against the projection; with zones and no zone given,
// the zone that holds the central meridian.
ExitStatus FinishZones(const CommandLine& line, const ProjectionSide& side, ProjectionParams& projection,
                       std::string& error) {
  const auto refuse = [&](std::string text) {
    error = std::move(text);
    return kExitUsage;
  };
  const auto notUsed = [&](const std::string& option) {
    return refuse("投影 " + projection.projKey + " 不使用选项 " + option);
  };
  const SupportedProjection* supported = FindSupportedProjection(projection.projKey);
  const ZoneScheme scheme = supported ? supported->zones : ZoneScheme::None;
  const std::optional<ZoneSystem> system = ZoneSystemOf(projection);
  if (const std::string width = side.Option("zone-width"); Given(line, width)) {
    if (scheme != ZoneScheme::GaussKruger) return notUsed(width);
    if (projection.zoneWidth != 0 && !system) return refuse(InvalidValue(width, *OptionValue(line, width)));
  }
  if (const std::string south = side.Option("south"); Given(line, south) && scheme != ZoneScheme::Utm)
    return notUsed(south);
  for (std::string_view name : {"zone", "zone-prefix", "auto-zone"}) {
    if (Given(line, side.Option(name)) && !system) return notUsed(side.Option(name));
  }
  if (const std::string* zone = OptionValue(line, side.Option("zone"))) {
    if (!ZoneChoiceValid(projection)) return refuse(InvalidValue(side.Option("zone"), *zone));
  } else if (system && projection.centralMeridian) {
    projection.zone = ZoneOfLongitude(*system, *projection.centralMeridian);
  }
  return kExitSuccess;
}

// True when the projection-plane height leaves the ellipsoid of each "Plan"
// side the projection serves large enough (PlaneHeightFits). An ellipsoid
// the catalogue cannot give is for the conversion to refuse.
bool PlaneHeightFitsItsEllipsoids(const CoordSettings& settings, const ProjectionParams& projection) {
  const struct {
    CoordinateType type;
    const std::string& ellipsoid;
    const ProjectionParams& projection;
  } sides[] = {{settings.sourceType, settings.sourceEllipsoid, SourceProjection(settings)},
               {settings.targetType, settings.targetEllipsoid, settings.projection}};
  for (const auto& side : sides) {
    std::optional<Ellipsoid> ellipsoid;
    if (side.type != CoordinateType::Plan || &side.projection != &projection ||
        Ellipsoid::FromCatalogue(side.ellipsoid, ellipsoid))
      continue;
    if (!PlaneHeightFits(PlaneHeight(projection), ellipsoid->figure().semiMajorAxis)) return false;
  }
  return true;
}

// Every parameter option of the side checked against the projection, so that
// none is silently of no effect; with zones the central meridian chooses the
// zone and the zone fixes everything else.
ExitStatus CheckParameters(const CommandLine& line, const ProjectionSide& side, const CoordSettings& settings,
                           std::string& error) {
  const ProjectionParams& projection = settings.*side.projection;
  const bool zoned = ZoneSystemOf(projection).has_value();
  for (const auto& [name, value] : line.options) {
    const SettingField* field = FindSettingOption(name);
    if (!field || !field->parameter || FieldRecord(field->key) != side.record) continue;
    const bool choosesZone = zoned && field->parameter == &ProjectionParams::centralMeridian;
    if (!choosesZone && !UsesParameter(projection, field->parameter)) {
      error = "投影 " + projection.projKey + " 不使用选项 " + name;
      return kExitUsage;
    }
    if (field->parameter == &ProjectionParams::surfaceHeight && !PlaneHeightFitsItsEllipsoids(settings, projection)) {
      error = InvalidValue(name, value);
      return kExitUsage;
    }
  }
  return kExitSuccess;
}

// Once every option is in: the flags, the zones and the parameters of one side.
ExitStatus FinishProjection(const CommandLine& line, const ProjectionSide& side, CoordSettings& settings,
                            std::string& error) {
  SwitchFlags(line, side, settings);
  if (const ExitStatus status = FinishZones(line, side, settings.*side.projection, error); status != kExitSuccess)
    return status;
  return CheckParameters(line, side, settings, error);
}

// The pair of ellipsoids the datum set is stated for: --seven's from the
// source ellipsoid to the target, --seven-inverse's the other way (the last
// given counts); without either, the parameter file's.
void StateDatumPair(const CommandLine& line, CoordSettings& settings) {
  const auto last = std::find_if(line.options.rbegin(), line.options.rend(), [](const auto& option) {
    return option.first == "--seven" || option.first == "--seven-inverse";
  });
  if (last == line.options.rend()) return;
  const bool inverse = last->first == "--seven-inverse";
  settings.datum.sourceEllipsoid = inverse ? settings.targetEllipsoid : settings.sourceEllipsoid;
  settings.datum.targetEllipsoid = inverse ? settings.sourceEllipsoid : settings.targetEllipsoid;
}

// --decimals sets the angle's decimals too, unless --angle-decimals sets
// them apart.
void ShareDecimals(const CommandLine& line, CoordSettings& settings) {
  if (OptionValue(line, "--decimals") && !OptionValue(line, "--angle-decimals"))
    settings.angleDecimals = settings.outputDecimals;
}

bool LoadEllipsoids(std::string& error) {
  const std::string path = GetTablePath("ellips.csv");
  if (LoadEllipsoidCatalogue(path)) return true;
  error = "椭球文件无法读取: " + path;
  return false;
}

}  // namespace

bool TakesValue(std::string_view option) {
  return FindSettingOption(option) || std::find(std::begin(kToolOptions), std::end(kToolOptions), option) !=
                                          std::end(kToolOptions);
}

bool IsFlag(std::string_view option) {
  return option == kFactorsFlag || IsFlagOf(kTargetSide, option) || IsFlagOf(kSourceSide, option);
}

bool LoadProjections(std::string& error) {
  const std::string path = GetTablePath("projs.csv");
  if (LoadProjectionCatalogue(path)) return true;
  error = "投影文件无法读取: " + path;
  return false;
}

ExitStatus ApplySettingsOptions(const CommandLine& line, ToolOptions& options, std::string& error) {
  if (const std::string* tables = OptionValue(line, "--tables")) SetTableDirectory(*tables);
  if (!LoadEllipsoids(error)) return kExitRefused;
  CoordSettings& settings = CoordSettings::instance();
  for (const auto& [name, value] : line.options) {
    if (name != "--params") continue;
    // The file's message is shown by the core.
    const std::optional<CoordSettings> saved = ReadParameterFile(value, settings);
    if (!saved) return kExitRefused;
    settings = *saved;
  }
  if (const ExitStatus status = StartProjections(line, settings, error); status != kExitSuccess) return status;
  for (const auto& [name, value] : line.options) {
    if (!ApplyOption(name, value, settings, options)) {
      error = InvalidValue(name, value);
      return kExitUsage;
    }
  }
  ShareDecimals(line, settings);
  if (const ExitStatus status = FinishProjection(line, kTargetSide, settings, error); status != kExitSuccess)
    return status;
  if (settings.ownSourceProjection) {
    if (const ExitStatus status = FinishProjection(line, kSourceSide, settings, error); status != kExitSuccess)
      return status;
  }
  StateDatumPair(line, settings);
  options.factors = std::find(line.flags.begin(), line.flags.end(), kFactorsFlag) != line.flags.end();
  return kExitSuccess;
}

}  // namespace tarnwell::cli

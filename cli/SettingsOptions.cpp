#include "cli/SettingsOptions.h"

#include <algorithm>
#include <initializer_list>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

#include "batch/ParameterFile.h"
#include "cli/ProjectionList.h"
#include "engine/CoordSettings.h"
#include "tables/FixedDecimalText.h"
#include "tables/NumberText.h"
#include "tables/ProjectionCatalogue.h"
#include "tables/SupportedProjections.h"
#include "tables/TablePaths.h"
#include "tables/TableText.h"

namespace tarnwell::cli {
namespace {

bool OneOf(const std::string& value, std::initializer_list<std::string_view> allowed) {
  for (std::string_view keyword : allowed) {
    if (value == keyword) return true;
  }
  return false;
}

// The options of projection parameters and the fields they set.
struct ParameterOption {
  std::string_view name;
  std::string ProjectionParams::*field;
};

constexpr ParameterOption kParameterOptions[] = {
    {"--lon0", &ProjectionParams::centralMeridian}, {"--k", &ProjectionParams::scaleFactor},
    {"--x0", &ProjectionParams::falseEasting},      {"--y0", &ProjectionParams::falseNorthing},
    {"--lat0", &ProjectionParams::originLatitude},  {"--lat1", &ProjectionParams::latitude1},
    {"--lat2", &ProjectionParams::latitude2},       {"--plane-height", &ProjectionParams::surfaceHeight},
};

const ParameterOption* FindParameterOption(std::string_view name) {
  for (const ParameterOption& option : kParameterOptions) {
    if (option.name == name) return &option;
  }
  return nullptr;
}

// A projection parameter goes in as the user wrote it, once it is known to
// be wholly a number.
bool SetProjectionParameter(const std::string& value, std::string& parameter) {
  double ignored;
  if (!ReadNumber(value, ignored)) return false;
  parameter = value;
  return true;
}

// A whole number from `smallest` to `largest`.
bool ReadCount(const std::string& value, int smallest, int largest, int& count) {
  double number;
  if (!ReadWholeNumber(value, number) || number < smallest || number > largest) return false;
  count = static_cast<int>(number);
  return true;
}

// Numbers separated by commas, exactly as many as `targets`, each wholly a
// number; the targets are written only when all read.
bool ParseNumberList(const std::string& text, std::initializer_list<double*> targets) {
  const std::vector<std::string> fields = SplitAtChar(text, ',');
  if (fields.size() != targets.size()) return false;
  std::vector<double> values(fields.size());
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (!ReadNumber(fields[i], values[i])) return false;
  }
  std::size_t i = 0;
  for (double* target : targets) *target = values[i++];
  return true;
}

bool ParseSevenParams(const std::string& text, SevenParams& params) {
  return ParseNumberList(text, {&params.dX, &params.dY, &params.dZ, &params.rX, &params.rY, &params.rZ, &params.scalePpm});
}

bool ParseFourParams(const std::string& text, FourParams& params) {
  FourParams read;
  if (!ParseNumberList(text, {&read.dNorth, &read.dEast, &read.rotationArcSeconds, &read.scalePpm}) || !IsUsable(read))
    return false;
  params = read;
  return true;
}

bool ParseHeightModel(const std::string& keyword, HeightModel& model) {
  constexpr std::pair<std::string_view, HeightModel> kModels[] = {
      {"constant", HeightModel::Constant}, {"plane", HeightModel::Plane}, {"quadratic", HeightModel::Quadratic}};
  for (const auto& [name, value] : kModels) {
    if (keyword == name) {
      model = value;
      return true;
    }
  }
  return false;
}

// The projection with this key, its catalogue defaults and its list position,
// as the projection dialog's OK stores it.
ExitStatus ApplyProjection(const std::string& key, std::string& error) {
  if (!LoadProjections(error)) return kExitRefused;
  const std::vector<const ProjectionParams*> list = SortedProjectionList();
  for (std::size_t position = 0; position < list.size(); ++position) {
    if (list[position]->projKey != key) continue;
    if (!FindSupportedProjection(key)) {
      error = "不支持投影 " + key;
      return kExitUsage;
    }
    ProjectionParams projection = *list[position];
    ProjectionDefaults(projection);
    projection.listIndex = static_cast<std::int32_t>(position);
    CoordSettings::instance().projection = projection;
    return kExitSuccess;
  }
  error = "projs.csv 中没有投影 " + key;
  return kExitUsage;
}

// One option other than --tables and --projection; false when its value is
// not one the option takes.
bool ApplyOption(const std::string& name, const std::string& value, ToolOptions& options) {
  CoordSettings& settings = CoordSettings::instance();
  ProjectionParams& projection = settings.projection;
  const auto coordinateType = {std::string_view("Space"), std::string_view("LB"), std::string_view("Plan")};
  const auto angleFormat = {std::string_view("DMS"), std::string_view("DDD"), std::string_view("DMM")};
  if (name == "--from" || name == "--to") {
    if (!OneOf(value, coordinateType)) return false;
    (name == "--from" ? settings.sourceType : settings.targetType) = value;
  } else if (name == "--from-angle" || name == "--to-angle") {
    if (!OneOf(value, angleFormat)) return false;
    (name == "--from-angle" ? settings.sourceAngleFormat : settings.targetAngleFormat) = value;
  } else if (name == "--from-ellipsoid") {
    settings.sourceEllipsoid = value;
  } else if (name == "--to-ellipsoid") {
    settings.targetEllipsoid = value;
  } else if (name == "--seven") {
    if (!ParseSevenParams(value, settings.sevenParams)) return false;
    settings.useSevenParams = true;
  } else if (name == "--four") {
    if (!ParseFourParams(value, settings.fourParams)) return false;
    settings.useFourParams = true;
  } else if (name == "--height-fit") {
    return ParseHeightModel(value, options.heightModel);
  } else if (name == "--format") {
    if (!OneOf(value, {"n,b,l,h", "n,x,y,h", "n,X,Y,Z"})) return false;
    settings.fileFormat = value;
  } else if (const ParameterOption* parameter = FindParameterOption(name)) {
    return SetProjectionParameter(value, projection.*parameter->field);
  } else if (name == "--zone-width") {
    if (!OneOf(value, {"3", "6"})) return false;
    projection.zoneWidth = value == "3" ? 3 : 6;
  } else if (name == "--zone") {
    // Within the most zones a system has; within the chosen system's once all options are in.
    return ReadCount(value, 1, ZoneCount(ZoneSystem::GaussKruger3), projection.zone);
  } else if (name == "--threads") {
    return ReadCount(value, 1, 1024, options.threads);
  } else if (name == "--decimals") {
    return ReadCount(value, 0, kMaxFixedDecimals, settings.outputDecimals);
  }
  return true;
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

// Once every option is in: the flags, the zone holding the central meridian
// where no --zone is given, and every projection option checked against the
// projection, so that none is silently of no effect.
ExitStatus FinishProjection(const CommandLine& line, std::string& error) {
  ProjectionParams& projection = CoordSettings::instance().projection;
  for (const std::string& flag : line.flags) {
    if (flag == "--zone-prefix") projection.zonePrefix = true;
    if (flag == "--auto-zone") projection.zonePrefix = projection.autoZone = true;
    if (flag == "--south") projection.south = true;
  }
  const auto notUsed = [&](std::string_view option) {
    error = "投影 " + projection.projKey + " 不使用选项 " + std::string(option);
    return kExitUsage;
  };
  const SupportedProjection* supported = FindSupportedProjection(projection.projKey);
  const ZoneScheme scheme = supported ? supported->zones : ZoneScheme::None;
  if (Given(line, "--zone-width") && scheme != ZoneScheme::GaussKruger) return notUsed("--zone-width");
  if (Given(line, "--south") && scheme != ZoneScheme::Utm) return notUsed("--south");
  const std::optional<ZoneSystem> system = ZoneSystemOf(projection);
  for (std::string_view option : {"--zone", "--zone-prefix", "--auto-zone"}) {
    if (Given(line, option) && !system) return notUsed(option);
  }
  if (const std::string* zone = OptionValue(line, "--zone")) {
    if (projection.zone > ZoneCount(*system)) {
      error = "选项 --zone 的取值无效: " + *zone;
      return kExitUsage;
    }
  } else if (double meridian; system && ReadNumber(projection.centralMeridian, meridian)) {
    projection.zone = ZoneOfLongitude(*system, meridian);
  }
  // With zones, --lon0 chooses the zone; the zone fixes everything else.
  for (const ParameterOption& option : kParameterOptions) {
    const bool choosesZone = system && option.field == &ProjectionParams::centralMeridian;
    if (Given(line, option.name) && !choosesZone && !UsesParameter(projection, option.field))
      return notUsed(option.name);
  }
  return kExitSuccess;
}

}  // namespace

bool LoadProjections(std::string& error) {
  const std::string path = GetTablePath("projs.csv");
  if (LoadProjectionCatalogue(path)) return true;
  error = "投影文件无法读取: " + path;
  return false;
}

ExitStatus ApplySettingsOptions(const CommandLine& line, ToolOptions& options, std::string& error) {
  for (const auto& [name, value] : line.options) {
    if (name == "--tables") SetTableDirectory(value);
  }
  for (const auto& [name, value] : line.options) {
    if (name != "--params") continue;
    // The file's message is shown by the core.
    const std::optional<CoordSettings> saved = ReadParameterFile(value, CoordSettings::instance());
    if (!saved) return kExitRefused;
    CoordSettings::instance() = *saved;
  }
  for (const auto& [name, value] : line.options) {
    if (name != "--projection") continue;
    if (const ExitStatus status = ApplyProjection(value, error); status != kExitSuccess) return status;
  }
  for (const auto& [name, value] : line.options) {
    if (name == "--tables" || name == "--params" || name == "--projection") continue;
    if (!ApplyOption(name, value, options)) {
      error = "选项 " + name + " 的取值无效: " + value;
      return kExitUsage;
    }
  }
  return FinishProjection(line, error);
}

}  // namespace tarnwell::cli

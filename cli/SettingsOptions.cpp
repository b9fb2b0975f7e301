#include "cli/SettingsOptions.h"

#include <initializer_list>
#include <string_view>
#include <utility>
#include <vector>

#include "cli/ProjectionList.h"
#include "engine/CoordSettings.h"
#include "tables/NumberText.h"
#include "tables/ProjectionCatalogue.h"
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

// A projection parameter goes in as the user wrote it, once it is known to
// be wholly a number.
bool SetProjectionParameter(const std::string& value, std::string& parameter) {
  double ignored;
  if (!ReadNumber(value, ignored)) return false;
  parameter = value;
  return true;
}

// A count of threads: a whole number from 1 to 1024.
bool ReadThreadCount(const std::string& value, int& threads) {
  double count;
  if (!ReadWholeNumber(value, count) || count < 1 || count > 1024) return false;
  threads = static_cast<int>(count);
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
  } else if (name == "--lon0") {
    return SetProjectionParameter(value, projection.centralMeridian);
  } else if (name == "--k") {
    return SetProjectionParameter(value, projection.scaleFactor);
  } else if (name == "--x0") {
    return SetProjectionParameter(value, projection.falseEasting);
  } else if (name == "--y0") {
    return SetProjectionParameter(value, projection.falseNorthing);
  } else if (name == "--lat0") {
    return SetProjectionParameter(value, projection.originLatitude);
  } else if (name == "--threads") {
    return ReadThreadCount(value, options.threads);
  }
  return true;
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
    if (name != "--projection") continue;
    if (const ExitStatus status = ApplyProjection(value, error); status != kExitSuccess) return status;
  }
  for (const auto& [name, value] : line.options) {
    if (name == "--tables" || name == "--projection") continue;
    if (!ApplyOption(name, value, options)) {
      error = "选项 " + name + " 的取值无效: " + value;
      return kExitUsage;
    }
  }
  return kExitSuccess;
}

}  // namespace tarnwell::cli

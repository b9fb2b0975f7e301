#include "batch/ParameterFile.h"

#include <algorithm>
#include <cstdint>
#include <string_view>
#include <vector>

#include "batch/AtomicFileWriter.h"
#include "engine/Messages.h"
#include "engine/SettingsCodec.h"
#include "tables/SupportedProjections.h"
#include "tables/TextLineReader.h"

namespace tarnwell {
namespace {

constexpr std::string_view kVersionKey = "version";
constexpr int kVersion = 3;
constexpr std::string_view kBadFile = "参数文件格式不正确，请检查。";

// Version 1 wrote a parameter the projection does not take as "NULL", and
// kept two keys that no longer mean anything: the auxiliary ellipsoid (never
// used) and the datum model (always Bursa-Wolf).
constexpr std::string_view kVersion1NoValue = "NULL";
bool IsRetiredVersion1Key(std::string_view key, std::string_view value) {
  return key == "projection.auxEllipsoid" || (key == "datumModel" && value == "Bursa-Wolf");
}

bool KeptInFile(const SettingField& field, int version) {
  return field.scope == FieldScope::Parameters && field.since <= version;
}

bool Refuse(std::uint64_t lineNumber, std::string_view line) {
  ShowMessage(MessageWithLine(kBadFile, lineNumber, line));
  return false;
}

// A line of the file as it was read.
struct ReadLine {
  std::uint64_t number;
  std::string text;
};

bool Seen(const std::vector<std::pair<std::string_view, ReadLine>>& seen, std::string_view key) {
  return std::any_of(seen.begin(), seen.end(), [key](const auto& entry) { return entry.first == key; });
}

// The zone fields of a projection must fit it together: a file may not hold
// a choice the command line and the projection dialog refuse (the southern
// hemisphere of a transverse Mercator, say). Refused naming the line of the
// switch or zone at fault.
bool ZonesFit(const ProjectionParams& projection, std::string_view prefix,
              const std::vector<std::pair<std::string_view, ReadLine>>& lines) {
  if (ZoneChoiceValid(projection) || !FindSupportedProjection(projection.projKey)) return true;
  const std::string culprit = std::string(prefix) + (projection.south ? "south" : "zone");
  for (const auto& [key, line] : lines) {
    if (key == culprit) return Refuse(line.number, line.text);
  }
  return Refuse(0, culprit);
}

// Reads every line into `settings`; false, with the message shown, at the
// first line that is not right or when a key is missing.
bool ReadLines(TextLineReader& reader, CoordSettings& settings) {
  std::vector<std::pair<std::string_view, ReadLine>> seen;  // keys of SettingFields(), which outlive this
  int version = 0;
  std::uint64_t lineNumber = 0;
  std::string_view line;
  while (reader.NextLine(line)) {
    ++lineNumber;
    // A byte-order mark some editors put before the first line.
    if (lineNumber == 1 && line.starts_with("\xEF\xBB\xBF")) line.remove_prefix(3);
    if (line.empty() || line.front() == '#') continue;
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos) return Refuse(lineNumber, line);
    const std::string_view key = line.substr(0, equals);
    std::string_view value = line.substr(equals + 1);
    if (version == 0) {
      // The version comes first: what follows it is read by its rules.
      if (key != kVersionKey || (value != "1" && value != "2" && value != "3")) return Refuse(lineNumber, line);
      version = value.front() - '0';
      continue;
    }
    if (version == 1 && IsRetiredVersion1Key(key, value)) continue;
    if (version == 1 && value == kVersion1NoValue && key.starts_with("projection.")) value = {};
    const SettingField* field = FindSettingField(key);
    if (!field || !KeptInFile(*field, version) || Seen(seen, field->key) || !field->read(value, settings))
      return Refuse(lineNumber, line);
    seen.push_back({field->key, {lineNumber, std::string(line)}});
  }
  if (reader.ReadFailed()) {
    ShowMessage("参数文件无法读取。");
    return false;
  }
  if (version == 0) return Refuse(lineNumber, "");
  for (const SettingField& field : SettingFields()) {
    if (KeptInFile(field, version) && !Seen(seen, field.key)) {
      ShowMessage(std::string(kBadFile) + "\n缺少: " + std::string(field.key));
      return false;
    }
  }
  if (!ZonesFit(settings.projection, "projection.", seen) ||
      (settings.ownSourceProjection && !ZonesFit(settings.sourceProjection, "sourceProjection.", seen)))
    return false;
  // A set of version 1 was stated from the file's source to its target.
  if (version == 1) {
    settings.datum.sourceEllipsoid = settings.sourceEllipsoid;
    settings.datum.targetEllipsoid = settings.targetEllipsoid;
  }
  return true;
}

}  // namespace

std::string ParameterFileText(const CoordSettings& settings) {
  std::string text = "# Tarnwell 参数文件\n";
  text.append(kVersionKey).append("=").append(std::to_string(kVersion)).append("\n");
  for (const SettingField& field : SettingFields()) {
    if (KeptInFile(field, kVersion)) text.append(field.key).append("=").append(field.write(settings)).append("\n");
  }
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

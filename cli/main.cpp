// tarnwell-cli: the conversions and estimations of Tarnwell for scripted
// work, with the same core, settings and messages as the desktop application.
#include <cstring>
#include <iostream>
#include <limits>
#include <optional>

#include "cli/CommandLine.h"
#include "cli/Commands.h"
#include "cli/SettingsOptions.h"

namespace tarnwell::cli {
namespace {

struct Command {
  const char* name;
  std::size_t minValues;
  std::size_t maxValues;
  ExitStatus (*run)(const Values&, const ToolOptions&, std::string&);
  std::optional<HeightModel> heightFit = std::nullopt;  // without --height-fit; none: automatic
};

constexpr std::size_t kAny = std::numeric_limits<std::size_t>::max();

constexpr Command kCommands[] = {
    {"point", 3, 3, RunPoint},
    {"file", 1, kAny, RunFile},
    {"three", 6, 6, RunThree},
    {"seven", 1, kAny, RunSeven},
    {"four", 1, kAny, RunFour, HeightModel::Constant},
    {"height", 1, kAny, RunHeight},
    {"ellipsoids", 0, 0, RunEllipsoids},
    {"projections", 0, 0, RunProjections},
};

int UsageError(const std::string& error) {
  std::cerr << "tarnwell-cli: " << error << "\n" << UsageText();
  return kExitUsage;
}

int Run(int argc, const char* const argv[]) {
  if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
    std::cout << UsageText();
    return kExitSuccess;
  }
  CommandLine line;
  std::string error;
  if (!ParseCommandLine(argc, argv, line, error)) return UsageError(error);

  const Command* command = nullptr;
  for (const Command& candidate : kCommands) {
    if (line.command == candidate.name) command = &candidate;
  }
  if (!command) return UsageError("未知命令 " + line.command);
  if (line.values.size() < command->minValues || line.values.size() > command->maxValues) {
    return UsageError(std::string("命令 ") + command->name + " 的参数个数不对");
  }

  ToolOptions options;
  options.heightModel = command->heightFit;
  ExitStatus status = ApplySettingsOptions(line, options, error);
  if (status == kExitSuccess) status = command->run(line.values, options, error);
  if (status == kExitUsage) return UsageError(error);
  if (!error.empty()) std::cerr << error << '\n';
  return status;
}

}  // namespace
}  // namespace tarnwell::cli

int main(int argc, char* argv[]) {
  std::ios::sync_with_stdio(false);
  const int status = tarnwell::cli::Run(argc, argv);
  std::cout.flush();
  // Output that could not be written is no success.
  return std::cout ? status : tarnwell::cli::kExitRefused;
}

#include "tables/TablePaths.h"

#include <unistd.h>

#include <climits>

namespace tarnwell {

namespace {

// The full path of the running executable, as the operating system reports
// it; empty when it cannot be had. The one platform-specific piece.
std::string ExecutablePath() {
  char buffer[PATH_MAX];
  const ssize_t length = readlink("/proc/self/exe", buffer, sizeof buffer);
  // A full buffer may mean a truncated path: better none than a wrong one.
  if (length <= 0 || static_cast<std::size_t>(length) >= sizeof buffer) return {};
  return std::string(buffer, static_cast<std::size_t>(length));
}

std::string& TableDirectoryOverride() {
  static std::string directory;
  return directory;
}

}  // namespace

std::string GetProgramDirectory() {
  const std::string path = ExecutablePath();
  const std::size_t lastSlash = path.rfind('/');
  if (lastSlash == std::string::npos) return {};
  return path.substr(0, lastSlash);
}

std::string GetTablePath(const std::string& fileName) {
  const std::string& directory = TableDirectoryOverride();
  return (directory.empty() ? GetProgramDirectory() : directory) + "/" + fileName;
}

void SetTableDirectory(const std::string& directory) {
  TableDirectoryOverride() = directory;
}

}  // namespace tarnwell

#include "batch/AtomicFileWriter.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fstream>

namespace tarnwell {
namespace {

constexpr mode_t kNewFileMode = 0666;  // what open(O_CREAT) asks for before the umask

// The process's umask, read without changing it: umask() can only be read by
// setting it, and another thread creating a file meanwhile would get the
// wrong mode. /proc shows it since Linux 4.7; without /proc, set and restore.
mode_t CurrentUmask() {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);) {
    if (line.starts_with("Umask:")) return static_cast<mode_t>(std::strtoul(line.c_str() + 6, nullptr, 8));
  }
  const mode_t mask = umask(0);
  umask(mask);
  return mask;
}

// ".<name>.XXXXXX" in the target's folder, the pattern mkostemp fills in.
std::string TemporaryPattern(const std::string& targetPath) {
  const std::size_t nameStart = targetPath.rfind('/') + 1;  // 0 for a bare name
  std::string pattern = targetPath.substr(0, nameStart);
  pattern += '.';
  pattern.append(targetPath, nameStart);
  pattern += ".XXXXXX";
  return pattern;
}

}  // namespace

bool AtomicFileWriter::Open(const std::string& targetPath) {
  Discard();
  struct stat target;
  if (lstat(targetPath.c_str(), &target) == 0 && S_ISDIR(target.st_mode)) return false;

  std::string pattern = TemporaryPattern(targetPath);
  descriptor_ = mkostemp(pattern.data(), O_CLOEXEC);
  if (descriptor_ < 0) return false;
  targetPath_ = targetPath;
  temporaryPath_ = pattern;
  buffer_.clear();
  buffer_.reserve(kFlushSize + 4096);
  failed_ = false;
  return true;
}

bool AtomicFileWriter::Flush() {
  std::string_view pending = buffer_;
  while (!failed_ && !pending.empty()) {
    const ssize_t written = write(descriptor_, pending.data(), pending.size());
    if (written > 0) {
      pending.remove_prefix(static_cast<std::size_t>(written));
    } else if (written == 0 || errno != EINTR) {
      failed_ = true;
    }
  }
  buffer_.clear();
  return !failed_;
}

bool AtomicFileWriter::Commit() {
  if (descriptor_ < 0) return false;
  const bool complete = Flush() && fchmod(descriptor_, kNewFileMode & ~CurrentUmask()) == 0 &&
                        fsync(descriptor_) == 0;
  const bool closed = close(descriptor_) == 0;
  descriptor_ = -1;
  if (!complete || !closed || std::rename(temporaryPath_.c_str(), targetPath_.c_str()) != 0) {
    Discard();
    return false;
  }
  temporaryPath_.clear();
  return true;
}

void AtomicFileWriter::Discard() {
  if (descriptor_ >= 0) close(descriptor_);
  descriptor_ = -1;
  if (!temporaryPath_.empty()) unlink(temporaryPath_.c_str());
  temporaryPath_.clear();
  buffer_.clear();
}

bool IsSameFile(const std::string& firstPath, const std::string& secondPath) {
  struct stat first, second;
  return stat(firstPath.c_str(), &first) == 0 && stat(secondPath.c_str(), &second) == 0 &&
         first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

}  // namespace tarnwell

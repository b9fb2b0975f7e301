#include "batch/AtomicFileWriter.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string_view>

namespace tarnwell {
namespace {

constexpr mode_t kNewFileMode = 0666;  // what open(O_CREAT) asks for before the umask
constexpr mode_t kPermissionBits = 0777;
constexpr std::size_t kRandomLength = 6;  // the X's of mkostemp's pattern

// The time by the clock the kernel stamps files with: the coarse real-time
// clock, which may lag the fine one by a tick. Read by the fine clock, a
// file written just after the start could seem older than the start.
timespec FileClockNow() {
  timespec now;
  clock_gettime(CLOCK_REALTIME_COARSE, &now);
  return now;
}

// About when this process started (when the core was loaded): a temporary
// file last written before then belongs to a process that is gone.
const timespec kProcessStart = FileClockNow();

bool IsBefore(const timespec& a, const timespec& b) {
  return a.tv_sec < b.tv_sec || (a.tv_sec == b.tv_sec && a.tv_nsec < b.tv_nsec);
}

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
  pattern += '.';
  pattern.append(kRandomLength, 'X');
  return pattern;
}

// True when fileName is what mkostemp makes of the pattern's name part.
bool IsTemporaryName(std::string_view fileName, std::string_view patternName) {
  const std::string_view prefix = patternName.substr(0, patternName.size() - kRandomLength);
  if (fileName.size() != patternName.size() || !fileName.starts_with(prefix)) return false;
  for (const char c : fileName.substr(prefix.size())) {
    if (!((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'))) return false;
  }
  return true;
}

// Removes the temporary files (or the temporary folders of an
// AtomicFileSet) of targetPath that earlier processes, killed while
// writing, left behind. A file written since this process started may
// be another writer's at work, and stays.
void RemoveLeftovers(const std::string& pattern) {
  const std::filesystem::path patternPath(pattern);
  const std::filesystem::path folder = patternPath.has_parent_path() ? patternPath.parent_path() : ".";
  const std::string patternName = patternPath.filename();
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
    struct stat leftover;
    if (!IsTemporaryName(entry.path().filename().native(), patternName)) continue;
    if (lstat(entry.path().c_str(), &leftover) != 0 || !IsBefore(leftover.st_mtim, kProcessStart)) continue;
    if (S_ISREG(leftover.st_mode)) unlink(entry.path().c_str());
    if (S_ISDIR(leftover.st_mode)) std::filesystem::remove_all(entry.path(), error);
  }
}

}  // namespace

bool AtomicFileWriter::Open(const std::string& targetPath) {
  Discard();
  struct stat target;
  if (lstat(targetPath.c_str(), &target) == 0 && S_ISDIR(target.st_mode)) return false;
  if (IsReadOnlyFile(targetPath)) return false;
  mode_ = stat(targetPath.c_str(), &target) == 0 ? target.st_mode & kPermissionBits : kNewFileMode & ~CurrentUmask();

  std::string pattern = TemporaryPattern(targetPath);
  RemoveLeftovers(pattern);
  {
    const BlockedSignals blocked;
    descriptor_ = mkostemp(pattern.data(), O_CLOEXEC);
    if (descriptor_ < 0) return false;
    trackedSlot_ = TemporaryFileRegistry::Track(pattern);
  }
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
  const bool complete = Flush() && fchmod(descriptor_, mode_) == 0 && fsync(descriptor_) == 0;
  const bool closed = close(descriptor_) == 0;
  descriptor_ = -1;
  if (!complete || !closed || std::rename(temporaryPath_.c_str(), targetPath_.c_str()) != 0) {
    Discard();
    return false;
  }
  ForgetTemporary();
  return true;
}

void AtomicFileWriter::Discard() {
  if (descriptor_ >= 0) close(descriptor_);
  descriptor_ = -1;
  if (!temporaryPath_.empty()) unlink(temporaryPath_.c_str());
  ForgetTemporary();
  buffer_.clear();
}

void AtomicFileWriter::ForgetTemporary() {
  temporaryPath_.clear();
  TemporaryFileRegistry::Untrack(trackedSlot_);
  trackedSlot_ = TemporaryFileRegistry::kNone;
}

bool AtomicFileSet::Open(const std::string& mainPath, const std::vector<std::string>& memberNames) {
  Discard();
  struct stat target;
  if (lstat(mainPath.c_str(), &target) == 0 && S_ISDIR(target.st_mode)) return false;
  if (IsReadOnlyFile(mainPath)) return false;
  std::string pattern = TemporaryPattern(mainPath);
  RemoveLeftovers(pattern);
  const std::filesystem::path main(mainPath);
  names_ = memberNames;
  names_.push_back(main.filename());
  const BlockedSignals blocked;
  if (!mkdtemp(pattern.data())) return false;
  temporaryFolder_ = pattern;
  targetFolder_ = main.has_parent_path() ? main.parent_path().string() : ".";
  writingPath_ = temporaryFolder_ + "/" + names_.back();
  // The signal handler removes the members first, then the folder.
  for (const std::string& name : names_) slots_.push_back(TemporaryFileRegistry::Track(temporaryFolder_ + "/" + name));
  slots_.push_back(TemporaryFileRegistry::Track(temporaryFolder_));
  return true;
}

std::string AtomicFileSet::ScratchPath(const std::string& name) {
  if (temporaryFolder_.empty()) return {};
  const std::string path = temporaryFolder_ + "/" + name;
  slots_.push_back(TemporaryFileRegistry::Track(path));
  return path;
}

bool AtomicFileSet::Commit() {
  if (temporaryFolder_.empty() || access(writingPath_.c_str(), F_OK) != 0) {
    Discard();
    return false;
  }
  for (const std::string& name : names_) {
    const std::string made = temporaryFolder_ + "/" + name, target = targetFolder_ + "/" + name;
    if (access(made.c_str(), F_OK) != 0) unlink(target.c_str());
  }
  for (const std::string& name : names_) {
    const std::string made = temporaryFolder_ + "/" + name, target = targetFolder_ + "/" + name;
    if (access(made.c_str(), F_OK) != 0) continue;
    const int descriptor = open(made.c_str(), O_RDONLY | O_CLOEXEC);
    const bool synced = descriptor >= 0 && fsync(descriptor) == 0;
    if (descriptor >= 0) close(descriptor);
    if (!synced || std::rename(made.c_str(), target.c_str()) != 0) {
      Discard();
      return false;
    }
  }
  Discard();
  return true;
}

void AtomicFileSet::Discard() {
  if (!temporaryFolder_.empty()) {
    std::error_code error;
    std::filesystem::remove_all(temporaryFolder_, error);
  }
  for (const TemporaryFileRegistry::Slot slot : slots_) TemporaryFileRegistry::Untrack(slot);
  slots_.clear();
  temporaryFolder_.clear();
  writingPath_.clear();
}

bool IsReadOnlyFile(const std::string& path) {
  struct stat file;
  return stat(path.c_str(), &file) == 0 && (file.st_mode & 0222) == 0;
}

bool IsSameFile(const std::string& firstPath, const std::string& secondPath) {
  struct stat first, second;
  return stat(firstPath.c_str(), &first) == 0 && stat(secondPath.c_str(), &second) == 0 &&
         first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

}  // namespace tarnwell

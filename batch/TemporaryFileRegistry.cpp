#include "batch/TemporaryFileRegistry.h"

#include <limits.h>
#include <pthread.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <mutex>

namespace tarnwell {
namespace {

constexpr int kHandledSignals[] = {SIGINT, SIGTERM, SIGHUP};

// A slot is free, being filled or emptied by its owner, or live (its path
// complete, for the handler to remove).
enum SlotState : int { kFree, kBusy, kLive };

struct TrackedPath {
  std::atomic<int> state{kFree};
  char path[PATH_MAX];
};
static_assert(std::atomic<int>::is_always_lock_free, "the signal handler needs a lock-free state");

// More temporary files at once than one process writes: one per file being
// converted, one per parameter file being saved.
std::array<TrackedPath, 64> trackedPaths;

void RemoveTrackedAndReraise(int signalNumber) {
  const int savedErrno = errno;
  for (TrackedPath& tracked : trackedPaths) {
    if (tracked.state.load(std::memory_order_acquire) == kLive) unlink(tracked.path);
  }
  // A temporary folder, once its files are gone.
  for (TrackedPath& tracked : trackedPaths) {
    if (tracked.state.load(std::memory_order_acquire) == kLive) rmdir(tracked.path);
  }
  errno = savedErrno;
  // SA_RESETHAND has restored the default action; the signal is blocked
  // while this runs and ends the process as soon as the handler returns.
  raise(signalNumber);
}

void InstallHandlers() {
  for (const int signalNumber : kHandledSignals) {
    struct sigaction current;
    if (sigaction(signalNumber, nullptr, &current) != 0 || current.sa_handler != SIG_DFL) continue;
    struct sigaction removing {};
    removing.sa_handler = RemoveTrackedAndReraise;
    sigemptyset(&removing.sa_mask);
    removing.sa_flags = SA_RESETHAND;
    sigaction(signalNumber, &removing, nullptr);
  }
}

}  // namespace

TemporaryFileRegistry::Slot TemporaryFileRegistry::Track(const std::string& path) {
  static std::once_flag installed;
  std::call_once(installed, InstallHandlers);
  if (path.size() >= PATH_MAX) return kNone;
  for (std::size_t slot = 0; slot < trackedPaths.size(); ++slot) {
    TrackedPath& tracked = trackedPaths[slot];
    int expected = kFree;
    if (!tracked.state.compare_exchange_strong(expected, kBusy, std::memory_order_acquire)) continue;
    std::memcpy(tracked.path, path.c_str(), path.size() + 1);
    tracked.state.store(kLive, std::memory_order_release);
    return static_cast<Slot>(slot);
  }
  return kNone;
}

void TemporaryFileRegistry::Untrack(Slot slot) {
  if (slot == kNone) return;
  trackedPaths[static_cast<std::size_t>(slot)].state.store(kFree, std::memory_order_release);
}

BlockedSignals::BlockedSignals() {
  sigset_t blocked;
  sigemptyset(&blocked);
  for (const int signalNumber : kHandledSignals) sigaddset(&blocked, signalNumber);
  pthread_sigmask(SIG_BLOCK, &blocked, &previous_);
}

BlockedSignals::~BlockedSignals() { pthread_sigmask(SIG_SETMASK, &previous_, nullptr); }

}  // namespace tarnwell

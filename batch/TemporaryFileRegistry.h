// The temporary files (and folders) of this process that are being written,
// so that SIGINT, SIGTERM and SIGHUP remove them before the process ends: the
// files first, then the folders, which are empty by then.
//
// The handler of those signals runs at any moment, on any thread, so it may
// only use what is async-signal-safe: it walks a fixed table of paths, each
// slot guarded by a lock-free state, removes every live path and then lets the
// signal end the process as it would have without the handler. The handler is
// installed by the first Track, and only for a signal whose disposition is
// still the default: a signal the process ignores (nohup) stays ignored, a
// handler someone else installed stays theirs.
//
// A process killed by SIGKILL runs no handler; AtomicFileWriter removes such
// leftovers at the next write to the same target.
#pragma once

#include <signal.h>

#include <string>

namespace tarnwell {

class TemporaryFileRegistry {
 public:
  // A slot of the table; kNone when the table was full (the file is then not
  // removed on a signal, but everything else works).
  using Slot = int;
  static constexpr Slot kNone = -1;

  // Records a live temporary path; to be called with the three signals
  // blocked around its creation (see BlockedSignals) so none comes between.
  static Slot Track(const std::string& path);

  // Forgets the path of `slot`, once it is renamed or removed.
  static void Untrack(Slot slot);
};

// While it lives, SIGINT, SIGTERM and SIGHUP wait for this thread: a file
// created meanwhile is tracked before any handler could miss it.
class BlockedSignals {
 public:
  BlockedSignals();
  ~BlockedSignals();
  BlockedSignals(const BlockedSignals&) = delete;
  BlockedSignals& operator=(const BlockedSignals&) = delete;

 private:
  sigset_t previous_;  // the thread's mask before
};

}  // namespace tarnwell

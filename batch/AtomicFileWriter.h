// Writes a file so that its name holds either the complete new content or
// whatever it held before, never a part.
//
// The bytes go through one large buffer into a temporary file beside the
// target, named "." + target name + "." + six random characters (made by
// mkostemp, so never a name in use; hidden, so file dialogs do not list it).
// Beside the target means on the same file system, so Commit's rename swaps
// the names atomically. The rename replaces a link at the target name
// itself, never the file it points to. Every write error (a full disk, a
// lost device) is remembered and makes Commit fail, so a half-written file is
// never taken for a finished one.
//
// A writer given up on, by Discard or by its destructor, removes the
// temporary file, and so does SIGINT, SIGTERM or SIGHUP (through
// TemporaryFileRegistry). A process killed outright may leave one behind,
// never a partial file under the target name; Open removes such leftovers of
// earlier processes. A replaced target keeps its permission bits, and one
// that allows nobody to write (mode 444) is not replaced.
#pragma once

#include <sys/types.h>

#include <string>
#include <string_view>

#include "batch/TemporaryFileRegistry.h"

namespace tarnwell {

class AtomicFileWriter {
 public:
  AtomicFileWriter() = default;
  AtomicFileWriter(const AtomicFileWriter&) = delete;
  AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;
  ~AtomicFileWriter() { Discard(); }

  // Removes the leftovers of earlier processes beside targetPath and creates
  // the temporary file; false when it cannot be created, or when targetPath
  // is a directory (it could never be replaced) or read-only. The target
  // itself is not touched until Commit.
  bool Open(const std::string& targetPath);

  // Appends bytes; false once any write has failed.
  bool Append(std::string_view text) {
    if (failed_ || descriptor_ < 0) return false;
    buffer_.append(text);
    return buffer_.size() < kFlushSize || Flush();
  }

  // Writes out the buffer, gives the file the permission bits of the target
  // it replaces (or of a newly created file: 0666 less the umask), syncs it to the disk and renames it to the
  // target name. False when any of that failed; the target then keeps what it
  // held before and the temporary file is gone.
  bool Commit();

  // Closes and removes the temporary file; the target keeps what it held.
  void Discard();

 private:
  static constexpr std::size_t kFlushSize = 1 << 20;  // bytes gathered before a write

  bool Flush();
  // Once the temporary file is renamed or removed.
  void ForgetTemporary();

  int descriptor_ = -1;  // of the temporary file
  std::string targetPath_;
  std::string temporaryPath_;  // empty when there is none to remove
  TemporaryFileRegistry::Slot trackedSlot_ = TemporaryFileRegistry::kNone;
  mode_t mode_ = 0;  // permission bits the committed file gets
  std::string buffer_;
  bool failed_ = false;
};

// True when path names an existing file (through any links) without a single
// write permission bit: its owner made it read-only, so it is not replaced.
bool IsReadOnlyFile(const std::string& path);

// True when both paths lead, through any links, to one existing file (the
// same device and inode). A missing file or a dangling link is nobody's
// twin.
bool IsSameFile(const std::string& firstPath, const std::string& secondPath);

}  // namespace tarnwell

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
#include <vector>

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

// A set of files that a writer makes itself (GDAL's drivers: a Shapefile is
// five files, a GeoPackage may leave a journal), written as AtomicFileWriter
// writes one file: under their final names in a temporary folder beside the
// target (".<main name>.XXXXXX"), then moved over the files of those names.
// Until Commit the old set is untouched; Commit first removes the old set's
// files that the new one lacks (an index or a journal of the old file would
// otherwise be taken for the new one's) and moves the main file last. A
// signal removes the temporary folder, and Open removes those of killed
// processes. A read-only main file is not replaced.
class AtomicFileSet {
 public:
  AtomicFileSet() = default;
  AtomicFileSet(const AtomicFileSet&) = delete;
  AtomicFileSet& operator=(const AtomicFileSet&) = delete;
  ~AtomicFileSet() { Discard(); }

  // `memberNames`: the file names the set may hold, beside the main file's
  // own (the name of mainPath). False when the folder cannot be made or the
  // main file is a directory or read-only.
  bool Open(const std::string& mainPath, const std::vector<std::string>& memberNames);

  // Where the writer makes the main file (and the others beside it).
  const std::string& writingPath() const { return writingPath_; }

  // A path in the temporary folder for a file of the writer's own (such as
  // its input), never moved: it goes with the folder, on a signal too.
  // Empty before Open.
  std::string ScratchPath(const std::string& name);

  // Moves the files made over the old set; false, the temporary folder
  // removed, when the main file was not made or a move failed.
  bool Commit();

  // Removes the temporary folder with whatever it holds.
  void Discard();

 private:
  std::string targetFolder_;
  std::string temporaryFolder_;  // empty when there is none
  std::string writingPath_;
  std::vector<std::string> names_;  // the members, the main file last
  std::vector<TemporaryFileRegistry::Slot> slots_;
};

// True when path names an existing file (through any links) without a single
// write permission bit: its owner made it read-only, so it is not replaced.
bool IsReadOnlyFile(const std::string& path);

// True when both paths lead, through any links, to one existing file (the
// same device and inode). A missing file or a dangling link is nobody's
// twin.
bool IsSameFile(const std::string& firstPath, const std::string& secondPath);

}  // namespace tarnwell

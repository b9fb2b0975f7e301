// Writes a file through one large buffer. Every write error (a full disk, a
// lost device) is remembered, so a half-written file is never taken for a
// finished one.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace tarnwell {

class BufferedFileWriter {
 public:
  BufferedFileWriter() = default;
  BufferedFileWriter(const BufferedFileWriter&) = delete;
  BufferedFileWriter& operator=(const BufferedFileWriter&) = delete;
  ~BufferedFileWriter();

  // Creates the file, or empties it if it exists; false when it cannot.
  bool Create(const std::string& path);

  // Appends bytes; false once any write has failed.
  bool Append(std::string_view text) {
    if (failed_ || !file_) return false;
    buffer_.append(text);
    return buffer_.size() < kFlushSize || Flush();
  }

  // Writes out the buffer and closes the file; false when any write, or the
  // closing, failed.
  bool Close();

 private:
  static constexpr std::size_t kFlushSize = 1 << 20;  // bytes gathered before a write

  bool Flush();

  std::FILE* file_ = nullptr;
  std::string buffer_;
  bool failed_ = false;
};

}  // namespace tarnwell

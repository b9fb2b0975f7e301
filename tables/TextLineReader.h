// Reads a text file line by line in large blocks: coordinate files, common
// points and the tables. A line ends at LF; a CR right before the LF is
// dropped, so CR LF and LF files read alike. The text after the last LF is
// the last line; a file ending in LF has no empty line after it. Bytes pass
// unchanged: no character-set conversion.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace tarnwell {

class TextLineReader {
 public:
  TextLineReader() = default;
  TextLineReader(const TextLineReader&) = delete;
  TextLineReader& operator=(const TextLineReader&) = delete;
  ~TextLineReader();

  // False when the file cannot be opened for reading (or is a directory).
  bool Open(const std::string& path);

  // Closes the file; Open may be called again.
  void Close();

  // The next line without its line end, valid until the next call. False at
  // the end of the file and after a read error (see ReadFailed).
  bool NextLine(std::string_view& line);

  bool Opened() const { return file_ != nullptr; }

  // True when reading stopped on an error rather than at the end of the file.
  bool ReadFailed() const { return failed_; }

  std::uint64_t BytesConsumed() const { return consumed_; }
  std::uint64_t FileSize() const { return size_; }  // 0 when not known

 private:
  void Refill();

  std::FILE* file_ = nullptr;
  std::vector<char> buffer_;
  std::size_t begin_ = 0;  // first unread byte in buffer_
  std::size_t end_ = 0;    // one past the last byte read into buffer_
  std::size_t scanned_ = 0;  // bytes after begin_ known to hold no LF
  bool atEnd_ = false;
  bool failed_ = false;
  std::uint64_t consumed_ = 0;
  std::uint64_t size_ = 0;
};

}  // namespace tarnwell

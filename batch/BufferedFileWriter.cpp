#include "batch/BufferedFileWriter.h"

namespace tarnwell {

BufferedFileWriter::~BufferedFileWriter() {
  Close();
}

bool BufferedFileWriter::Create(const std::string& path) {
  file_ = std::fopen(path.c_str(), "wb");
  if (!file_) return false;
  std::setvbuf(file_, nullptr, _IONBF, 0);
  buffer_.clear();
  buffer_.reserve(kFlushSize + 4096);
  failed_ = false;
  return true;
}

bool BufferedFileWriter::Flush() {
  if (!failed_ && !buffer_.empty() &&
      std::fwrite(buffer_.data(), 1, buffer_.size(), file_) != buffer_.size()) {
    failed_ = true;
  }
  buffer_.clear();
  return !failed_;
}

bool BufferedFileWriter::Close() {
  if (!file_) return !failed_;
  Flush();
  if (std::fclose(file_) != 0) failed_ = true;
  file_ = nullptr;
  return !failed_;
}

}  // namespace tarnwell

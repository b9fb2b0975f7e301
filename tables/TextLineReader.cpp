#include "tables/TextLineReader.h"

#include <sys/stat.h>

#include <cstring>

namespace tarnwell {
namespace {

constexpr std::size_t kBlockSize = 1 << 20;  // bytes read per call

}  // namespace

TextLineReader::~TextLineReader() { Close(); }

void TextLineReader::Close() {
  if (file_) std::fclose(file_);
  file_ = nullptr;
  begin_ = end_ = scanned_ = 0;
  atEnd_ = failed_ = false;
  consumed_ = size_ = 0;
}

bool TextLineReader::Open(const std::string& path) {
  Close();
  file_ = std::fopen(path.c_str(), "rb");
  if (!file_) return false;
  struct stat status {};
  if (fstat(fileno(file_), &status) == 0) {
    // A directory opens on some systems but yields nothing readable.
    if (S_ISDIR(status.st_mode)) {
      std::fclose(file_);
      file_ = nullptr;
      return false;
    }
    if (S_ISREG(status.st_mode)) size_ = static_cast<std::uint64_t>(status.st_size);
  }
  // The blocks are ours; the stream's own buffer would only copy them again.
  std::setvbuf(file_, nullptr, _IONBF, 0);
  buffer_.resize(kBlockSize);
  return true;
}

void TextLineReader::Refill() {
  if (begin_ > 0) {
    std::memmove(buffer_.data(), buffer_.data() + begin_, end_ - begin_);
    end_ -= begin_;
    begin_ = 0;
  }
  // A line longer than the buffer: make room for it.
  if (end_ == buffer_.size()) buffer_.resize(buffer_.size() * 2);
  const std::size_t count = std::fread(buffer_.data() + end_, 1, buffer_.size() - end_, file_);
  end_ += count;
  if (count == 0) {
    atEnd_ = true;
    failed_ = std::ferror(file_) != 0;
  }
}

bool TextLineReader::NextLine(std::string_view& line) {
  if (!file_) return false;
  for (;;) {
    const char* start = buffer_.data() + begin_;
    const std::size_t available = end_ - begin_;
    const void* lineFeed = std::memchr(start + scanned_, '\n', available - scanned_);
    if (lineFeed) {
      std::size_t length = static_cast<const char*>(lineFeed) - start;
      begin_ += length + 1;
      consumed_ += length + 1;
      scanned_ = 0;
      if (length > 0 && start[length - 1] == '\r') --length;
      line = std::string_view(start, length);
      return true;
    }
    scanned_ = available;
    if (atEnd_) {
      if (available == 0 || failed_) return false;
      begin_ = end_;
      consumed_ += available;
      scanned_ = 0;
      line = std::string_view(start, available);
      return true;
    }
    Refill();
  }
}

}  // namespace tarnwell

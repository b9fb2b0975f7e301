#include "tables/TableFileReader.h"

#include "tables/TableText.h"

namespace tarnwell {

TableFileReader::~TableFileReader() { Close(); }

bool TableFileReader::Open(const std::string& path, char separator) {
  Close();
  // Binary mode: bytes pass unchanged; CR LF is folded by NextRow itself.
  // A read-only stream does not lock the file against other programs.
  file_ = std::fopen(path.c_str(), "rb");
  separator_ = separator;
  return file_ != nullptr;
}

bool TableFileReader::NextRow(std::vector<std::string>& fields) {
  fields.clear();
  if (file_ == nullptr) return false;
  std::string line;
  int ch;
  while ((ch = std::getc(file_)) != EOF && ch != '\n') line.push_back(static_cast<char>(ch));
  // Nothing read before the end (or a read error): there is no further row.
  if (ch == EOF && line.empty()) return false;
  if (ch == '\n' && !line.empty() && line.back() == '\r') line.pop_back();
  SplitAtChar(line, separator_, fields);
  return true;
}

void TableFileReader::Close() {
  if (file_ != nullptr) std::fclose(file_);
  file_ = nullptr;
}

}  // namespace tarnwell

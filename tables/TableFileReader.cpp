#include "tables/TableFileReader.h"

#include "tables/TableText.h"

namespace tarnwell {

bool TableFileReader::Open(const std::string& path, char separator) {
  // Read-only: the file stays open to other programs, for reading and writing.
  separator_ = separator;
  return lines_.Open(path);
}

bool TableFileReader::NextRow(std::vector<std::string>& fields) {
  std::string_view line;
  if (!lines_.NextLine(line)) {
    fields.clear();
    return false;
  }
  SplitAtChar(line, separator_, fields);
  return true;
}

void TableFileReader::Close() { lines_.Close(); }

}  // namespace tarnwell

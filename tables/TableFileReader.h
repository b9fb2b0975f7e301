// Reads a table file line by line and splits each line at a separator.
// CR LF and LF line ends read alike; the last line needs no line end.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

namespace tarnwell {

class TableFileReader {
 public:
  TableFileReader() = default;
  TableFileReader(const TableFileReader&) = delete;
  TableFileReader& operator=(const TableFileReader&) = delete;
  ~TableFileReader();

  // Opens the file for reading; false when it cannot be opened.
  bool Open(const std::string& path, char separator);

  // Reads the next line and splits it (SplitAtChar); false at the end of
  // the file. The empty read after a final line feed is the end, not a row.
  bool NextRow(std::vector<std::string>& fields);

  void Close();

 private:
  std::FILE* file_ = nullptr;
  char separator_ = ',';
};

}  // namespace tarnwell

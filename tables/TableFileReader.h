// Reads a table file line by line and splits each line at a separator.
// CR LF and LF line ends read alike; the last line needs no line end.
#pragma once

#include <string>
#include <vector>

#include "tables/TextLineReader.h"

namespace tarnwell {

class TableFileReader {
 public:
  // Opens the file for reading; false when it cannot be opened.
  bool Open(const std::string& path, char separator);

  // Reads the next line and splits it (SplitAtChar); false at the end of
  // the file. The empty read after a final line feed is the end, not a row.
  bool NextRow(std::vector<std::string>& fields);

  void Close();

 private:
  TextLineReader lines_;
  char separator_ = ',';
};

}  // namespace tarnwell

// Where the tables lie: beside the running program file, whatever the
// working directory.
#pragma once

#include <string>

namespace tarnwell {

// The directory of the running executable, without a trailing "/".
std::string GetProgramDirectory();

// The program directory, "/", and the table file name ("ellips.csv").
std::string GetTablePath(const std::string& fileName);

// Makes GetTablePath look in `directory` instead of the program directory
// (the command-line tool's --tables); an empty text restores the default.
void SetTableDirectory(const std::string& directory);

}  // namespace tarnwell

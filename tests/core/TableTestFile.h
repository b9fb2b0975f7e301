// A scratch table file for the table and catalogue tests, named after the
// running test so that tests run in parallel never share one.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <string>

namespace tarnwell::test {

inline std::string ScratchTablePath(const std::string& suffix = ".csv") {
  const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
  std::string name = std::string(info->test_suite_name()) + "_" + info->name();
  std::replace(name.begin(), name.end(), '/', '_');  // parameterised tests
  return ::testing::TempDir() + "tarnwell_" + name + "_" + std::to_string(getpid()) + suffix;
}

// Writes `bytes` exactly (no line-end translation) and removes the file
// when it goes out of scope.
class ScratchTable {
 public:
  explicit ScratchTable(const std::string& bytes, const std::string& suffix = ".csv")
      : path_(ScratchTablePath(suffix)) {
    std::ofstream(path_, std::ios::binary) << bytes;
  }
  ~ScratchTable() { std::remove(path_.c_str()); }
  ScratchTable(const ScratchTable&) = delete;
  ScratchTable& operator=(const ScratchTable&) = delete;

  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

}  // namespace tarnwell::test

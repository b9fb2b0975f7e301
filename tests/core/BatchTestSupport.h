// Shared by the batch and estimation tests: a scratch folder per test, exact
// file bytes, a stand-in for a full disk, and an ellipsoid catalogue with the
// ellipsoids they use.
#pragma once

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tables/EllipsoidCatalogue.h"

namespace tarnwell::test {

// A folder of its own for the running test, removed afterwards.
class ScratchFolder {
 public:
  ScratchFolder() {
    const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = std::string(info->test_suite_name()) + "_" + info->name();
    for (char& c : name) {
      if (c == '/') c = '_';  // parameterised tests have "/" in their names
    }
    path_ = ::testing::TempDir() + "tarnwell_" + name + "_" + std::to_string(getpid());
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
  }
  ~ScratchFolder() { std::filesystem::remove_all(path_); }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  std::string File(const std::string& name) const { return path_ + "/" + name; }

  // The names in the folder, sorted; hidden ones (temporary files) too.
  std::vector<std::string> Names() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(path_)) names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    return names;
  }

 private:
  std::string path_;
};

inline void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

inline std::string ReadBytes(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// While it lives, no file of this process may grow beyond maxBytes: a write
// past that fails (EFBIG, SIGXFSZ ignored) as on a full disk.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t maxBytes) : previousHandler_(std::signal(SIGXFSZ, SIG_IGN)) {
    getrlimit(RLIMIT_FSIZE, &previous_);
    rlimit limit = previous_;
    limit.rlim_cur = maxBytes;
    setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &previous_);
    std::signal(SIGXFSZ, previousHandler_);
  }
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;

 private:
  rlimit previous_;
  void (*previousHandler_)(int);
};

// WGS84, Krassovsky and CGCS2000, written to the scratch folder and loaded.
inline void LoadTestEllipsoids(const ScratchFolder& folder) {
  const std::string path = folder.File("ellips.csv");
  WriteBytes(path,
             "\"WGS84\",\"a=6378137\",\"rf=298.257223563\",\"WGS84\"\n"
             "\"krass\",\"a=6378245\",\"rf=298.3\",\"Krassovsky\"\n"
             "\"CGCS2000\",\"a=6378137\",\"rf=298.257222101\",\"CGCS2000\"\n");
  ASSERT_TRUE(LoadEllipsoidCatalogue(path));
}

}  // namespace tarnwell::test

// tarnwell-cli end to end: the real executable, its stdout, stderr and exit
// status.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <optional>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "batch/ParameterFile.h"
#include "engine/BursaWolf.h"
#include "engine/CoordSettings.h"
#include "tables/NumberText.h"
#include "engine/ConversionPlan.h"
#include "estimate/FourParameters.h"
#include "tables/EllipsoidCatalogue.h"
#include "tables/TablePaths.h"
#include "tables/TableText.h"

namespace tarnwell {
namespace {

struct CliRun {
  int exitStatus = -1;
  std::string out, err;
};

std::string ReadFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

class Cli : public testing::Test {
 protected:
  void SetUp() override {
    std::string name = testing::UnitTest::GetInstance()->current_test_info()->name();
    folder_ = testing::TempDir() + "tarnwell_cli_" + name + "_" + std::to_string(getpid());
    std::filesystem::create_directories(folder_);
  }
  void TearDown() override { std::filesystem::remove_all(folder_); }

  std::string File(const std::string& name) const { return folder_ + "/" + name; }

  void Write(const std::string& name, const std::string& bytes) const {
    std::ofstream(File(name), std::ios::binary) << bytes;
  }

  // Runs tarnwell-cli with these arguments, no shell in between.
  CliRun RunCli(const std::vector<std::string>& arguments) const {
    const pid_t child = StartCli(arguments);
    int status = 0;
    waitpid(child, &status, 0);
    CliRun run;
    run.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.out = ReadFile(File("stdout.txt"));
    run.err = ReadFile(File("stderr.txt"));
    return run;
  }

  // Starts tarnwell-cli, its stdout and stderr going to stdout.txt and
  // stderr.txt; the caller waits for it.
  pid_t StartCli(const std::vector<std::string>& arguments) const {
    const std::string outPath = File("stdout.txt"), errPath = File("stderr.txt");
    std::vector<char*> argv;
    std::string program = TARNWELL_CLI;
    argv.push_back(program.data());
    std::vector<std::string> copies = arguments;
    for (std::string& argument : copies) argv.push_back(argument.data());
    argv.push_back(nullptr);
    const pid_t child = fork();
    if (child == 0) {
      const int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
      const int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
      dup2(out, STDOUT_FILENO);
      dup2(err, STDERR_FILENO);
      // Whatever this test runner ignores, the tool starts as from a terminal.
      for (const int signalNumber : {SIGINT, SIGTERM, SIGHUP}) std::signal(signalNumber, SIG_DFL);
      execv(program.c_str(), argv.data());
      _exit(127);
    }
    return child;
  }

  // The texts of a printed point, without its line end.
  static std::vector<std::string> Texts(const std::string& out) {
    return SplitAtChar(out.substr(0, out.find('\n')), ',');
  }

  // The numbers after a line's label.
  static std::vector<double> LabelledNumbers(const std::string& line) { return Numbers(line.substr(line.find(',') + 1)); }

  static std::vector<double> Numbers(const std::string& line) {
    std::vector<double> numbers;
    for (const std::string& field : SplitAtChar(line, ',')) numbers.push_back(std::strtod(field.c_str(), nullptr));
    return numbers;
  }

 private:
  std::string folder_;
};

const double kA = 6378137, kF = 1 / 298.257223563, kE2 = kF * (2 - kF);  // WGS84

std::vector<std::string> Concat(std::initializer_list<std::vector<std::string>> parts) {
  std::vector<std::string> whole;
  for (const std::vector<std::string>& part : parts) whole.insert(whole.end(), part.begin(), part.end());
  return whole;
}

TEST_F(Cli, PointConvertsAsTheSinglePointPage) {
  const CliRun run = RunCli({"point", "--from", "LB", "--to", "Space", "0:0:0", "120:0:0", "0"});
  EXPECT_EQ(run.exitStatus, 0);
  EXPECT_EQ(run.err, "");
  const std::vector<double> xyz = Numbers(run.out);
  ASSERT_EQ(xyz.size(), 3u);
  EXPECT_NEAR(xyz[0], -3189068.5, 1e-6);
  EXPECT_NEAR(xyz[1], 5523628.670817, 1e-6);
  EXPECT_EQ(SplitAtChar(run.out, ',')[2], "0.000000000000000\n");

  // Values may begin with "-", and so may angles; no "--" needed.
  const CliRun south = RunCli({"point", "--from", "LB", "--to", "Space", "--from-angle", "DMS", "-33:30:0", "-70:15:0", "-12"});
  EXPECT_EQ(south.exitStatus, 0) << south.err;
  const double b = -33.5 * M_PI / 180, l = -70.25 * M_PI / 180;
  const double n = kA / std::sqrt(1 - kE2 * std::sin(b) * std::sin(b));
  const std::vector<double> southXyz = Numbers(south.out);
  ASSERT_EQ(southXyz.size(), 3u);
  EXPECT_NEAR(southXyz[0], (n - 12) * std::cos(b) * std::cos(l), 1e-6);
  EXPECT_NEAR(southXyz[2], (n * (1 - kE2) - 12) * std::sin(b), 1e-6);

  // --seven switches to the datum chain: LB on WGS84 to LB on Krassovsky.
  const CliRun chain = RunCli({"point", "--from", "LB", "--to", "LB", "--to-ellipsoid", "krass", "--from-angle", "DDD",
                          "--to-angle", "DDD", "--seven", "-15,128,72,0,0,0,-1.5", "30", "120", "0"});
  EXPECT_EQ(chain.exitStatus, 0) << chain.err;
  const std::vector<double> blh = Numbers(chain.out);
  ASSERT_EQ(blh.size(), 3u);
  EXPECT_NEAR(blh[0], 30, 0.01);
  EXPECT_NEAR(blh[1], 120, 0.01);

  // "--" ends the options: what follows is a value, read as the source type.
  const CliRun dashes = RunCli({"point", "--", "--to", "x", "-y"});
  EXPECT_EQ(dashes.exitStatus, 1);
  EXPECT_EQ(dashes.err, "坐标格式错误,请检查.\n");
}

// --decimals rounds every output value, with the carry of the seconds.
TEST_F(Cli, DecimalsRoundTheOutput) {
  const CliRun dms = RunCli({"point", "--from", "Space", "--to", "LB", "--decimals", "4", "6378137.00004", "0", "0"});
  EXPECT_EQ(dms.exitStatus, 0) << dms.err;
  EXPECT_EQ(dms.out, "000:00:0.0000,000:00:0.0000,0.0000\n");
  const CliRun carried = RunCli({"point", "--from", "LB", "--to", "LB", "--to-ellipsoid", "krass", "--from-angle", "DDD",
                                 "--seven", "0,0,0,0,0,0,0", "--decimals", "0", "30.99999", "-120.99999", "0"});
  EXPECT_EQ(carried.exitStatus, 0) << carried.err;
  EXPECT_EQ(SplitAtChar(carried.out, ',')[0], "031:00:0");
  EXPECT_EQ(SplitAtChar(carried.out, ',')[1], "-121:00:0");
  const CliRun whole = RunCli({"point", "--from", "LB", "--to", "Space", "--decimals", "15", "0:0:0", "120:0:0", "0"});
  EXPECT_EQ(SplitAtChar(whole.out, ',')[2], "0.000000000000000\n");
}

// --angle-decimals sets the angle's alone, before or after --decimals.
TEST_F(Cli, AngleDecimalsApartFromTheMetres) {
  for (const std::vector<std::string>& order : {std::vector<std::string>{"--decimals", "3", "--angle-decimals", "5"},
                                                std::vector<std::string>{"--angle-decimals", "5", "--decimals", "3"}}) {
    std::vector<std::string> arguments{"point", "--from", "Space", "--to", "LB"};
    arguments.insert(arguments.end(), order.begin(), order.end());
    arguments.insert(arguments.end(), {"6378137.00004", "0", "0"});
    const CliRun run = RunCli(arguments);
    EXPECT_EQ(run.exitStatus, 0) << run.err;
    EXPECT_EQ(run.out, "000:00:0.00000,000:00:0.00000,0.000\n");
  }
}

TEST_F(Cli, PointRefusedShowsTheMessageAndExitsOne) {
  const CliRun run = RunCli({"point", "--from", "LB", "--to", "Space", "30:30", "120:0:0", "0"});
  EXPECT_EQ(run.exitStatus, 1);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.err, "坐标格式错误,请检查\n");
}

// The projection dialog's choice: Mercator with its catalogue defaults
// (true scale at 39°, central meridian 117°), against the closed formula.
TEST_F(Cli, ProjectionOptionTakesTheCatalogueDefaults) {
  const CliRun run = RunCli({"point", "--from", "LB", "--to", "Plan", "--from-angle", "DDD", "--projection", "merc", "30", "118.5", "7"});
  ASSERT_EQ(run.exitStatus, 0) << run.err;
  const double phi = 30 * M_PI / 180, e = std::sqrt(kE2), sinTs = std::sin(39 * M_PI / 180);
  const double k0 = std::cos(39 * M_PI / 180) / std::sqrt(1 - kE2 * sinTs * sinTs);
  const double north = k0 * kA * (std::atanh(std::sin(phi)) - e * std::atanh(e * std::sin(phi)));
  const double east = k0 * kA * 1.5 * M_PI / 180;
  const std::vector<double> plan = Numbers(run.out);
  ASSERT_EQ(plan.size(), 3u);
  EXPECT_NEAR(plan[0], north, 1e-6);
  EXPECT_NEAR(plan[1], east, 1e-6);
  EXPECT_EQ(plan[2], 7);

  // Transverse Mercator on its central meridian: east is the false easting,
  // north the meridian arc (integrated here by Simpson's rule).
  const CliRun tm = RunCli({"point", "--lon0", "117", "--from", "LB", "--to", "Plan", "--from-angle", "DDD", "--projection", "tmerc", "30", "117", "0"});
  ASSERT_EQ(tm.exitStatus, 0) << tm.err;
  double arc = 0;
  const int steps = 2000;
  for (int i = 0; i <= steps; ++i) {
    const double p = phi * i / steps, s = std::sin(p);
    const double weight = (i == 0 || i == steps) ? 1 : (i % 2 ? 4 : 2);
    arc += weight * std::pow(1 - kE2 * s * s, -1.5);
  }
  arc *= kA * (1 - kE2) * phi / steps / 3;
  const std::vector<double> tmPlan = Numbers(tm.out);
  ASSERT_EQ(tmPlan.size(), 3u);
  EXPECT_NEAR(tmPlan[0], arc, 1e-5);
  EXPECT_NEAR(tmPlan[1], 500000, 1e-6);
}

TEST_F(Cli, FileWritesTheOutputBesideTheInput) {
  Write("pts.csv", "点1,30,120,0\r\nP2,-33.5,151.25,10\n");
  const CliRun run = RunCli({"file", "--from", "LB", "--to", "Space", "--from-angle", "DDD", File("pts.csv")});
  EXPECT_EQ(run.exitStatus, 0) << run.err;
  EXPECT_EQ(run.out, File("pts.csv") + "1\n");
  const std::vector<std::string> lines = SplitAtChar(ReadFile(File("pts.csv1")), '\n');
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0].substr(0, 5), "点1,");
  EXPECT_EQ(lines[0].back(), '\r');
  const double b = -33.5 * M_PI / 180;
  const double n = kA / std::sqrt(1 - kE2 * std::sin(b) * std::sin(b));
  EXPECT_NEAR(Numbers(lines[1])[3], (n * (1 - kE2) + 10) * std::sin(b), 1e-6);

  const CliRun conflict = RunCli({"file", File("pts.csv")});  // Space source, "n,b,l,h" file
  EXPECT_EQ(conflict.exitStatus, 1);
  EXPECT_EQ(conflict.err, "文件格式与坐标类型冲突，请检查。\n");

  const CliRun nothing = RunCli({"file", "--format", "n,X,Y,Z", File("pts.csv")});  // Space -> Space
  EXPECT_EQ(nothing.exitStatus, 1);
  EXPECT_NE(nothing.err, "");
  EXPECT_EQ(nothing.out, "");
}

// An output name that is a link to the input would destroy the input.
TEST_F(Cli, FileRefusesAnOutputNameLinkedToTheInput) {
  const std::string points = "P1,30,120,0\r\nP2,31,121,0\r\n";
  Write("pts.csv", points);
  for (const bool symbolic : {true, false}) {
    if (symbolic) {
      std::filesystem::create_symlink("pts.csv", File("pts.csv1"));
    } else {
      std::filesystem::create_hard_link(File("pts.csv"), File("pts.csv1"));
    }
    const CliRun run = RunCli({"file", "--from", "LB", "--to", "Space", "--from-angle", "DDD", File("pts.csv")});
    EXPECT_EQ(run.exitStatus, 1) << symbolic;
    EXPECT_EQ(run.err, "输出文件与输入文件相同,请检查。\n") << symbolic;
    EXPECT_EQ(run.out, "") << symbolic;
    EXPECT_EQ(ReadFile(File("pts.csv")), points) << symbolic;
    std::filesystem::remove(File("pts.csv1"));
  }
}

// Killed at any moment, a conversion leaves under the output name either
// what was there before (nothing, or an earlier complete output) or the
// complete new output, never a part. The moments are spread over the length
// of one whole run, so some kills fall before, some during and some after the
// writing; the assertions hold for each.
TEST_F(Cli, KilledConversionNeverLeavesAPartialOutput) {
  std::string points;
  for (int i = 0; i < 300000; ++i) {
    char line[64];
    const int length = std::snprintf(line, sizeof line, "P%d,%.2f,%.2f,%d\r\n", i, 20 + i % 2000 * 0.01,
                                     100 + i % 3000 * 0.01, i % 500);
    points.append(line, length);
  }
  Write("pts.csv", points);
  const std::vector<std::string> arguments = {"file", "--from", "LB", "--to", "Space", "--from-angle", "DDD", File("pts.csv")};
  const std::string output = File("pts.csv1");

  const auto start = std::chrono::steady_clock::now();
  ASSERT_EQ(RunCli(arguments).exitStatus, 0);
  const auto wholeRun = std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - start);
  const std::string complete = ReadFile(output);
  ASSERT_EQ(std::count(complete.begin(), complete.end(), '\n'), 300000);
  const std::string earlier = "P0,1.000000000000000,2.000000000000000,3.000000000000000\r\n";

  std::mt19937 random(20240601);
  std::uniform_int_distribution<std::int64_t> moment(0, wholeRun.count() * 5 / 4);
  for (int trial = 0; trial < 20; ++trial) {
    const bool hadEarlier = trial % 2 == 1;
    std::filesystem::remove(output);
    if (hadEarlier) Write("pts.csv1", earlier);

    const pid_t child = StartCli(arguments);
    std::this_thread::sleep_for(std::chrono::microseconds(moment(random)));
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);

    if (!std::filesystem::exists(std::filesystem::symlink_status(output))) {
      EXPECT_FALSE(hadEarlier) << "trial " << trial << ": the earlier output is gone";
      continue;
    }
    const std::string left = ReadFile(output);
    EXPECT_TRUE(left == complete || (hadEarlier && left == earlier))
        << "trial " << trial << ": " << left.size() << " bytes under the output name";
  }
  EXPECT_EQ(ReadFile(File("pts.csv")), points);
}

// The hidden temporary files beside the output, ".pts.csv1.XXXXXX".
std::vector<std::string> TemporaryFiles(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    if (entry.path().filename().string().starts_with(".pts.csv1.")) names.push_back(entry.path().filename());
  }
  return names;
}

// Interrupted while it writes, a conversion removes its temporary file and
// ends by the signal, as it would have without cleaning up.
TEST_F(Cli, InterruptedConversionLeavesNoTemporaryFile) {
  std::string points;
  for (int i = 0; i < 1000000; ++i) {
    char line[48];
    points.append(line, std::snprintf(line, sizeof line, "P%d,31.5,121.25,%d\n", i, i % 500));
  }
  Write("pts.csv", points);
  const std::string folder = std::filesystem::path(File("pts.csv")).parent_path();
  for (const int signalNumber : {SIGINT, SIGTERM, SIGHUP}) {
    const pid_t child = StartCli({"file", "--from", "LB", "--to", "Plan", "--from-angle", "DDD", "--threads", "1", File("pts.csv")});
    // Not a timed wait: the signal goes as soon as the writing has begun.
    bool writing = false;
    for (int poll = 0; poll < 60000 && !writing; ++poll) {
      writing = !TemporaryFiles(folder).empty();
      if (!writing) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    EXPECT_TRUE(writing) << signalNumber;
    kill(child, signalNumber);
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signalNumber) << signalNumber;
    EXPECT_EQ(TemporaryFiles(folder), std::vector<std::string>{}) << signalNumber;
    EXPECT_FALSE(std::filesystem::exists(File("pts.csv1"))) << signalNumber;
  }
  EXPECT_EQ(ReadFile(File("pts.csv")), points);
}

// An export interrupted while it works leaves no temporary folder, and the
// earlier export whole.
TEST_F(Cli, InterruptedExportKeepsTheEarlierOne) {
  Write("one.csv", "P1,31.5,121.25,0\n");
  std::string points;
  for (int i = 0; i < 1000000; ++i) {
    char line[48];
    points.append(line, std::snprintf(line, sizeof line, "P%d,31.5,121.25,%d\n", i, i % 500));
  }
  Write("pts.csv", points);
  const std::vector<std::string> toGpkg = {"file", "--from", "LB", "--to", "Plan", "--from-angle", "DDD", "--export",
                                           "gpkg", "--threads", "1", "--output"};
  ASSERT_EQ(RunCli(Concat({toGpkg, {File("pts.gpkg"), File("one.csv")}})).exitStatus, 0);
  const std::string earlier = ReadFile(File("pts.gpkg"));
  const auto hidden = [this] {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(File(""))) {
      if (entry.path().filename().string().starts_with(".")) names.push_back(entry.path().filename());
    }
    return names;
  };
  const pid_t child = StartCli(Concat({toGpkg, {File("pts.gpkg"), File("pts.csv")}}));
  bool working = false;
  for (int poll = 0; poll < 60000 && !working; ++poll) {
    working = !hidden().empty();
    if (!working) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  EXPECT_TRUE(working);
  kill(child, SIGTERM);
  int status = 0;
  waitpid(child, &status, 0);
  EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM);
  EXPECT_EQ(hidden(), std::vector<std::string>{});
  EXPECT_TRUE(ReadFile(File("pts.gpkg")) == earlier);
}

TEST_F(Cli, ReadOnlyOutputIsRefused) {
  Write("pts.csv", "P1,30,120,0\n");
  Write("pts.csv1", "earlier\n");
  std::filesystem::permissions(File("pts.csv1"), std::filesystem::perms::owner_read | std::filesystem::perms::group_read |
                                                     std::filesystem::perms::others_read);
  const CliRun run = RunCli({"file", "--from", "LB", "--to", "Space", "--from-angle", "DDD", File("pts.csv")});
  EXPECT_EQ(run.exitStatus, 1);
  EXPECT_EQ(run.err, "输出文件是只读的，未被替换: " + File("pts.csv1") + "\n");
  EXPECT_EQ(ReadFile(File("pts.csv1")), "earlier\n");
}

// Several inputs: each converted on its own; a refused one is named and the
// others are converted all the same.
TEST_F(Cli, SeveralFilesGoOnPastARefusedOne) {
  Write("a.csv", "A1,30,120,0\n");
  Write("b.csv", "B1,30,120,0\nB2,30,abc,0\n");
  Write("c.csv", "C1,31,121,0\n");
  const CliRun run = RunCli({"file", "--from", "LB", "--to", "Space", "--from-angle", "DDD", File("a.csv"),
                             File("b.csv"), File("c.csv")});
  EXPECT_EQ(run.exitStatus, 1);
  EXPECT_EQ(run.out, File("a.csv1") + "\n" + File("c.csv1") + "\n");
  EXPECT_EQ(run.err, "坐标格式错误,请检查\n第 2 行: B2,30,abc,0\n未转换: " + File("b.csv") + "\n");
  EXPECT_EQ(ReadFile(File("a.csv1")).substr(0, 3), "A1,");
  EXPECT_FALSE(std::filesystem::exists(File("b.csv1")));
  EXPECT_EQ(ReadFile(File("c.csv1")).substr(0, 3), "C1,");

  const CliRun good = RunCli({"file", "--from", "LB", "--to", "Space", "--from-angle", "DDD", File("a.csv"), File("c.csv")});
  EXPECT_EQ(good.exitStatus, 0) << good.err;
  EXPECT_EQ(good.out, File("a.csv1") + "\n" + File("c.csv1") + "\n");
}

// With a report, bad lines are left out and listed whole with their line
// numbers; the good lines are written as without them.
TEST_F(Cli, BadLinesReportListsTheLinesLeftOut) {
  Write("pts.csv", "P1,30,120,0\r\nbad line\nP3,31,121,5\nP4,95,121,0\n\nP6,32,122,1\n");
  Write("good.csv", "P1,30,120,0\r\nP3,31,121,5\nP6,32,122,1\n");
  const std::vector<std::string> convert = {"file", "--from", "LB", "--to", "Space", "--from-angle", "DDD"};
  ASSERT_EQ(RunCli(Concat({convert, {File("good.csv")}})).exitStatus, 0);

  const CliRun run = RunCli(Concat({convert, {"--bad-lines", "report", File("pts.csv")}}));
  EXPECT_EQ(run.exitStatus, 0) << run.err;
  EXPECT_EQ(run.out, File("pts.csv1") + "\n");
  EXPECT_EQ(run.err, "已跳过坏行 3 行，见报告: " + File("pts.csv1.bad.txt") + "\n");
  EXPECT_EQ(ReadFile(File("pts.csv1")), ReadFile(File("good.csv1")));
  EXPECT_EQ(ReadFile(File("pts.csv1.bad.txt")),
            "行号\t原因\t原文\r\n"
            "2\t文件坐标格式不正确，请检查。\tbad line\r\n"
            "4\t坐标格式错误,请检查; 纬度 95° 超出 ±90°\tP4,95,121,0\r\n"
            "5\t文件坐标格式不正确，请检查。\t\r\n");

  // Without bad lines there is no report; stopping stays the default.
  EXPECT_EQ(RunCli(Concat({convert, {"--bad-lines", "report", File("good.csv")}})).err, "");
  EXPECT_FALSE(std::filesystem::exists(File("good.csv1.bad.txt")));
  EXPECT_EQ(RunCli(Concat({convert, {File("pts.csv")}})).exitStatus, 1);
  EXPECT_EQ(RunCli(Concat({convert, {"--bad-lines", "skip", File("pts.csv")}})).exitStatus, 2);
}

TEST_F(Cli, OutputOptionChoosesTheFileOrTheFolder) {
  Write("pts.csv", "P1,30,120,0\n");
  std::filesystem::create_directory(File("out"));
  const std::vector<std::string> convert = {"file", "--from", "LB", "--to", "Space", "--from-angle", "DDD"};
  const struct {
    std::string output, written;
  } cases[] = {{File("result.csv"), File("result.csv")}, {File("out"), File("out/pts.csv")}};
  for (const auto& [output, written] : cases) {
    const CliRun run = RunCli(Concat({convert, {"--output", output, File("pts.csv")}}));
    EXPECT_EQ(run.exitStatus, 0) << run.err;
    EXPECT_EQ(run.out, written + "\n");
    EXPECT_EQ(ReadFile(written).substr(0, 3), "P1,");
  }
  EXPECT_FALSE(std::filesystem::exists(File("pts.csv1")));
  // Never onto the input, and one file cannot take several inputs.
  const CliRun ontoInput = RunCli(Concat({convert, {"--output", File("pts.csv"), File("pts.csv")}}));
  EXPECT_EQ(ontoInput.err, "输出文件与输入文件相同,请检查。\n");
  EXPECT_EQ(ReadFile(File("pts.csv")), "P1,30,120,0\n");
  EXPECT_EQ(RunCli(Concat({convert, {"--output", File("one.csv"), File("pts.csv"), File("pts.csv")}})).exitStatus, 2);
}

// A CASS .dat file (点名,编码,Y east,X north,H) goes to L,B in the columns of
// Y and X, its codes kept, and comes back to itself.
TEST_F(Cli, CassFileKeepsItsCodesAndRoundTrips) {
  const std::string cass = "K1,控制点,512345.678,3456789.012,45.6\r\nK2,,498765.432,3467890.123,50.25\r\n";
  Write("pts.dat", cass);
  const std::vector<std::string> zone = {"--to-angle", "DDD", "--from-angle", "DDD", "--lon0", "117"};
  const CliRun run = RunCli(Concat({{"file", "--from", "Plan", "--to", "LB", "--layout", "cass"}, zone, {File("pts.dat")}}));
  ASSERT_EQ(run.exitStatus, 0) << run.err;
  const std::vector<std::string> lines = SplitAtChar(ReadFile(File("pts.dat1")), '\n');
  ASSERT_EQ(lines.size(), 3u);
  const std::vector<std::string> first = SplitAtChar(lines[0], ',');
  ASSERT_EQ(first.size(), 5u);
  EXPECT_EQ(first[0] + "," + first[1], "K1,控制点");
  EXPECT_NEAR(std::strtod(first[2].c_str(), nullptr), 117.13, 0.01);  // L where Y (east) stood
  EXPECT_NEAR(std::strtod(first[3].c_str(), nullptr), 31.23, 0.01);   // B where X (north) stood
  EXPECT_EQ(SplitAtChar(lines[1], ',')[1], "");

  Write("lb.dat", ReadFile(File("pts.dat1")));
  const CliRun back = RunCli(
      Concat({{"file", "--from", "LB", "--to", "Plan", "--columns", "name,code,l,b,h"}, zone, {File("lb.dat")}}));
  ASSERT_EQ(back.exitStatus, 0) << back.err;
  const std::vector<std::string> given = SplitAtChar(cass, '\n'), got = SplitAtChar(ReadFile(File("lb.dat1")), '\n');
  ASSERT_EQ(got.size(), given.size());
  for (std::size_t i = 0; i + 1 < given.size(); ++i) {
    const std::vector<std::string> a = SplitAtChar(given[i], ','), b = SplitAtChar(got[i], ',');
    ASSERT_EQ(b.size(), 5u);
    EXPECT_EQ(b[0] + b[1], a[0] + a[1]);
    for (std::size_t column = 2; column < 5; ++column)
      EXPECT_NEAR(std::strtod(b[column].c_str(), nullptr), std::strtod(a[column].c_str(), nullptr), 1e-6) << i;
  }
}

// Separators, header lines and comments: the header and the comments come
// back above and among the points, the extra column passes through.
TEST_F(Cli, LayoutsOfTheirOwnKeepHeadersCommentsAndExtras) {
  const std::string point = "31.5,121.25,10";
  const CliRun reference = RunCli({"point", "--from", "LB", "--to", "Space", "--from-angle", "DDD", "31.5", "121.25", "10"});
  ASSERT_EQ(reference.exitStatus, 0);
  const std::vector<std::string> xyz = Texts(reference.out);
  const struct {
    std::vector<std::string> options;
    std::string input, output;
  } cases[] = {
      {{"--columns", "name,b,l,h,extra", "--separator", "tab", "--header", "auto"},
       "点名\t纬度\t经度\t高程\t备注\n# 2024 测\nP1\t31.5\t121.25\t10\tnote a\n",
       "点名\t纬度\t经度\t高程\t备注\r\n# 2024 测\r\nP1\t" + xyz[0] + "\t" + xyz[1] + "\t" + xyz[2] + "\tnote a\r\n"},
      {{"--columns", "b,l,h", "--separator", "blank", "--header", "2"},
       "Title\nB L H\n  31.5   121.25 10  \n",
       "Title\r\nB L H\r\n" + xyz[0] + " " + xyz[1] + " " + xyz[2] + "\r\n"},
      {{"--columns", "l,code,b,name,h", "--separator", "semicolon"},
       "121.25;c;31.5;P1;10\n",
       xyz[1] + ";c;" + xyz[0] + ";P1;" + xyz[2] + "\r\n"},
  };
  for (const auto& [options, input, output] : cases) {
    Write("pts.txt", input);
    const CliRun run = RunCli(Concat({{"file", "--from", "LB", "--to", "Space", "--from-angle", "DDD"}, options, {File("pts.txt")}}));
    EXPECT_EQ(run.exitStatus, 0) << run.err;
    EXPECT_EQ(ReadFile(File("pts.txt1")), output) << options[1];
  }
  // Columns that do not fit the source type, or are no layout at all.
  Write("pts.txt", "P1," + point + "\n");
  EXPECT_EQ(RunCli({"file", "--from", "Plan", "--to", "LB", "--columns", "name,b,l,h", File("pts.txt")}).err,
            "文件格式与坐标类型冲突，请检查。\n");
  for (const char* columns : {"name,b,l", "name,b,l,h,name", "name,b,l,h,lat", "x,y,h,b"}) {
    EXPECT_EQ(RunCli({"file", "--columns", columns, File("pts.txt")}).exitStatus, 2) << columns;
  }
}

// --factors: a second line with γ, k, the elevation and combined factors and
// the distortion, the same from either side of the Plan side.
TEST_F(Cli, FactorsFollowThePointOnItsPlanSide) {
  const std::vector<std::string> zone = {"--zone-width", "3", "--zone", "39", "--factors"};
  const CliRun forward = RunCli(Concat({{"point", "--from", "LB", "--to", "Plan", "--from-angle", "DDD"}, zone,
                                        {"31.2", "118.3", "45"}}));
  ASSERT_EQ(forward.exitStatus, 0) << forward.err;
  const std::vector<std::string> lines = SplitAtChar(forward.out, '\n');
  ASSERT_EQ(lines.size(), 3u);
  const std::vector<double> factors = Numbers(lines[1]);
  ASSERT_EQ(factors.size(), 5u);
  EXPECT_GT(factors[0], 0.6);  // east of 117°: grid north lies clockwise of true north
  EXPECT_LT(factors[0], 0.7);
  EXPECT_NEAR(factors[3], factors[1] * factors[2], 1e-15);
  EXPECT_NEAR(factors[4], (factors[3] - 1) * 1e6, 1e-6);

  const std::vector<std::string> plan = Texts(forward.out);
  const CliRun back = RunCli(Concat({{"point", "--from", "Plan", "--to", "LB"}, zone, {plan[0], plan[1], plan[2]}}));
  ASSERT_EQ(back.exitStatus, 0) << back.err;
  const std::vector<double> again = Numbers(SplitAtChar(back.out, '\n')[1]);
  ASSERT_EQ(again.size(), 5u);
  for (std::size_t i = 0; i < 4; ++i) EXPECT_NEAR(again[i], factors[i], 1e-9) << i;

  EXPECT_EQ(RunCli({"point", "--from", "LB", "--to", "Space", "--factors", "31", "118", "0"}).exitStatus, 2);

  // In a file: five more columns, after the layout's own, with its separator.
  Write("pts.txt", "P1 31.2 118.3 45\n");
  const CliRun file = RunCli(Concat({{"file", "--from", "LB", "--to", "Plan", "--from-angle", "DDD", "--columns",
                                      "name,b,l,h", "--separator", "blank"},
                                     zone, {File("pts.txt")}}));
  ASSERT_EQ(file.exitStatus, 0) << file.err;
  const std::vector<std::string> columns = SplitAtChar(SplitAtChar(ReadFile(File("pts.txt1")), '\r')[0], ' ');
  ASSERT_EQ(columns.size(), 9u);
  for (std::size_t i = 0; i < 5; ++i) EXPECT_NEAR(std::strtod(columns[4 + i].c_str(), nullptr), factors[i], 1e-12) << i;
  EXPECT_EQ(RunCli({"file", "--from", "LB", "--to", "Space", "--factors", File("pts.txt")}).err,
            "比例因子只用于有平面坐标 (Plan) 一侧的转换。\n");
}

// What GDAL's ogrinfo reads from a file: every feature ("-q") or the
// layer's summary with its coordinate system ("-so").
std::string Ogrinfo(const std::string& how, const std::string& path) {
  std::string text;
  FILE* pipe = popen(("ogrinfo -al " + how + " '" + path + "' 2>&1").c_str(), "r");
  if (!pipe) return text;
  char buffer[4096];
  for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) text.append(buffer, got);
  pclose(pipe);
  return text;
}

// The values after "label = " on each line that has it, and the points of
// "POINT Z (x y z)".
std::vector<std::string> FieldValues(const std::string& text, const std::string& label) {
  std::vector<std::string> values;
  for (const std::string& line : SplitAtChar(text, '\n')) {
    const std::size_t at = line.find(label + " = ");
    if (at != std::string::npos) values.push_back(line.substr(at + label.size() + 3));
  }
  return values;
}
std::vector<std::array<double, 3>> PointsOf(const std::string& text) {
  std::vector<std::array<double, 3>> points;
  for (const std::string& line : SplitAtChar(text, '\n')) {
    std::array<double, 3> point;
    if (std::sscanf(line.c_str(), " POINT Z (%lf %lf %lf)", &point[0], &point[1], &point[2]) == 3) points.push_back(point);
  }
  return points;
}

// Each export read back by GDAL: the converted coordinates (KML in WGS84
// L, B), the names and the coordinate system (CGCS2000 3° zone 39 with the
// zone prefix is EPSG:4527; DXF keeps none).
TEST_F(Cli, ExportsReadBackWithTheirCoordinatesNamesAndSystem) {
  Write("pts.csv", "点1,31.2,118.3,45\nP2,30.5,116.8,12.5\n");
  const std::vector<std::string> zone39 = {"file", "--from", "LB", "--to", "Plan", "--from-angle", "DDD",
                                           "--from-ellipsoid", "CGCS2000", "--to-ellipsoid", "CGCS2000",
                                           "--zone-width", "3", "--zone", "39", "--zone-prefix"};
  ASSERT_EQ(RunCli(Concat({zone39, {File("pts.csv")}})).exitStatus, 0);
  std::vector<std::array<double, 3>> plane;  // east, north, h
  for (const std::string& line : SplitAtChar(ReadFile(File("pts.csv1")), '\n')) {
    const std::vector<double> values = Numbers(line.substr(line.find(',') + 1));
    if (values.size() == 3) plane.push_back({values[1], values[0], values[2]});
  }
  ASSERT_EQ(plane.size(), 2u);
  // The same points as plane coordinates on WGS84, for KML.
  Write("wgs.csv", "点1," + FormatNumber(plane[0][1]) + "," + FormatNumber(plane[0][0]) + ",45\nP2," +
                       FormatNumber(plane[1][1]) + "," + FormatNumber(plane[1][0]) + ",12.5\n");
  const std::vector<std::string> toWgs84 = {"file", "--from", "Plan", "--to", "LB", "--format", "n,x,y,h",
                                            "--zone-width", "3", "--zone", "39", "--zone-prefix"};
  const std::vector<std::array<double, 3>> geodetic = {{118.3, 31.2, 45}, {116.8, 30.5, 12.5}};

  const struct {
    std::string format, input, extension, nameLabel, epsg;
    const std::vector<std::array<double, 3>>* expected;
    double tolerance;
  } cases[] = {
      {"geojson", "pts.csv", ".geojson", "name (String)", "4527", &plane, 1e-6},
      {"gpkg", "pts.csv", ".gpkg", "name (String)", "4527", &plane, 1e-6},
      {"shp", "pts.csv", ".shp", "name (String)", "4527", &plane, 1e-6},
      {"dxf", "pts.csv", ".dxf", "Text (String)", "", &plane, 1e-6},
      {"kml", "wgs.csv", ".kml", "Name (String)", "4326", &geodetic, 1e-9},
  };
  for (const auto& c : cases) {
    const std::vector<std::string> settings = c.format == "kml" ? toWgs84 : zone39;
    const CliRun run = RunCli(Concat({settings, {"--export", c.format, File(c.input)}}));
    const std::string path = File(c.input.substr(0, 3) + c.extension);
    ASSERT_EQ(run.exitStatus, 0) << c.format << ": " << run.err;
    EXPECT_EQ(run.out, path + "\n");
    const std::string features = Ogrinfo("-q", path);
    std::vector<std::string> names = FieldValues(features, c.nameLabel);
    if (c.format == "dxf") {  // a text "name height" beside each point, then the point
      EXPECT_EQ(names, (std::vector<std::string>{"点1 45.000000000000000", "P2 12.500000000000000"}));
    } else {
      EXPECT_EQ(names, (std::vector<std::string>{"点1", "P2"})) << c.format;
    }
    std::vector<std::array<double, 3>> points = PointsOf(features);
    if (c.format == "dxf") points = {points[0], points[2]};
    ASSERT_EQ(points.size(), 2u) << c.format << features;
    for (std::size_t i = 0; i < 2; ++i) {
      for (std::size_t j = 0; j < 2; ++j) EXPECT_NEAR(points[i][j], (*c.expected)[i][j], c.tolerance) << c.format;
      EXPECT_NEAR(points[i][2], (*c.expected)[i][2], 1e-9) << c.format;
    }
    const std::string summary = Ogrinfo("-so", path);
    if (c.epsg.empty()) {
      EXPECT_EQ(summary.find("ID[\"EPSG\""), std::string::npos) << summary;
    } else {
      EXPECT_NE(summary.find("    ID[\"EPSG\"," + c.epsg + "]]"), std::string::npos) << c.format << summary;
    }
  }
  // KML only in WGS84.
  EXPECT_EQ(RunCli(Concat({zone39, {"--export", "kml", File("pts.csv")}})).err,
            "KML 只能写 WGS84 坐标: 目的椭球须为 WGS84。\n");
}

// KML of points on WGS84 needs no conversion: from B, L on WGS84 itself, or
// from a WGS84 source whose target lies a datum step away.
TEST_F(Cli, KmlTakesPointsAlreadyOnWgs84) {
  Write("pts.csv", "P1,31.2,118.3,45\n");
  const std::vector<std::string> lb = {"file", "--from", "LB", "--from-angle", "DDD", "--export", "kml"};
  for (const std::vector<std::string>& target :
       {std::vector<std::string>{"--to", "LB"},
        std::vector<std::string>{"--to", "Plan", "--to-ellipsoid", "krass", "--seven", "10,20,30,1,2,3,4"}}) {
    const CliRun run = RunCli(Concat({lb, target, {File("pts.csv")}}));
    ASSERT_EQ(run.exitStatus, 0) << run.err;
    const std::vector<std::array<double, 3>> points = PointsOf(Ogrinfo("-q", File("pts.kml")));
    ASSERT_EQ(points.size(), 1u);
    EXPECT_EQ(points[0], (std::array<double, 3>{118.3, 31.2, 45}));
  }
}

// A folder converts its coordinate files; CSV output takes a header line
// and a .csv name.
TEST_F(Cli, FolderConvertsItsFilesIntoCsv) {
  std::filesystem::create_directory(File("in"));
  Write("in/a.txt", "P1 31.2 118.3 45\n");
  Write("in/b.txt", "P2 30.5 116.8\n");
  const CliRun run = RunCli({"file", "--from", "LB", "--to", "Space", "--from-angle", "DDD", "--columns", "name,b,l,h",
                             "--separator", "blank", "--output-layout", "csv", "--decimals", "1", File("in")});
  EXPECT_EQ(run.exitStatus, 1);
  EXPECT_EQ(run.out, File("in/a1.csv") + "\n");
  EXPECT_EQ(run.err, "文件坐标格式不正确，请检查。\n第 1 行: P2 30.5 116.8\n未转换: " + File("in/b.txt") + "\n");
  EXPECT_TRUE(ReadFile(File("in/a1.csv")).starts_with("点名,X,Y,Z\r\nP1,-25887"));
  EXPECT_EQ(RunCli({"file", File("in/none")}).exitStatus, 1);
  std::filesystem::create_directory(File("empty"));
  EXPECT_EQ(RunCli({"file", File("empty")}).exitStatus, 2);
  const CliRun both = RunCli({"file", "--output-layout", "csv", "--export", "kml", File("in/a.txt")});
  EXPECT_EQ(both.exitStatus, 2);
  EXPECT_TRUE(both.err.starts_with("tarnwell-cli: --export 不能与 --output-layout csv 同用\n")) << both.err;
}

TEST_F(Cli, ThreePrintsTheSevenParameters) {
  const CliRun run = RunCli({"three", "--to-ellipsoid", "krass", "--from-angle", "DDD", "--to-angle", "DDD", "30", "120", "0", "30", "120", "0"});
  EXPECT_EQ(run.exitStatus, 0) << run.err;
  const std::vector<double> p = Numbers(run.out);
  ASSERT_EQ(p.size(), 7u);
  EXPECT_NE(p[0], 0);
  EXPECT_EQ(SplitAtChar(run.out, ',')[3], "0.000000000000000");

  const CliRun same = RunCli({"three", "30", "120", "0", "30", "120", "0"});
  EXPECT_EQ(same.exitStatus, 1);
  EXPECT_EQ(same.err, "椭球必须不同.\n");
}

TEST_F(Cli, SevenImportsTheFilesAndPrintsTheReport) {
  // Common points made with known parameters through the model itself.
  ASSERT_TRUE(LoadEllipsoidCatalogue(GetTablePath("ellips.csv")));
  CoordSettings& settings = CoordSettings::instance();
  settings.sourceEllipsoid = "WGS84";
  settings.targetEllipsoid = "krass";
  std::optional<EllipsoidPair> ellipsoids;
  ASSERT_FALSE(EllipsoidPairOf(settings, ellipsoids));
  const SevenParams truth{-15.5, 128.25, 72.125, 0.5, -1.25, 2.75, 4.5};
  std::string files[2];
  for (int i = 0; i < 6; ++i) {
    std::string b = FormatNumber(31 + 0.01 * i), l = FormatNumber(121 + 0.013 * (i * i % 5)), h = FormatNumber(10.0 * i);
    const GeodeticPoint target = ellipsoids->target.ToGeodetic(
        ApplyBursaWolf(truth, ellipsoids->source.ToCartesian({31 + 0.01 * i, 121 + 0.013 * (i * i % 5), 10.0 * i})));
    const std::string x = FormatNumber(target.latitude), y = FormatNumber(target.longitude), z = FormatNumber(target.height);
    files[i % 2] += "Q" + std::to_string(i) + "," + b + "," + l + "," + h + "," + x + "," + y + "," + z + "\r\n";
  }
  Write("a.csv", files[0]);
  Write("b.csv", files[1]);
  const CliRun run = RunCli({"seven", "--to-ellipsoid", "krass", "--from-angle", "DDD", "--to-angle", "DDD", File("a.csv"), File("b.csv")});
  ASSERT_EQ(run.exitStatus, 0) << run.err;
  const std::vector<std::string> lines = SplitAtChar(run.out, '\n');
  // Parameters, header, 6 points, 4 summary lines, σ0, deviations, suspect,
  // the opposite set, empty tail.
  ASSERT_EQ(lines.size(), 17u);
  const std::vector<double> p = Numbers(lines[0]);
  ASSERT_EQ(p.size(), 7u);
  const double expected[7] = {truth.dX, truth.dY, truth.dZ, truth.rX, truth.rY, truth.rZ, truth.scalePpm};
  for (int i = 0; i < 3; ++i) EXPECT_NEAR(p[i], expected[i], 1e-3) << i;
  for (int i = 3; i < 7; ++i) EXPECT_NEAR(p[i], expected[i], 1e-4) << i;
  EXPECT_EQ(lines[1], "点名,vX,vY,vZ,v3D");
  EXPECT_EQ(lines[2].substr(0, 3), "Q0,");
  EXPECT_EQ(lines[10], "点数,6");
  EXPECT_EQ(lines[11], "多余观测数,11");
  EXPECT_EQ(lines[12].rfind("单位权中误差,", 0), 0u);
  EXPECT_EQ(lines[13].rfind("参数中误差,", 0), 0u);
  EXPECT_EQ(LabelledNumbers(lines[13]).size(), 7u);
  EXPECT_EQ(lines[14].rfind("疑似粗差,Q", 0), 0u);
  const std::vector<double> opposite = LabelledNumbers(lines[15]);
  ASSERT_EQ(opposite.size(), 7u);
  EXPECT_EQ(lines[15].rfind("反向七参数,", 0), 0u);
  for (int i = 0; i < 7; ++i) EXPECT_NEAR(opposite[i], -expected[i], i < 3 ? 0.05 : 1e-3) << i;

  const CliRun missing = RunCli({"seven", "--to-ellipsoid", "krass", "--from-angle", "DDD", "--to-angle", "DDD",
                                 File("a.csv"), File("none.csv")});
  EXPECT_EQ(missing.exitStatus, 1);
  EXPECT_EQ(missing.err, "坐标文件无法读取。\n");
}

TEST_F(Cli, FourEstimatesFromPlaneFilesAndPrintsTheReport) {
  // Exact common points: the target grid is the source grid turned, scaled
  // and shifted; target heights 2.5 m up with a tilt of 1 cm per km north.
  const FourParams truth{-2500.25, 1800.5, -42.75, 18.5};
  // Even points to a.csv, odd ones to b.csv; the target of point `moved` 0.5 m east.
  const auto writeFiles = [&](int moved) {
    std::string files[2];
    for (int i = 0; i < 8; ++i) {
      const double north = 3.4e6 + 1500.0 * (i % 3) - 700.0 * i, east = 5e5 + 1100.0 * (i * i % 5), height = 30.0 + i;
      double targetNorth = north, targetEast = east;
      truth.Apply(targetNorth, targetEast);
      if (i == moved) targetEast += 0.5;
      const double targetHeight = height + 2.5 + 1e-5 * (north - 3.4e6);
      std::string& file = files[i % 2];
      file += 'G';  // (appended: "G" + … draws a false -Wrestrict from GCC 12)
      file += std::to_string(i) + "," + FormatNumber(north) + "," + FormatNumber(east) + "," +
                      FormatNumber(height) + "," + FormatNumber(targetNorth) + "," + FormatNumber(targetEast) + "," +
                      FormatNumber(targetHeight) + "\r\n";
    }
    Write("a.csv", files[0]);
    Write("b.csv", files[1]);
  };
  writeFiles(-1);
  const CliRun run = RunCli({"four", "--height-fit", "plane", File("a.csv"), File("b.csv")});
  ASSERT_EQ(run.exitStatus, 0) << run.err;
  const std::vector<std::string> lines = SplitAtChar(run.out, '\n');
  // Parameters, height fit, header, 8 points, 7 summary lines, 5 of
  // precision, empty tail.
  ASSERT_EQ(lines.size(), 24u);
  const std::vector<double> p = Numbers(lines[0]);
  ASSERT_EQ(p.size(), 4u);
  EXPECT_NEAR(p[0], truth.dNorth, 1e-5);
  EXPECT_NEAR(p[1], truth.dEast, 1e-5);
  EXPECT_NEAR(p[2], truth.rotationArcSeconds, 1e-7);
  EXPECT_NEAR(p[3], truth.scalePpm, 1e-6);
  const std::vector<std::string> heightFit = SplitAtChar(lines[1], ',');
  ASSERT_EQ(heightFit.size(), 6u);  // the name, the centroid, three coefficients
  EXPECT_EQ(heightFit[0], "高程拟合");
  EXPECT_EQ(lines[2], "点名,vx,vy,vh,v2D");
  EXPECT_EQ(lines[3].substr(0, 3), "G0,");  // the files in the order given
  EXPECT_EQ(lines[4].substr(0, 3), "G2,");
  for (int i = 3; i < 11; ++i) EXPECT_LT(std::fabs(Numbers(lines[i])[4]), 1e-6) << lines[i];
  EXPECT_EQ(lines[11].rfind("平面残差均方根,", 0), 0u);
  EXPECT_EQ(lines[15], "点数,8");
  EXPECT_EQ(lines[16], "多余观测数,12");
  EXPECT_EQ(lines[17], "高程多余观测数,5");
  EXPECT_EQ(lines[18].rfind("单位权中误差,", 0), 0u);
  EXPECT_EQ(lines[19].rfind("参数中误差,", 0), 0u);
  EXPECT_EQ(LabelledNumbers(lines[19]).size(), 4u);
  EXPECT_EQ(lines[20].rfind("高程单位权中误差,", 0), 0u);
  EXPECT_EQ(lines[21].rfind("高程拟合中误差,", 0), 0u);
  EXPECT_EQ(LabelledNumbers(lines[21]).size(), 3u);

  // One target moved 0.5 m: the largest residual is its.
  writeFiles(3);
  const CliRun moved = RunCli({"four", File("a.csv"), File("b.csv")});
  ASSERT_EQ(moved.exitStatus, 0) << moved.err;
  EXPECT_NE(moved.out.find("\n最大平面残差,0."), std::string::npos);
  EXPECT_NE(moved.out.find(",G3\n高程残差均方根"), std::string::npos);
  EXPECT_NE(moved.out.find(",超限\n"), std::string::npos);  // 0.5 m beyond 2 cm
  EXPECT_NE(moved.out.find("\n疑似粗差,G3\n"), std::string::npos);

  const CliRun bad = RunCli({"four", File("a.csv"), File("none.csv")});
  EXPECT_EQ(bad.exitStatus, 1);
  EXPECT_EQ(bad.err, "坐标文件无法读取。\n");
  EXPECT_EQ(bad.out, "");
}

// --four switches the local grid on: the same parameters as FourParams
// applies them, after the projection, before its inverse, and from plane to plane.
TEST_F(Cli, FourOptionConvertsToAndFromTheLocalGrid) {
  const std::vector<std::string> four = {"--four", "-2500.25,1800.5,-42.75,18.5"};
  const FourParams params{-2500.25, 1800.5, -42.75, 18.5};
  const auto run = [&](std::vector<std::string> arguments, bool withFour) {
    if (withFour) arguments.insert(arguments.begin() + 1, four.begin(), four.end());
    const CliRun result = RunCli(arguments);
    EXPECT_EQ(result.exitStatus, 0) << result.err;
    return Numbers(result.out);
  };

  const std::vector<double> plain = run({"point", "--from", "LB", "--to", "Plan", "--from-angle", "DDD", "31.5", "120.75", "12"}, false);
  const std::vector<double> local = run({"point", "--from", "LB", "--to", "Plan", "--from-angle", "DDD", "31.5", "120.75", "12"}, true);
  ASSERT_EQ(plain.size(), 3u);
  ASSERT_EQ(local.size(), 3u);
  double north = plain[0], east = plain[1];
  params.Apply(north, east);
  EXPECT_NEAR(local[0], north, 1e-8);
  EXPECT_NEAR(local[1], east, 1e-8);
  EXPECT_EQ(local[2], 12);  // no height fit given: heights unchanged

  const std::string localNorth = FormatNumber(local[0]), localEast = FormatNumber(local[1]);
  const std::vector<double> back = run({"point", "--from", "Plan", "--to", "LB", "--to-angle", "DDD", localNorth, localEast, "12"}, true);
  ASSERT_EQ(back.size(), 3u);
  EXPECT_NEAR(back[0], 31.5, 1e-10);
  EXPECT_NEAR(back[1], 120.75, 1e-10);

  const std::vector<double> planeToPlane = run({"point", "--from", "Plan", "--to", "Plan", FormatNumber(plain[0]), FormatNumber(plain[1]), "12"}, true);
  ASSERT_EQ(planeToPlane.size(), 3u);
  EXPECT_NEAR(planeToPlane[0], north, 1e-8);
  EXPECT_NEAR(planeToPlane[1], east, 1e-8);

  // A file from plane to plane: line by line the same.
  Write("grid.csv", "A," + FormatNumber(plain[0]) + "," + FormatNumber(plain[1]) + ",12\n");
  std::vector<std::string> file = {"file", "--from", "Plan", "--to", "Plan", "--format", "n,x,y,h", File("grid.csv")};
  file.insert(file.begin() + 1, four.begin(), four.end());
  const CliRun converted = RunCli(file);
  ASSERT_EQ(converted.exitStatus, 0) << converted.err;
  EXPECT_EQ(ReadFile(File("grid.csv1")), "A," + FormatNumber(planeToPlane[0]) + "," + FormatNumber(planeToPlane[1]) +
                                             ",12.000000000000000\r\n");
}

// Typing mistakes never come out as coordinates: exit 1, the message, and
// nothing on stdout.
struct RefusedCase {
  std::vector<std::string> arguments;
  std::string message;
};

void PrintTo(const RefusedCase& c, std::ostream* out) {
  for (const std::string& argument : c.arguments) *out << argument << ' ';
}

class CliRefusals : public Cli, public testing::WithParamInterface<RefusedCase> {};

TEST_P(CliRefusals, RefuseWithTheMessage) {
  const CliRun run = RunCli(GetParam().arguments);
  EXPECT_EQ(run.exitStatus, 1);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.err, GetParam().message + "\n");
}

INSTANTIATE_TEST_SUITE_P(
    Points, CliRefusals,
    testing::Values(
        RefusedCase{{"point", "--from", "LB", "--to", "Space", "--from-angle", "DDD", "3l.5", "121.25", "10"},
                    "坐标格式错误,请检查"},
        RefusedCase{{"point", "--from", "LB", "--to", "Space", "--from-angle", "DDD", "31.5", "121.25", "nan"},
                    "坐标格式错误,请检查"},
        RefusedCase{{"point", "--from", "LB", "--to", "Space", "--from-angle", "DMM", "--", "--5", "121:0", "0"},
                    "坐标格式错误,请检查"},
        RefusedCase{{"point", "--from", "LB", "--to", "Plan", "--from-angle", "DMS", "30:ab:cd", "121:0:0", "0"},
                    "坐标格式错误,请检查."},
        RefusedCase{{"point", "--from", "Space", "--to", "LB", "", "", ""}, "坐标格式错误,请检查."},
        RefusedCase{{"point", "--from", "Space", "--to", "Plan", "--", "garbage", "nan", "1,5"}, "坐标格式错误,请检查."},
        RefusedCase{{"point", "--from", "Plan", "--to", "LB", "20000000", "500000", "0"},
                    "坐标转换失败,请检查.\n纵坐标 x 20000 km 在北极 (10001.966 km) 以北, 超出投影范围"},
        RefusedCase{{"three", "--to-ellipsoid", "krass", "3O:0:0", "120:0:0", "0", "30:0:0", "120:0:0", "0"},
                    "坐标格式错误,请检查"}));

// A saved parameter file stands for the options it holds; options after it
// override it; a refused file stops with its message.
TEST_F(Cli, ParamsFileActsAsItsOptionsAndMayBeOverridden) {
  CoordSettings saved;
  saved.targetEllipsoid = "krass";
  saved.useSevenParams = true;
  saved.datum.params = {-15.415, 157.025, 94.74, 0.312, -0.08, 0.257, -4.6};
  saved.projection.centralMeridian = 117;
  saved.projection.surfaceHeight = 50;
  saved.useFourParams = true;
  saved.fourParams = {-2500.25, 1800.5, -42.75, 18.5};
  ASSERT_TRUE(WriteParameterFile(File("site.twp"), saved));
  const std::vector<std::string> point = {"--from-angle", "DDD", "--to-angle", "DDD", "31.5", "120.75", "12"};
  const auto run = [&](std::vector<std::string> arguments) {
    arguments.insert(arguments.end(), point.begin(), point.end());
    const CliRun result = RunCli(arguments);
    EXPECT_EQ(result.exitStatus, 0) << result.err;
    EXPECT_EQ(Numbers(result.out).size(), 3u);
    return result.out;
  };

  EXPECT_EQ(run({"point", "--params", File("site.twp"), "--from", "LB", "--to", "LB"}),
            run({"point", "--from", "LB", "--to", "LB", "--to-ellipsoid", "krass", "--seven",
                 "-15.415,157.025,94.74,0.312,-0.08,0.257,-4.6"}));
  // Without the datum chain the plane side: plane height and four parameters.
  CoordSettings plane = saved;
  plane.useSevenParams = false;
  plane.targetEllipsoid = "WGS84";
  ASSERT_TRUE(WriteParameterFile(File("plane.twp"), plane));
  const std::vector<std::string> planeOptions = {"--lon0", "117", "--plane-height", "50", "--four",
                                                 "-2500.25,1800.5,-42.75,18.5"};
  std::vector<std::string> explicitOptions = {"point", "--from", "LB", "--to", "Plan"};
  explicitOptions.insert(explicitOptions.end(), planeOptions.begin(), planeOptions.end());
  const std::string fromFile = run({"point", "--params", File("plane.twp"), "--from", "LB", "--to", "Plan"});
  EXPECT_EQ(fromFile, run(explicitOptions));
  const std::string overridden = run({"point", "--from", "LB", "--to", "Plan", "--lon0", "118", "--params", File("plane.twp")});
  EXPECT_NE(overridden, fromFile);
  explicitOptions.insert(explicitOptions.end(), {"--lon0", "118"});
  EXPECT_EQ(overridden, run(explicitOptions));

  std::string text = ReadFile(File("plane.twp"));
  text.replace(text.find("four.dEast="), std::string("four.dEast=1800.5").size(), "four.dEast=18OO.5");
  Write("bad.twp", text);
  const CliRun refused = RunCli({"point", "--params", File("bad.twp"), "--from", "LB", "--to", "Plan", "31.5", "120.75", "12"});
  EXPECT_EQ(refused.exitStatus, 1);
  EXPECT_EQ(refused.out, "");
  EXPECT_NE(refused.err.find("参数文件格式不正确，请检查。"), std::string::npos) << refused.err;
  EXPECT_NE(refused.err.find("four.dEast=18OO.5"), std::string::npos) << refused.err;
  EXPECT_EQ(RunCli({"point", "--params", File("none.twp"), "1", "2", "3"}).exitStatus, 1);
}

TEST_F(Cli, FileRefusalNamesTheLineAndWritesNothing) {
  const struct {
    std::string badLine, message;
  } cases[] = {{"C,,121.25,abc", "坐标格式错误,请检查"},
               {"N,95,121.25,10", "坐标格式错误,请检查\n纬度 95° 超出 ±90°"}};
  for (const auto& [badLine, message] : cases) {
    Write("d.csv", "P1,31.5,121.25,10\n" + badLine + "\nP3,31.5,121.25,10\n");
    const CliRun run = RunCli({"file", "--from", "LB", "--to", "Space", "--from-angle", "DDD", File("d.csv")});
    EXPECT_EQ(run.exitStatus, 1) << badLine;
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, message + "\n第 2 行: " + badLine + "\n");
    EXPECT_FALSE(std::filesystem::exists(File("d.csv1")));
  }
}

// Earth-centred coordinates from one datum to another, line by line as the
// model gives them.
TEST_F(Cli, FileConvertsSpaceAcrossDatums) {
  const SevenParams params{15.8, -154.4, -82.3, 0.5, -0.3, 0.2, 1.5};
  const CartesianPoint point{-2823821.815, 4653514.330, 3313308.963};
  Write("xyz.csv", "P1," + FormatNumber(point.X) + "," + FormatNumber(point.Y) + "," + FormatNumber(point.Z) + "\n");
  const CliRun run = RunCli({"file", "--from", "Space", "--to", "Space", "--format", "n,X,Y,Z", "--seven",
                             "15.8,-154.4,-82.3,0.5,-0.3,0.2,1.5", "--from-ellipsoid", "WGS84", "--to-ellipsoid",
                             "krass", File("xyz.csv")});
  ASSERT_EQ(run.exitStatus, 0) << run.err;
  const std::vector<double> converted = Numbers(ReadFile(File("xyz.csv1")).substr(3));
  const CartesianPoint expected = ApplyBursaWolf(params, point);
  ASSERT_EQ(converted.size(), 3u);
  EXPECT_NEAR(converted[0], expected.X, 1e-8);
  EXPECT_NEAR(converted[1], expected.Y, 1e-8);
  EXPECT_NEAR(converted[2], expected.Z, 1e-8);
}

// The same output on one thread as on all of them.
TEST_F(Cli, ThreadsOptionKeepsTheOutput) {
  std::string points;
  for (int i = 0; i < 20000; ++i) {
    points += 'P';
    points += std::to_string(i);
    points += ",31.";
    points += std::to_string(i);
    points += ",121.25,10\n";
  }
  Write("t.csv", points);
  const std::vector<std::string> convert = {"file", "--from", "LB", "--to", "Plan", "--from-angle", "DDD"};
  std::vector<std::string> one = convert, all = convert;
  one.insert(one.end(), {"--threads", "1", File("t.csv")});
  all.push_back(File("t.csv"));
  ASSERT_EQ(RunCli(one).exitStatus, 0);
  const std::string single = ReadFile(File("t.csv1"));
  ASSERT_EQ(RunCli(all).exitStatus, 0);
  EXPECT_TRUE(ReadFile(File("t.csv1")) == single);
}

// Every option value is checked whole and against its range: a mistyped
// parameter is a usage error.
TEST_F(Cli, OptionValuesMustBeWholeNumbersInRange) {
  for (const auto& [option, value] : std::vector<std::pair<std::string, std::string>>{
           {"--lon0", "12O"}, {"--lon0", "abc"}, {"--lon0", "NULL"}, {"--k", ""}, {"--x0", "5e5x"},
           {"--threads", "0"}, {"--threads", "two"}, {"--threads", "1.5"}, {"--decimals", "16"},
           {"--decimals", "-1"}, {"--decimals", "4.0"}, {"--decimals", "+4"}, {"--decimals", ""},
           {"--lon0", "1e308"}, {"--plane-height", "-6378136"}, {"--four", "1e300,0,0,0"},
           {"--seven", "1e300,0,0,0,0,0,0"}, {"--convention", "frame"}}) {
    const CliRun run = RunCli({"point", "--from", "LB", "--to", "Plan", option, value, "31:30:0", "121:15:0", "0"});
    EXPECT_EQ(run.exitStatus, 2) << option << ' ' << value;
    EXPECT_EQ(run.err.rfind("tarnwell-cli: 选项 " + option + " 的取值无效: " + value + "\n", 0), 0u) << run.err;
  }
}

// One point gives the shift alone; --report writes the report the ending
// names, the plot inside the HTML and the PDF, and an ending it cannot write
// is refused before any work.
TEST_F(Cli, FourWritesItsReportAndCorrectsByOnePoint) {
  Write("one.csv", "A,3400000,500000,10,3400012.5,499992.75,12\n");
  const CliRun run = RunCli({"four", "--plane-model", "shift", "--report", File("one.html"), File("one.csv")});
  ASSERT_EQ(run.exitStatus, 0) << run.err;
  EXPECT_EQ(SplitAtChar(run.out, '\n')[0], "12.500000000000000,-7.250000000000000,0.000000000000000,0.000000000000000");
  const std::string html = ReadFile(File("one.html"));
  EXPECT_NE(html.find("<th>ΔX</th><td>12.5 ± 0 米</td>"), std::string::npos);
  EXPECT_NE(html.find("<img src=\"data:image/png;base64,iVBORw0KGgo"), std::string::npos);

  const CliRun csv = RunCli({"four", "--plane-model", "shift", "--report", File("one.csv.csv"), File("one.csv")});
  ASSERT_EQ(csv.exitStatus, 0) << csv.err;
  EXPECT_EQ(ReadFile(File("one.csv.csv")).rfind("\xEF\xBB\xBF四参数及高程拟合计算报告\n", 0), 0u);

  // Printed without a display, and without Qt's notes on stderr.
  const std::optional<std::string> platform =
      std::getenv("QT_QPA_PLATFORM") ? std::optional<std::string>(std::getenv("QT_QPA_PLATFORM")) : std::nullopt;
  unsetenv("QT_QPA_PLATFORM");
  const CliRun pdf = RunCli({"four", "--plane-model", "shift", "--report", File("one.PDF"), File("one.csv")});
  if (platform) setenv("QT_QPA_PLATFORM", platform->c_str(), 1);
  ASSERT_EQ(pdf.exitStatus, 0) << pdf.err;
  EXPECT_EQ(pdf.err, "");
  const std::string printed = ReadFile(File("one.PDF"));
  EXPECT_EQ(printed.rfind("%PDF-", 0), 0u);
  EXPECT_NE(printed.find("/Type /Page\n"), std::string::npos);
  EXPECT_NE(printed.find("/Subtype /Image"), std::string::npos);

  const CliRun text = RunCli({"four", "--report", File("one.txt"), File("one.csv")});
  EXPECT_EQ(text.exitStatus, 2);
  EXPECT_EQ(text.out, "");
  EXPECT_EQ(text.err.rfind("tarnwell-cli: 报告文件须以 .html、.pdf 或 .csv 结尾: " + File("one.txt") + "\n", 0), 0u)
      << text.err;
  EXPECT_FALSE(std::filesystem::exists(File("one.txt")));
  // Without the one-point model one point determines nothing.
  const CliRun full = RunCli({"four", File("one.csv")});
  EXPECT_EQ(full.exitStatus, 1);
  EXPECT_EQ(full.err.rfind("公共点不足或分布不当,无法计算四参数。", 0), 0u);
}

// Points that cannot carry seven parameters, and a file with a bad line,
// are refused; nothing is printed as parameters.
TEST_F(Cli, SevenRefusesDegenerateOrBadCommonPoints) {
  const std::string point = "K,31.5,121.25,10,31.5,121.25,12\n";
  Write("same.csv", point + point + point);
  const std::vector<std::string> seven = {"seven", "--to-ellipsoid", "krass", "--from-angle", "DDD", "--to-angle", "DDD"};
  std::vector<std::string> same = seven;
  same.push_back(File("same.csv"));
  const CliRun identical = RunCli(same);
  EXPECT_EQ(identical.exitStatus, 1);
  EXPECT_EQ(identical.out, "");
  EXPECT_EQ(identical.err.rfind("公共点不足或分布不当,无法计算七参数。\n", 0), 0u);

  Write("bad.csv", point + "L,31.5,121.25\n");
  std::vector<std::string> bad = seven;
  bad.push_back(File("bad.csv"));
  const CliRun refused = RunCli(bad);
  EXPECT_EQ(refused.exitStatus, 1);
  EXPECT_EQ(refused.err, "文件的格式不正确，请检查。\n第 2 行: L,31.5,121.25\n");
}

// A row that makes no ellipsoid is named in the refusal of every conversion
// that uses it; a sphere works for Space and Plan alike.
TEST_F(Cli, EllipsoidRowsAreCheckedWhereTheyAreUsed) {
  Write("ellips.csv", "\"Flat\",\"a=6378137\",\"rf=0.5\",\"1/f below 1\"\n"
                      "\"Ball\",\"a=6371000\",\"b=6371000\",\"a sphere\"\n");
  for (const char* type : {"Space", "Plan"}) {
    const CliRun flat = RunCli({"point", "--tables", File(""), "--from-ellipsoid", "Flat", "--to-ellipsoid", "Flat",
                                "--from", "LB", "--to", type, "--from-angle", "DDD", "31.5", "121.25", "10"});
    EXPECT_EQ(flat.exitStatus, 1) << type;
    EXPECT_EQ(flat.err, "椭球参数错误,请检查.\n椭球: Flat\n") << type;
    const CliRun ball = RunCli({"point", "--tables", File(""), "--from-ellipsoid", "Ball", "--to-ellipsoid", "Ball",
                                "--from", "LB", "--to", type, "--from-angle", "DDD", "0", "120", "0"});
    EXPECT_EQ(ball.exitStatus, 0) << type << ball.err;
    EXPECT_EQ(ball.out.substr(0, 9), std::string(type) == "Space" ? "-3185499." : "0.0000000") << type;  // R cos 120°
  }
}

// PROJ's own cs2cs on one point: "x y z" in, its three numbers out; empty
// when cs2cs cannot be run.
std::vector<double> Cs2cs(const std::string& from, const std::string& to, const std::string& point) {
  const std::string command = "echo '" + point + "' | cs2cs -f %.10f " + from + " +to " + to + " 2>/dev/null";
  std::vector<double> numbers;
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return numbers;
  char line[256] = {};
  const bool read = std::fgets(line, sizeof line, pipe) != nullptr;
  pclose(pipe);
  if (!read) return numbers;
  char* at = line;
  for (char* end = nullptr;; at = end) {
    const double value = std::strtod(at, &end);
    if (end == at) break;
    numbers.push_back(value);
  }
  return numbers;
}

bool Cs2csAvailable() { return std::system("cs2cs >/dev/null 2>&1 </dev/null; command -v cs2cs >/dev/null") == 0; }

struct ProjectionCase {
  std::vector<std::string> options;
  std::string definition;  // the same projection in PROJ's words, written by hand
  std::string ellipsoid = "+ellps=WGS84";
};

// Every supported projection, with its defaults and with the options that
// change them, against cs2cs: LB -> Plan, and Plan -> LB of the result.
TEST_F(Cli, EverySupportedProjectionMatchesCs2cs) {
  if (!Cs2csAvailable()) GTEST_SKIP() << "cs2cs (proj-bin) is not installed";
  const std::vector<ProjectionCase> cases = {
      {{"--projection", "tmerc"}, "+proj=tmerc +lat_0=0 +lon_0=117 +x_0=500000 +y_0=0 +k=1"},
      {{"--projection", "tmerc", "--lat0", "10", "--lon0", "121", "--k", "0.9999", "--x0", "100", "--y0", "-200"},
       "+proj=tmerc +lat_0=10 +lon_0=121 +x_0=100 +y_0=-200 +k=0.9999"},
      {{"--projection", "etmerc", "--zone-width", "3", "--zone", "40"},
       "+proj=etmerc +lat_0=0 +lon_0=120 +x_0=500000 +y_0=0 +k=1"},
      {{"--projection", "tmerc", "--zone-width", "6", "--lon0", "121.25"},
       "+proj=tmerc +lat_0=0 +lon_0=123 +x_0=500000 +y_0=0 +k=1"},
      {{"--projection", "utm", "--zone", "51"}, "+proj=utm +zone=51"},
      {{"--projection", "utm", "--zone", "51", "--south"}, "+proj=utm +zone=51 +south"},
      {{"--projection", "merc"}, "+proj=merc +lat_ts=39 +lon_0=117 +x_0=0 +y_0=0"},
      {{"--projection", "webmerc"}, "+proj=webmerc +lon_0=0 +x_0=0 +y_0=0"},
      {{"--projection", "lcc"}, "+proj=lcc +lat_1=25 +lat_2=47 +lat_0=0 +lon_0=105 +x_0=0 +y_0=0"},
      {{"--projection", "lcc", "--lat1", "30", "--lat2", "36", "--lat0", "20", "--lon0", "120", "--x0", "1000"},
       "+proj=lcc +lat_1=30 +lat_2=36 +lat_0=20 +lon_0=120 +x_0=1000 +y_0=0"},
      {{"--projection", "lcc", "--from-ellipsoid", "CGCS2000", "--to-ellipsoid", "CGCS2000"},
       "+proj=lcc +lat_1=25 +lat_2=47 +lat_0=0 +lon_0=105 +x_0=0 +y_0=0", "+a=6378137 +rf=298.257222101"},
      {{"--projection", "aea"}, "+proj=aea +lat_1=25 +lat_2=47 +lat_0=0 +lon_0=105 +x_0=0 +y_0=0"},
      {{"--projection", "eqdc"}, "+proj=eqdc +lat_1=25 +lat_2=47 +lat_0=0 +lon_0=105 +x_0=0 +y_0=0"},
      {{"--projection", "eqc", "--lat0", "30"}, "+proj=eqc +lat_ts=30 +lon_0=105 +x_0=0 +y_0=0"},
      {{"--projection", "cass", "--lon0", "121"}, "+proj=cass +lat_0=0 +lon_0=121 +x_0=0 +y_0=0"},
      {{"--projection", "poly"}, "+proj=poly +lat_0=0 +lon_0=105 +x_0=0 +y_0=0"},
      {{"--projection", "stere"}, "+proj=stere +lat_0=90 +lon_0=105 +k=1 +x_0=0 +y_0=0"},
      {{"--projection", "sterea"}, "+proj=sterea +lat_0=35 +lon_0=105 +k=1 +x_0=0 +y_0=0"},
      {{"--projection", "laea"}, "+proj=laea +lat_0=35 +lon_0=105 +x_0=0 +y_0=0"},
      {{"--projection", "aeqd"}, "+proj=aeqd +lat_0=35 +lon_0=105 +x_0=0 +y_0=0"},
      // The projection plane 1000 m up: the ellipsoid with a + 1000, B and L as they are.
      {{"--projection", "tmerc", "--plane-height", "1000"}, "+proj=tmerc +lat_0=0 +lon_0=117 +x_0=500000 +y_0=0 +k=1",
       "+a=6379137 +rf=298.257223563"},
  };
  for (const ProjectionCase& c : cases) {
    const std::string name = testing::PrintToString(c.options);
    std::vector<std::string> forward = {"point", "--from", "LB", "--to", "Plan"};
    forward.insert(forward.end(), c.options.begin(), c.options.end());
    forward.insert(forward.end(), {"31:30:0", "121:15:0", "10"});
    const CliRun run = RunCli(forward);
    ASSERT_EQ(run.exitStatus, 0) << name << run.err;
    const std::vector<double> plane = Numbers(run.out);
    const std::vector<double> expected =
        Cs2cs("+proj=longlat " + c.ellipsoid, c.definition + " +units=m " + c.ellipsoid, "121.25 31.5 10");
    ASSERT_EQ(plane.size(), 3u) << name;
    ASSERT_EQ(expected.size(), 3u) << name;
    EXPECT_NEAR(plane[0], expected[1], 1e-6) << name;
    EXPECT_NEAR(plane[1], expected[0], 1e-6) << name;
    EXPECT_EQ(plane[2], 10) << name;

    std::vector<std::string> inverse = {"point", "--from", "Plan", "--to", "LB", "--to-angle", "DDD"};
    inverse.insert(inverse.end(), c.options.begin(), c.options.end());
    const std::vector<std::string> texts = SplitAtChar(run.out.substr(0, run.out.size() - 1), ',');
    inverse.insert(inverse.end(), texts.begin(), texts.end());
    const CliRun back = RunCli(inverse);
    ASSERT_EQ(back.exitStatus, 0) << name << back.err;
    const std::vector<double> geodetic = Numbers(back.out);
    ASSERT_EQ(geodetic.size(), 3u) << name;
    EXPECT_NEAR(geodetic[0], 31.5, 1e-9) << name;
    EXPECT_NEAR(geodetic[1], 121.25, 1e-9) << name;
  }
}

// Gauss-Krüger zones from the command line: each line of a file in its own
// zone, which the prefix of its easting says; read back without naming a zone.
TEST_F(Cli, AutomaticZonesPrefixTheEastingAndReadBack) {
  Write("z.csv", "A,31,117.3,0\nB,31,120.0,5\nC,45.5,126.6,0\nD,22.3,114.17,0\nE,31,1.4,0\n");
  const struct {
    const char* width;
    std::vector<int> zones;
  } systems[] = {{"6", {20, 21, 22, 20, 1}}, {"3", {39, 40, 42, 38, 120}}};
  for (const auto& system : systems) {
    const CliRun run = RunCli({"file", "--from", "LB", "--to", "Plan", "--from-angle", "DDD", "--format", "n,b,l,h",
                               "--zone-width", system.width, "--auto-zone", File("z.csv")});
    ASSERT_EQ(run.exitStatus, 0) << run.err;
    const std::vector<std::string> lines = SplitAtChar(ReadFile(File("z.csv1")), '\n');
    ASSERT_EQ(lines.size(), 6u);
    std::string planFile;
    for (std::size_t i = 0; i < 5; ++i) {
      const std::vector<std::string> fields = SplitAtChar(lines[i], ',');
      ASSERT_EQ(fields.size(), 4u);
      EXPECT_EQ(static_cast<int>(std::floor(std::strtod(fields[2].c_str(), nullptr) / 1e6)), system.zones[i])
          << system.width << "° line " << i;
      planFile += lines[i] + "\n";
    }
    Write("p.csv", planFile);
    const CliRun back = RunCli({"file", "--from", "Plan", "--to", "LB", "--to-angle", "DDD", "--format", "n,x,y,h",
                                "--zone-width", system.width, "--zone-prefix", File("p.csv")});
    ASSERT_EQ(back.exitStatus, 0) << back.err;
    const std::vector<std::string> geodetic = SplitAtChar(ReadFile(File("p.csv1")), '\n');
    const std::vector<std::string> input = SplitAtChar(ReadFile(File("z.csv")), '\n');
    for (std::size_t i = 0; i < 5; ++i) {
      const std::vector<double> got = Numbers(geodetic[i].substr(2)), given = Numbers(input[i].substr(2));
      ASSERT_EQ(got.size(), 3u);
      EXPECT_NEAR(got[0], given[0], 1e-9) << system.width << "° line " << i;
      EXPECT_NEAR(got[1], given[1], 1e-9) << system.width << "° line " << i;
      EXPECT_NEAR(got[2], given[2], 1e-6) << system.width << "° line " << i;
    }
  }
  // A point at 117.3°: zone 20 of 6°, zone 39 of 3°, both about 117°.
  for (const auto& [width, prefix] : {std::pair{"6", "20"}, {"3", "39"}}) {
    const CliRun run = RunCli({"point", "--from", "LB", "--to", "Plan", "--from-angle", "DDD", "--zone-width", width,
                               "--lon0", "117.3", "--zone-prefix", "31", "117.3", "0"});
    ASSERT_EQ(run.exitStatus, 0) << run.err;
    const std::vector<std::string> fields = SplitAtChar(run.out, ',');
    ASSERT_EQ(fields.size(), 3u);
    EXPECT_EQ(fields[1].substr(0, 3), std::string(prefix) + "5") << "about 500 000 m east in its zone";
  }
}

// Projection options that would have no effect, or no projection to act on,
// are refused before anything is converted.
TEST_F(Cli, ProjectionOptionsMustFitTheProjection) {
  const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
      {{"--projection", "aitoff"}, "不支持投影 aitoff"},
      {{"--projection", "lcc", "--k", "1"}, "投影 lcc 不使用选项 --k"},
      {{"--lat1", "25"}, "投影 tmerc 不使用选项 --lat1"},
      {{"--south"}, "投影 tmerc 不使用选项 --south"},
      {{"--zone", "20"}, "投影 tmerc 不使用选项 --zone"},
      {{"--zone-prefix"}, "投影 tmerc 不使用选项 --zone-prefix"},
      {{"--projection", "lcc", "--zone-width", "6"}, "投影 lcc 不使用选项 --zone-width"},
      {{"--zone-width", "6", "--k", "0.9996"}, "投影 tmerc 不使用选项 --k"},
      {{"--zone-width", "6", "--zone", "61"}, "选项 --zone 的取值无效: 61"},
      {{"--from-zone-width", "3", "--from-k", "1"}, "投影 tmerc 不使用选项 --from-k"},
      {{"--from-projection", "lcc", "--from-zone", "3"}, "投影 lcc 不使用选项 --from-zone"},
      {{"--from-zone-width", "6", "--from-zone", "61"}, "选项 --from-zone 的取值无效: 61"},
      {{"--projection", "utm", "--zone", "0"}, "选项 --zone 的取值无效: 0"},
      {{"--zone-width", "4"}, "选项 --zone-width 的取值无效: 4"},
      {{"--plane-height", "1000m"}, "选项 --plane-height 的取值无效: 1000m"},
  };
  for (const auto& [options, message] : cases) {
    std::vector<std::string> arguments = {"point", "--from", "LB", "--to", "Plan"};
    arguments.insert(arguments.end(), options.begin(), options.end());
    arguments.insert(arguments.end(), {"31:30:0", "121:15:0", "10"});
    const CliRun run = RunCli(arguments);
    EXPECT_EQ(run.exitStatus, 2) << message;
    EXPECT_EQ(run.err.rfind("tarnwell-cli: " + message + "\n", 0), 0u) << run.err;
    EXPECT_EQ(run.out, "");
  }
  // A prefix that is no zone is the point's fault.
  const CliRun wrongZone = RunCli({"point", "--from", "Plan", "--to", "LB", "--zone-width", "6", "--zone-prefix",
                                   "3487000", "75500000", "0"});
  EXPECT_EQ(wrongZone.exitStatus, 1);
  EXPECT_EQ(wrongZone.err, "坐标带号错误,请检查.\n横坐标 y 的带号 75 不在 6° 带 1–60 之内\n");
}

// A datum set and a projection in one conversion equal the datum step and
// the projection step one after the other; the set stated the other way
// (--seven-inverse) takes the plane point back.
TEST_F(Cli, DatumSetWithAProjectionEqualsTheTwoSteps) {
  const std::vector<std::string> seven = {"15.8,-154.4,-82.3,0.5,-0.3,0.2,1.5"};
  const std::vector<std::string> zone39 = {"--projection", "tmerc", "--zone-width", "3", "--zone", "39", "--zone-prefix"};
  constexpr double kMetresPerDegree = 111000;
  const struct {
    double b, l, h;  // degrees, metres; on WGS84
  } points[] = {{31.5, 117.3, 10}, {-20.25, 116.1, 500}, {45.123456789, 118.4, -30}};
  for (const auto& [b, l, h] : points) {
    const std::vector<std::string> point = {FormatNumber(b), FormatNumber(l), FormatNumber(h)};
    const CliRun oneStep = RunCli(Concat({{"point", "--from", "LB", "--to", "Plan", "--from-angle", "DDD",
                                           "--from-ellipsoid", "WGS84", "--to-ellipsoid", "krass", "--seven"},
                                          seven, zone39, point}));
    const CliRun datumStep = RunCli(Concat({{"point", "--from", "LB", "--to", "LB", "--from-angle", "DDD", "--to-angle",
                                             "DDD", "--from-ellipsoid", "WGS84", "--to-ellipsoid", "krass", "--seven"},
                                            seven, point}));
    const CliRun projectionStep = RunCli(Concat({{"point", "--from", "LB", "--to", "Plan", "--from-angle", "DDD",
                                                  "--from-ellipsoid", "krass", "--to-ellipsoid", "krass"},
                                                 zone39, Texts(datumStep.out)}));
    const CliRun back = RunCli(Concat({{"point", "--from", "Plan", "--to", "LB", "--to-angle", "DDD",
                                        "--from-ellipsoid", "krass", "--to-ellipsoid", "WGS84", "--seven-inverse"},
                                       seven, zone39, Texts(oneStep.out)}));
    const std::vector<double> plane = Numbers(oneStep.out), twoSteps = Numbers(projectionStep.out);
    const std::vector<double> geodetic = Numbers(back.out);
    ASSERT_EQ(plane.size(), 3u) << b << oneStep.err;
    ASSERT_EQ(twoSteps.size(), 3u) << b << projectionStep.err;
    ASSERT_EQ(geodetic.size(), 3u) << b << back.err;
    EXPECT_EQ(std::floor(plane[1] / 1e6), 39) << "a prefixed easting, not a longitude";
    for (int i = 0; i < 3; ++i) EXPECT_NEAR(plane[i], twoSteps[i], 1e-9) << b << " value " << i;
    EXPECT_NEAR((geodetic[0] - b) * kMetresPerDegree, 0, 1e-6) << b;
    EXPECT_NEAR((geodetic[1] - l) * kMetresPerDegree, 0, 1e-6) << b;
    EXPECT_NEAR(geodetic[2], h, 1e-6) << b;
  }
}

// A change of zone, plane to plane on CGCS2000: from zone 39 of 3° (117°) to
// zone 40 (120°). The expected point was computed once with PROJ's cs2cs:
//   echo "640000 3486000 10" | cs2cs -f %.10f
//     +proj=tmerc +lat_0=0 +lon_0=117 +x_0=500000 +y_0=0 +k=1 +a=6378137 +rf=298.257222101 +units=m +to
//     +proj=tmerc +lat_0=0 +lon_0=120 +x_0=500000 +y_0=0 +k=1 +a=6378137 +rf=298.257222101 +units=m
//   354941.1419932322  3486069.1919792416 10.0000000000
TEST_F(Cli, ChangeOfZoneMatchesCs2cs) {
  const std::vector<std::string> zones = {"--from-projection", "tmerc", "--from-zone-width", "3", "--from-zone", "39",
                                          "--zone-width", "3", "--zone", "40"};
  const struct {
    std::vector<std::string> options, source;
    double east;  // metres, with the prefix where one is written
  } cases[] = {
      {zones, {"3486000", "640000", "10"}, 354941.1419932322},
      {Concat({zones, {"--from-zone-prefix", "--zone-prefix"}}), {"3486000", "39640000", "10"}, 40354941.1419932322},
      // Without a row the source starts from tmerc's (117°, so zone 39),
      // never from the target's projection (120°, zone 40).
      {{"--from-zone-width", "3", "--zone-width", "3"}, {"3486000", "640000", "10"}, 354941.1419932322},
  };
  for (const auto& [options, source, east] : cases) {
    const CliRun run = RunCli(Concat({{"point", "--from", "Plan", "--to", "Plan", "--from-ellipsoid", "CGCS2000",
                                       "--to-ellipsoid", "CGCS2000"},
                                      options, source}));
    ASSERT_EQ(run.exitStatus, 0) << testing::PrintToString(options) << run.err;
    const std::vector<double> plane = Numbers(run.out);
    ASSERT_EQ(plane.size(), 3u);
    EXPECT_NEAR(plane[0], 3486069.1919792416, 1e-6) << testing::PrintToString(options);
    EXPECT_NEAR(plane[1], east, 1e-6) << testing::PrintToString(options);
    EXPECT_EQ(plane[2], 10);
  }
}

TEST_F(Cli, EllipsoidsAndProjectionsListTheCatalogues) {
  const CliRun ellipsoids = RunCli({"ellipsoids"});
  EXPECT_EQ(ellipsoids.exitStatus, 0);
  EXPECT_EQ(ellipsoids.out.substr(0, 29), "WGS84,6378137,298.257223563,W");

  const CliRun projections = RunCli({"projections"});
  EXPECT_EQ(projections.exitStatus, 0);
  EXPECT_NE(projections.out.find("\n70,支持,merc,Mercator\n"), std::string::npos);
  EXPECT_NE(projections.out.find("\n112,支持,tmerc,Transverse Mercator\n"), std::string::npos);
  EXPECT_NE(projections.out.find("\n3,不支持,aitoff,Aitoff\n"), std::string::npos);
  EXPECT_EQ(std::count(projections.out.begin(), projections.out.end(), '\n'), 137);
  std::size_t supported = 0;
  for (std::size_t at = projections.out.find(",支持,"); at != std::string::npos; at = projections.out.find(",支持,", at + 1))
    ++supported;
  EXPECT_EQ(supported, 15u);

  // --tables reads both tables from another folder.
  Write("ellips.csv", "\"Local\",\"a=6378000\",\"rf=300\",\"a local ellipsoid\"\n");
  Write("projs.csv", "\"tmerc\",\"Transverse Mercator\"\n\"aea\",\"Albers Equal Area\"\n");
  const std::string tables = File("");
  EXPECT_EQ(RunCli({"ellipsoids", "--tables", tables}).out, "Local,6378000,300,a local ellipsoid\n");
  EXPECT_EQ(RunCli({"projections", "--tables", tables}).out, "0,支持,aea,Albers Equal Area\n1,支持,tmerc,Transverse Mercator\n");
  const CliRun noTables = RunCli({"ellipsoids", "--tables", File("nowhere")});
  EXPECT_EQ(noTables.exitStatus, 1);
}

TEST_F(Cli, UsageErrorsExitTwoWithTheUsage) {
  const std::vector<std::vector<std::string>> cases = {
      {},
      {"convert"},
      {"point", "1", "2"},
      {"point", "1", "2", "3", "4"},
      {"point", "--from"},
      {"point", "--from", "Moon", "1", "2", "3"},
      {"point", "--form", "LB", "1", "2", "3"},
      {"point", "--seven", "1,2,3", "1", "2", "3"},
      {"point", "--projection", "nosuch", "1", "2", "3"},
      {"file"},
      {"seven"},
      {"four"},
      {"four", "--height-fit", "cubic", "a.csv"},
      {"point", "--four", "1,2,3", "1", "2", "3"},
      {"point", "--four", "1,2,3,4x", "1", "2", "3"},
      {"point", "--four", "1,2,3,-1e6", "1", "2", "3"},
      {"point", "--four", "1,2,nan,4", "1", "2", "3"},
      {"ellipsoids", "extra"},
  };
  for (const std::vector<std::string>& arguments : cases) {
    const CliRun run = RunCli(arguments);
    EXPECT_EQ(run.exitStatus, 2) << testing::PrintToString(arguments);
    EXPECT_EQ(run.err.substr(0, 14), "tarnwell-cli: ") << testing::PrintToString(arguments);
    EXPECT_NE(run.err.find("用法:"), std::string::npos);
    EXPECT_EQ(run.out, "");
  }
  const CliRun help = RunCli({"--help"});
  EXPECT_EQ(help.exitStatus, 0);
  EXPECT_NE(help.out.find("tarnwell-cli point"), std::string::npos);
}

// Every command the usage lists has its section in the user manual.
TEST_F(Cli, EveryCommandHasItsSectionInTheManual) {
  const CliRun help = RunCli({"--help"});
  const std::string manual = ReadFile(TARNWELL_MANUAL);
  const std::string usage = "  tarnwell-cli ";
  int commands = 0;
  for (const std::string& line : SplitAtChar(help.out, '\n')) {
    if (!line.starts_with(usage)) continue;
    const std::string command = line.substr(usage.size(), line.find(' ', usage.size()) - usage.size());
    EXPECT_NE(manual.find("<h3 id=\"cli-" + command + "\">"), std::string::npos) << command;
    ++commands;
  }
  EXPECT_GE(commands, 8);
}

// `height` fits what is left of h − H (no model here: a plane tilted 2 cm
// per km north over 10 cm), prints the fit as --anomaly-fit takes it, and a
// point converted with that fit comes out on the plane.
TEST_F(Cli, HeightFitFeedsTheAnomalyFitOption) {
  const auto plane = [](double latitude) { return 0.1 + 2e-5 * 6378137 * (latitude - 31.5) * 3.141592653589793 / 180; };
  std::string points;
  const double offsets[][2] = {{-0.05, -0.04}, {0.04, -0.05}, {0.05, 0.06}, {-0.03, 0.05}};
  for (const auto& [dB, dL] : offsets) {
    const double latitude = 31.5 + dB, longitude = 120.25 + dL;
    points += 'Q';  // (appended: "Q" + … draws a false -Wrestrict from GCC 12)
    points += FormatNumber(dL) + "," + FormatNumber(latitude) + "," + FormatNumber(longitude) + ",50," +
              FormatNumber(50 - plane(latitude)) + "\n";
  }
  Write("levelled.csv", points);
  const CliRun fit = RunCli({"height", "--from-angle", "DDD", "--height-fit", "plane", "--report", File("fit.csv"),
                             File("levelled.csv")});
  ASSERT_EQ(fit.exitStatus, 0) << fit.err;
  const std::vector<std::string> lines = SplitAtChar(fit.out, '\n');
  // The fit, the points, then the summary from the RMS on.
  ASSERT_GT(lines.size(), 6u) << fit.out;
  ASSERT_TRUE(lines[0].starts_with("高程拟合,")) << lines[0];
  for (int i = 1; i <= 4; ++i) EXPECT_LT(std::fabs(std::strtod(Texts(lines[i])[1].c_str(), nullptr)), 1e-9) << lines[i];
  EXPECT_TRUE(lines[5].starts_with("高程残差均方根,")) << lines[5];
  EXPECT_NE(ReadFile(File("fit.csv")).find("高程异常拟合 (plane)"), std::string::npos);

  const CliRun converted = RunCli({"point", "--from", "LB", "--to", "LB", "--from-angle", "DDD", "--to-angle", "DDD",
                                   "--to-height", "normal", "--anomaly-fit", lines[0].substr(lines[0].find(',') + 1),
                                   "31.52", "120.3", "50"});
  ASSERT_EQ(converted.exitStatus, 0) << converted.err;
  EXPECT_NEAR(std::strtod(Texts(converted.out)[2].c_str(), nullptr), 50 - plane(31.52), 1e-9);
}

// A saved geoid model and anomaly fit convert with --params to the same
// bytes as the options that set them.
TEST_F(Cli, SavedHeightsConvertAsTheirOptions) {
  CoordSettings settings;
  settings.geoid = "egm96";
  settings.useAnomalyFit = true;
  settings.anomalyFit = {31.5, 120.25, {HeightModel::Constant, {0, 0}, {0.25, 0, 0, 0, 0, 0}}};
  ASSERT_TRUE(WriteParameterFile(File("heights.twp"), settings));
  const std::vector<std::string> work = {"point", "--from", "Plan", "--to", "LB", "--to-angle", "DDD",
                                         "--from-height", "normal", "--projection", "tmerc", "--lon0", "120"};
  std::vector<std::string> saved = work, given = work;
  saved.insert(saved.end(), {"--params", File("heights.twp"), "3486438.28", "523750.61", "3.7"});
  given.insert(given.end(), {"--geoid", "egm96", "--anomaly-fit", "31.5,120.25,0,0,0.25", "3486438.28", "523750.61", "3.7"});
  const CliRun fromFile = RunCli(saved), fromOptions = RunCli(given);
  ASSERT_EQ(fromFile.exitStatus, 0) << fromFile.err;
  EXPECT_EQ(fromFile.out, fromOptions.out);
}

}  // namespace
}  // namespace tarnwell

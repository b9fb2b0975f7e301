#include <gtest/gtest.h>

#include <sys/stat.h>

#include <atomic>
#include <cmath>
#include <filesystem>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "BatchTestSupport.h"
#include "MessageRecorder.h"
#include "batch/CoordinateFile.h"
#include "engine/CoordSettings.h"
#include "engine/ConversionPlan.h"
#include "tables/TableText.h"

namespace tarnwell {
namespace {

constexpr const char* kConflict = "文件格式与坐标类型冲突，请检查。";
constexpr const char* kUnreadable = "坐标文件无法读取。";
constexpr const char* kNotCreated = "转换后的文件无法生成。";
constexpr const char* kBadLine = "文件坐标格式不正确，请检查。";
constexpr const char* kOutputIsInput = "输出文件与输入文件相同,请检查。";

// What a complete earlier conversion left under the output name.
constexpr const char* kEarlierOutput = "P0,1.000000000000000,2.000000000000000,3.000000000000000\r\n";

class BatchConversion : public testing::Test {
 protected:
  void SetUp() override {
    CoordSettings::instance() = {};
    test::LoadTestEllipsoids(folder);
  }
  void TearDown() override { CoordSettings::instance() = {}; }

  static void UseTypes(const char* sourceType, const char* targetType, const char* fileFormat,
                       const char* angleFormat = "DDD") {
    CoordSettings& settings = CoordSettings::instance();
    ASSERT_TRUE(ReadKeyword<CoordinateType>(kCoordinateTypes, sourceType, settings.sourceType));
    ASSERT_TRUE(ReadKeyword<CoordinateType>(kCoordinateTypes, targetType, settings.targetType));
    ASSERT_TRUE(ReadKeyword<FileFormat>(kFileFormats, fileFormat, settings.fileFormat));
    ASSERT_TRUE(ReadKeyword<AngleFormat>(kAngleFormats, angleFormat, settings.sourceAngleFormat));
    settings.targetAngleFormat = settings.sourceAngleFormat;
  }

  // The output line the batch must write for one input line: the name and
  // what a conversion plan makes of the three values.
  static std::string ExpectedLine(const std::string& line) {
    std::vector<std::string> f = SplitAtChar(line, ',');
    std::optional<ConversionPlan> plan;
    TargetPoint target;
    EXPECT_FALSE(ConversionPlan::FromSettings(CoordSettings::instance(), plan)) << line;
    EXPECT_TRUE(plan && !plan->Convert(f[1], f[2], f[3], target)) << line;
    std::string expected = f[0] + ",";
    if (plan) plan->AppendTexts(target, ',', expected);
    return expected + "\r\n";
  }

  static BatchResult Convert(const std::string& path, const BatchOptions& options = {}) {
    return ConvertCoordinateFile(CoordSettings::instance(), path, options);
  }

  test::ScratchFolder folder;
  MessageRecorder recorder;
};

// "P" and a number (built by appending: GCC 12 warns falsely on "P" + text).
std::string PointName(int number) {
  std::string name = "P";
  name += std::to_string(number);
  return name;
}

struct FailureCase {
  const char* name;
  const char* sourceType;
  const char* targetType;
  const char* fileFormat;
  const char* targetEllipsoid;
  const char* angleFormat;
  std::string input;
  std::string message;        // "" for none
  int linesBeforeStop;        // lines converted before the stop
};

void PrintTo(const FailureCase& c, std::ostream* out) { *out << c.name; }

class BatchFailure : public BatchConversion, public testing::WithParamInterface<FailureCase> {};

// A stop leaves the output name as it was: missing, or holding an earlier
// complete output byte for byte; no part of the run, no temporary file.
TEST_P(BatchFailure, ShowsItsMessageAndLeavesTheOutputNameAsItWas) {
  const FailureCase& c = GetParam();
  UseTypes(c.sourceType, c.targetType, c.fileFormat, c.angleFormat);
  CoordSettings::instance().targetEllipsoid = c.targetEllipsoid;
  const std::string input = folder.File("pts.csv"), output = input + "1";
  test::WriteBytes(input, c.input);
  const std::vector<std::string> message = c.message.empty() ? std::vector<std::string>{} : std::vector<std::string>{c.message};

  const BatchResult result = Convert(input);
  EXPECT_EQ(result.outcome, BatchOutcome::Stopped);
  EXPECT_EQ(recorder.messages, message);
  EXPECT_EQ(result.linesWritten, static_cast<std::uint64_t>(c.linesBeforeStop));
  EXPECT_EQ(result.outputPath, "");
  EXPECT_EQ(folder.Names(), (std::vector<std::string>{"ellips.csv", "pts.csv"}));

  test::WriteBytes(output, kEarlierOutput);
  recorder.messages.clear();
  EXPECT_EQ(Convert(input).outcome, BatchOutcome::Stopped);
  EXPECT_EQ(recorder.messages, message);
  EXPECT_EQ(test::ReadBytes(output), kEarlierOutput);
  EXPECT_EQ(folder.Names(), (std::vector<std::string>{"ellips.csv", "pts.csv", "pts.csv1"}));
}

INSTANTIATE_TEST_SUITE_P(
    Table, BatchFailure,
    testing::Values(
        FailureCase{"FormatConflict", "Space", "LB", "n,b,l,h", "WGS84", "DDD",
                    "P1,1,2,3\n", kConflict, 0},
        FailureCase{"PlanFormatNeedsPlan", "LB", "Space", "n,x,y,h", "WGS84", "DDD",
                    "P1,1,2,3\n", kConflict, 0},
        FailureCase{"ThreeFields", "LB", "Space", "n,b,l,h", "WGS84", "DDD",
                    "P1,30,120,0\nP2,30,120\nP3,30,120,0\n", "文件坐标格式不正确，请检查。\n第 2 行: P2,30,120", 1},
        FailureCase{"TrailingComma", "LB", "Space", "n,b,l,h", "WGS84", "DDD",
                    "P1,30,120,0,\n", "文件坐标格式不正确，请检查。\n第 1 行: P1,30,120,0,", 0},
        FailureCase{"NoComma", "LB", "Space", "n,b,l,h", "WGS84", "DDD",
                    "P1 30 120 0\n", "文件坐标格式不正确，请检查。\n第 1 行: P1 30 120 0", 0},
        FailureCase{"BlankLineInTheMiddle", "LB", "Space", "n,b,l,h", "WGS84", "DDD",
                    "P1,30,120,0\n\nP3,30,120,0\n", "文件坐标格式不正确，请检查。\n第 2 行: ", 1},
        FailureCase{"TwoLineEndsAtTheEnd", "LB", "Space", "n,b,l,h", "WGS84", "DDD",
                    "P1,30,120,0\r\n\r\n", "文件坐标格式不正确，请检查。\n第 2 行: ", 1},
        FailureCase{"EmptyLatitude", "LB", "Space", "n,b,l,h", "WGS84", "DDD",
                    "C,,121.25,abc\n", "坐标格式错误,请检查\n第 1 行: C,,121.25,abc", 0},
        FailureCase{"LetterInANumber", "LB", "Space", "n,b,l,h", "WGS84", "DDD",
                    "P1,30,120,0\nP2,12abc,120,0\n", "坐标格式错误,请检查\n第 2 行: P2,12abc,120,0", 1},
        FailureCase{"NanInDMS", "LB", "Space", "n,b,l,h", "WGS84", "DMS",
                    "P1,nan:0:0,120:0:0,0\n", "坐标格式错误,请检查\n第 1 行: P1,nan:0:0,120:0:0,0", 0},
        FailureCase{"ExponentInDMM", "LB", "Plan", "n,b,l,h", "WGS84", "DMM",
                    "P1,1e15,120:0,0\n", "坐标格式错误,请检查.\n第 1 行: P1,1e15,120:0,0", 0},
        FailureCase{"LettersInDMS", "LB", "Space", "n,b,l,h", "WGS84", "DMS",
                    "P1,30:ab:cd,120:0:0,0\n", "坐标格式错误,请检查\n第 1 行: P1,30:ab:cd,120:0:0,0", 0},
        FailureCase{"DoubledSign", "LB", "Space", "n,b,l,h", "WGS84", "DMM",
                    "P1,--5,120:0,0\n", "坐标格式错误,请检查\n第 1 行: P1,--5,120:0,0", 0},
        FailureCase{"EmptyCartesian", "Space", "LB", "n,X,Y,Z", "WGS84", "DDD",
                    "P1,,,\n", "坐标格式错误,请检查.\n第 1 行: P1,,,", 0},
        FailureCase{"PlanBeyondThePole", "Plan", "LB", "n,x,y,h", "WGS84", "DDD",
                    "P1,20000000,500000,0\n",
                    "坐标转换失败,请检查.\n纵坐标 x 20000 km 在北极 (10001.966 km) 以北, 超出投影范围\n第 1 行: P1,20000000,500000,0",
                    0},
        FailureCase{"LongLineIsCut", "LB", "Space", "n,b,l,h", "WGS84", "DDD",
                    "P1,30,120," + std::string(100, '9') + "x\n",
                    "坐标格式错误,请检查\n第 1 行: P1,30,120," + std::string(50, '9') + "…", 0},
        FailureCase{"BothLB", "LB", "LB", "n,b,l,h", "WGS84", "DDD",
                    "P1,30,120,0\n", "选择正确的目的坐标类型.", 0},
        FailureCase{"BothSpace", "Space", "Space", "n,X,Y,Z", "WGS84", "DDD",
                    "P1,1,2,3\n", "选择正确的目的坐标类型.", 0},
        FailureCase{"DifferentEllipsoids", "LB", "Space", "n,b,l,h", "krass", "DDD",
                    "P1,30,120,0\n", "椭球必须相同.", 0},
        FailureCase{"BadLatitudeOnLineTwo", "LB", "Plan", "n,b,l,h", "WGS84", "DMS",
                    "P1,30:0:0,120:0:0,0\nP2,30:30,120:0:0,0\n", "坐标格式错误,请检查.\n第 2 行: P2,30:30,120:0:0,0", 1}),
    [](const testing::TestParamInfo<FailureCase>& info) { return std::string(info.param.name); });

TEST_F(BatchConversion, EmptyPathStopsSilently) {
  UseTypes("LB", "Space", "n,b,l,h");
  EXPECT_EQ(Convert("").outcome, BatchOutcome::Stopped);
  EXPECT_TRUE(recorder.messages.empty());
}

TEST_F(BatchConversion, InputThatCannotBeReadCreatesNoOutput) {
  UseTypes("LB", "Space", "n,b,l,h");
  for (const std::string& input : {folder.File("missing.csv"), folder.File("")}) {
    recorder.messages.clear();
    EXPECT_EQ(Convert(input).outcome, BatchOutcome::Stopped);
    EXPECT_EQ(recorder.messages, std::vector<std::string>{kUnreadable}) << input;
    EXPECT_FALSE(std::filesystem::exists(input + "1"));
  }
}

TEST_F(BatchConversion, OutputThatCannotBeCreated) {
  UseTypes("LB", "Space", "n,b,l,h");
  const std::string input = folder.File("pts.csv");
  test::WriteBytes(input, "P1,30,120,0\n");
  std::filesystem::create_directory(input + "1");
  const BatchResult result = Convert(input);
  EXPECT_EQ(result.outcome, BatchOutcome::Stopped);
  EXPECT_EQ(recorder.messages, std::vector<std::string>{kNotCreated});
  EXPECT_TRUE(std::filesystem::is_directory(input + "1"));
  EXPECT_EQ(folder.Names(), (std::vector<std::string>{"ellips.csv", "pts.csv", "pts.csv1"}));
}

// A full disk must not pass for a finished conversion, nor cost the earlier
// output.
TEST_F(BatchConversion, WriteErrorIsNoSuccess) {
  UseTypes("LB", "Space", "n,b,l,h");
  const std::string input = folder.File("pts.csv"), output = input + "1";
  test::WriteBytes(input, "P1,30,120,0\nP2,31,121,0\n");
  test::WriteBytes(output, kEarlierOutput);
  BatchResult result;
  {
    test::FileSizeLimit diskFullAfter(40);
    result = Convert(input);
  }
  EXPECT_EQ(result.outcome, BatchOutcome::Stopped);
  EXPECT_EQ(result.outputPath, "");
  EXPECT_EQ(recorder.messages, std::vector<std::string>{kNotCreated});
  EXPECT_EQ(test::ReadBytes(output), kEarlierOutput);
  EXPECT_EQ(folder.Names(), (std::vector<std::string>{"ellips.csv", "pts.csv", "pts.csv1"}));
}

// A symbolic link, a chain of them or a hard link can make the output name
// the input itself; writing it would destroy the input.
TEST_F(BatchConversion, OutputNameLinkedToTheInputIsRefused) {
  UseTypes("LB", "Space", "n,b,l,h");
  const std::string input = folder.File("pts.csv"), output = input + "1", hop = folder.File("hop");
  const std::string points = "P1,30,120,0\nP2,31,121,0\n";
  test::WriteBytes(input, points);
  const std::vector<std::pair<const char*, std::function<void()>>> links = {
      {"symbolic", [&] { std::filesystem::create_symlink("pts.csv", output); }},
      {"chain",
       [&] {
         std::filesystem::create_symlink(input, hop);
         std::filesystem::create_symlink(hop, output);
       }},
      {"hard", [&] { std::filesystem::create_hard_link(input, output); }},
  };
  for (const auto& [kind, link] : links) {
    link();
    recorder.messages.clear();
    const BatchResult result = Convert(input);
    EXPECT_EQ(result.outcome, BatchOutcome::Stopped) << kind;
    EXPECT_EQ(result.outputPath, "") << kind;
    EXPECT_EQ(recorder.messages, std::vector<std::string>{kOutputIsInput}) << kind;
    EXPECT_EQ(test::ReadBytes(input), points) << kind;
    std::filesystem::remove(output);
    std::filesystem::remove(hop);
  }
  EXPECT_EQ(folder.Names(), (std::vector<std::string>{"ellips.csv", "pts.csv"}));
}

// A link at the output name to another file (or to none) is replaced by the
// output itself; the file it led to stays as it was.
TEST_F(BatchConversion, LinkAtTheOutputNameIsReplacedNotFollowed) {
  UseTypes("LB", "Space", "n,b,l,h");
  const std::string input = folder.File("pts.csv"), output = input + "1", other = folder.File("other.txt");
  test::WriteBytes(input, "P1,30,120,0\n");
  const std::string expected = ExpectedLine("P1,30,120,0");
  const std::string otherText = "somebody else's file\n";
  test::WriteBytes(other, otherText);
  const std::vector<std::pair<const char*, std::function<void()>>> links = {
      {"symbolic", [&] { std::filesystem::create_symlink(other, output); }},
      {"dangling", [&] { std::filesystem::create_symlink(folder.File("nothing"), output); }},
      {"hard", [&] { std::filesystem::create_hard_link(other, output); }},
  };
  for (const auto& [kind, link] : links) {
    link();
    const BatchResult result = Convert(input);
    EXPECT_EQ(result.outcome, BatchOutcome::Converted) << kind;
    EXPECT_TRUE(std::filesystem::is_regular_file(std::filesystem::symlink_status(output))) << kind;
    EXPECT_FALSE(std::filesystem::equivalent(output, other)) << kind;
    EXPECT_EQ(test::ReadBytes(output), expected) << kind;
    EXPECT_EQ(test::ReadBytes(other), otherText) << kind;
    std::filesystem::remove(output);
  }
  EXPECT_TRUE(recorder.messages.empty());
  EXPECT_EQ(folder.Names(), (std::vector<std::string>{"ellips.csv", "other.txt", "pts.csv"}));
}

// A new output gets the mode of any newly created file, 0666 less the
// umask; a read-only earlier output is refused and kept.
TEST_F(BatchConversion, OutputModeFollowsTheUmaskAndReadOnlyIsKept) {
  UseTypes("LB", "Space", "n,b,l,h");
  const std::string input = folder.File("pts.csv"), output = input + "1";
  test::WriteBytes(input, "P1,30,120,0\n");
  const mode_t previous = umask(027);
  const BatchOutcome outcome = Convert(input).outcome;
  umask(previous);
  EXPECT_EQ(outcome, BatchOutcome::Converted);
  using std::filesystem::perms;
  EXPECT_EQ(std::filesystem::status(output).permissions(),
            perms::owner_read | perms::owner_write | perms::group_read);

  test::WriteBytes(output, kEarlierOutput);
  std::filesystem::permissions(output, perms::owner_read);
  EXPECT_EQ(Convert(input).outcome, BatchOutcome::Stopped);
  EXPECT_EQ(recorder.messages, std::vector<std::string>{"输出文件是只读的，未被替换: " + output});
  EXPECT_EQ(test::ReadBytes(output), kEarlierOutput);
}

TEST_F(BatchConversion, LfAndCrLfInputGiveTheSameCrLfOutput) {
  UseTypes("LB", "Space", "n,b,l,h");
  const std::string lf = folder.File("lf.csv"), crlf = folder.File("crlf.csv");
  test::WriteBytes(lf, "P1,30,120,10\nP2,-33.5,151.25,0\nP3,0,0,0");  // no line end at the end
  test::WriteBytes(crlf, "P1,30,120,10\r\nP2,-33.5,151.25,0\r\nP3,0,0,0\r\n");

  const BatchResult result = Convert(lf);
  EXPECT_EQ(result.outcome, BatchOutcome::Converted);
  EXPECT_EQ(result.outputPath, lf + "1");
  EXPECT_EQ(result.linesWritten, 3u);
  EXPECT_EQ(Convert(crlf).outcome, BatchOutcome::Converted);
  EXPECT_TRUE(recorder.messages.empty());

  const std::string expected = ExpectedLine("P1,30,120,10") + ExpectedLine("P2,-33.5,151.25,0") + ExpectedLine("P3,0,0,0");
  EXPECT_EQ(test::ReadBytes(lf + "1"), expected);
  EXPECT_EQ(test::ReadBytes(crlf + "1"), expected);
}

// X, Y, Z from B, L, h by the closed formula, independent of PROJ.
TEST_F(BatchConversion, ValuesAgreeWithTheClosedFormula) {
  UseTypes("LB", "Space", "n,b,l,h", "DMS");
  const std::string input = folder.File("pts.csv");
  test::WriteBytes(input, "A,30:15:36,120:30:0,50.5\nB,-45:0:0,-75:30:0,-20\n");
  ASSERT_EQ(Convert(input).outcome, BatchOutcome::Converted);

  const double a = 6378137, f = 1 / 298.257223563, e2 = f * (2 - f);
  const double points[2][3] = {{30.26, 120.5, 50.5}, {-45, -75.5, -20}};
  std::vector<std::string> lines = SplitAtChar(test::ReadBytes(input + "1"), '\n');
  ASSERT_EQ(lines.size(), 3u);
  for (int i = 0; i < 2; ++i) {
    const double b = points[i][0] * M_PI / 180, l = points[i][1] * M_PI / 180, h = points[i][2];
    const double n = a / std::sqrt(1 - e2 * std::sin(b) * std::sin(b));
    const double expected[3] = {(n + h) * std::cos(b) * std::cos(l), (n + h) * std::cos(b) * std::sin(l),
                                (n * (1 - e2) + h) * std::sin(b)};
    const std::vector<std::string> fields = SplitAtChar(lines[i], ',');
    ASSERT_EQ(fields.size(), 4u);
    for (int axis = 0; axis < 3; ++axis) EXPECT_NEAR(std::stod(fields[axis + 1]), expected[axis], 1e-6);
  }
}

TEST_F(BatchConversion, PointNamesPassByteForByte) {
  UseTypes("LB", "Space", "n,b,l,h");
  const std::string input = folder.File("names.csv");
  // UTF-8 Chinese, GBK bytes of "点1", and spaces around a name.
  const std::string names[] = {"控制点甲", "\xb5\xe3\x31", "  P 3  "};
  test::WriteBytes(input, names[0] + ",30,120,0\r\n" + names[1] + ",31,121,0\r\n" + names[2] + ",32,122,0\r\n");
  ASSERT_EQ(Convert(input).outcome, BatchOutcome::Converted);
  const std::vector<std::string> lines = SplitAtChar(test::ReadBytes(input + "1"), '\n');
  ASSERT_EQ(lines.size(), 4u);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(SplitAtChar(lines[i], ',')[0], names[i]);
}

TEST_F(BatchConversion, EmptyFileGivesAnEmptyOutputAndOverwritesTheOldOne) {
  UseTypes("LB", "Space", "n,b,l,h");
  const std::string input = folder.File("empty.csv");
  test::WriteBytes(input, "");
  test::WriteBytes(input + "1", "an older conversion\r\n");
  const BatchResult result = Convert(input);
  EXPECT_EQ(result.outcome, BatchOutcome::Converted);
  EXPECT_EQ(result.outputPath, input + "1");
  EXPECT_EQ(test::ReadBytes(input + "1"), "");
  EXPECT_TRUE(recorder.messages.empty());
}

// Many lines across the reading blocks, and one line longer than a block.
TEST_F(BatchConversion, LargeFileMatchesTheRecordByRecordConversion) {
  UseTypes("Space", "LB", "n,X,Y,Z");
  std::string input;
  std::string expected;
  const std::string longName(3 << 20, 'N');
  for (int i = 0; i < 30000; ++i) {
    const std::string name = i == 12345 ? longName : PointName(i);
    const std::string line = name + "," + std::to_string(-2850000 + i) + ".125,4650000.5," + std::to_string(3290000 - i);
    input += line + (i % 2 ? "\r\n" : "\n");
    expected += ExpectedLine(line);
  }
  const std::string path = folder.File("large.csv");
  test::WriteBytes(path, input);

  std::vector<BatchProgress> reports;
  BatchOptions options;
  options.onProgress = [&](const BatchProgress& progress) { reports.push_back(progress); };
  const BatchResult result = Convert(path, options);
  ASSERT_EQ(result.outcome, BatchOutcome::Converted);
  EXPECT_EQ(result.linesWritten, 30000u);
  EXPECT_TRUE(test::ReadBytes(path + "1") == expected);

  ASSERT_GE(reports.size(), 2u);
  for (std::size_t i = 1; i < reports.size(); ++i) {
    EXPECT_GT(reports[i].linesDone, reports[i - 1].linesDone);
    EXPECT_GE(reports[i].bytesDone, reports[i - 1].bytesDone);
  }
  EXPECT_EQ(reports.back().linesDone, 30000u);
  EXPECT_EQ(reports.back().bytesDone, input.size());
  EXPECT_EQ(reports.back().bytesTotal, input.size());
}

TEST_F(BatchConversion, CancelStopsAfterTheCurrentBlockAndKeepsTheEarlierOutput) {
  UseTypes("LB", "Space", "n,b,l,h");
  std::string input;
  for (int i = 0; i < 10000; ++i) input += PointName(i) + ",30,120,0\n";
  const std::string path = folder.File("long.csv");
  test::WriteBytes(path, input);
  test::WriteBytes(path + "1", kEarlierOutput);

  std::atomic<bool> cancel = false;
  BatchOptions options;
  options.cancel = &cancel;
  std::uint64_t linesAtCancel = 0;
  options.onProgress = [&](const BatchProgress& progress) {
    if (!cancel) linesAtCancel = progress.linesDone;
    cancel = true;
  };
  const BatchResult result = Convert(path, options);
  EXPECT_EQ(result.outcome, BatchOutcome::Cancelled);
  EXPECT_GT(linesAtCancel, 0u);
  EXPECT_EQ(result.linesWritten, linesAtCancel);
  EXPECT_EQ(result.outputPath, "");
  EXPECT_EQ(test::ReadBytes(path + "1"), kEarlierOutput);
  EXPECT_EQ(folder.Names(), (std::vector<std::string>{"ellips.csv", "long.csv", "long.csv1"}));
  EXPECT_TRUE(recorder.messages.empty());
}

// The blocks are converted on several threads and written in input order:
// the output is the same, byte for byte, for any number of threads, and a
// refused line stops the conversion at that line whatever its block.
TEST_F(BatchConversion, OutputIsTheSameForAnyNumberOfThreads) {
  UseTypes("LB", "Plan", "n,b,l,h");
  std::string input;
  for (int i = 0; i < 20000; ++i)
    input += PointName(i) + "," + std::to_string(20 + i % 30) + ".25," + std::to_string(115 + i % 10) + ".5,10\n";
  const std::string path = folder.File("many.csv");
  test::WriteBytes(path, input);
  std::string single;
  for (int threads : {1, 2, 3, 8}) {
    BatchOptions options;
    options.threads = threads;
    ASSERT_EQ(Convert(path, options).outcome, BatchOutcome::Converted) << threads;
    if (threads == 1) single = test::ReadBytes(path + "1");
    EXPECT_TRUE(test::ReadBytes(path + "1") == single) << threads;
  }
  test::WriteBytes(path, input + "Bad,91x,120,0\n" + input);
  for (int threads : {1, 4}) {
    recorder.messages.clear();
    BatchOptions options;
    options.threads = threads;
    const BatchResult result = Convert(path, options);
    EXPECT_EQ(result.outcome, BatchOutcome::Stopped);
    EXPECT_EQ(result.linesWritten, 20000u);
    EXPECT_EQ(recorder.messages, std::vector<std::string>{"坐标格式错误,请检查.\n第 20001 行: Bad,91x,120,0"});
  }
}

// A line of millions of commas is refused at its fifth field, without
// splitting it all.
TEST_F(BatchConversion, LineOfCommasIsRefused) {
  UseTypes("LB", "Space", "n,b,l,h");
  const std::string path = folder.File("commas.csv");
  test::WriteBytes(path, std::string(20'000'000, ',') + "\n");
  EXPECT_EQ(Convert(path).outcome, BatchOutcome::Stopped);
  ASSERT_EQ(recorder.messages.size(), 1u);
  EXPECT_EQ(recorder.messages[0], "文件坐标格式不正确，请检查。\n第 1 行: " + std::string(60, ',') + "…");
}

// Every output number and angle with the decimals of the settings; the
// points lie where the values are known exactly.
TEST_F(BatchConversion, OutputDecimalsRoundEveryValue) {
  UseTypes("LB", "Space", "n,b,l,h");
  CoordSettings::instance().outputDecimals = 3;
  const std::string toSpace = folder.File("lb.csv");
  test::WriteBytes(toSpace, "E,0,0,0.12345\r\nN,90,0,0\r\n");
  ASSERT_EQ(Convert(toSpace).outcome, BatchOutcome::Converted);
  EXPECT_EQ(test::ReadBytes(toSpace + "1"),
            "E,6378137.123,0.000,0.000\r\nN,0.000,0.000,6356752.314\r\n");

  // The seconds with decimals of their own.
  UseTypes("Space", "LB", "n,X,Y,Z", "DMS");
  CoordSettings::instance().outputDecimals = 0;
  CoordSettings::instance().angleDecimals = 2;
  const std::string toLB = folder.File("xyz.csv");
  test::WriteBytes(toLB, "E,6378137.6,0,0\r\n");
  ASSERT_EQ(Convert(toLB).outcome, BatchOutcome::Converted);
  EXPECT_EQ(test::ReadBytes(toLB + "1"), "E,000:00:0.00,000:00:0.00,1\r\n");
  EXPECT_TRUE(recorder.messages.empty());
}

// The check of the whole file finds the first bad line however far down,
// and says nothing.
TEST_F(BatchConversion, FileCheckFindsTheFirstBadLine) {
  UseTypes("LB", "Space", "n,b,l,h", "DMS");
  const std::string input = folder.File("check.csv");
  std::string lines;
  for (int line = 1; line <= 30; ++line) lines += line == 23 ? "P,1:0:0,2:0:0\r\n" : "P,1:0:0,2:0:0,0\r\n";
  test::WriteBytes(input, lines);
  const FileCheck check = CheckCoordinateFile(CoordSettings::instance(), input);
  EXPECT_TRUE(check.readable);
  ASSERT_TRUE(check.firstRefused);
  EXPECT_EQ(check.firstRefused->lineNumber, 23u);
  test::WriteBytes(input, "P,1:0:0,2:0:0,0\r\n");
  EXPECT_FALSE(CheckCoordinateFile(CoordSettings::instance(), input).firstRefused);
  EXPECT_FALSE(CheckCoordinateFile(CoordSettings::instance(), folder.File("none.csv")).readable);
  EXPECT_TRUE(recorder.messages.empty());
}

// The preview reads what the conversion reads, line for line, and says
// nothing: a bad line is marked with the reason the conversion would stop.
TEST_F(BatchConversion, PreviewReadsTheFirstLinesAsTheConversionWould) {
  UseTypes("LB", "Space", "n,b,l,h", "DMS");
  const std::string input = folder.File("preview.csv");
  test::WriteBytes(input, "控制点,30:30:0,120:15:36,10.5\r\nP2,30.5,120,0\r\nP3,1,2\r\n\r\nP5, 1:0:0 ,2:30:0, -3 \r\nP6,0:0:0,0:0:0,0\r\n");
  const auto rows = PreviewCoordinateFile(CoordSettings::instance(), input, 5);
  ASSERT_TRUE(rows);
  ASSERT_EQ(rows->size(), 5u);
  EXPECT_EQ((*rows)[0].name, "控制点");
  EXPECT_EQ((*rows)[0].refusal, "");
  EXPECT_DOUBLE_EQ((*rows)[0].values[0], 30.5);
  EXPECT_DOUBLE_EQ((*rows)[0].values[1], 120.26);
  EXPECT_DOUBLE_EQ((*rows)[0].values[2], 10.5);
  EXPECT_EQ((*rows)[1].refusal, "坐标格式错误,请检查.");  // DDD text in a DMS file
  EXPECT_EQ((*rows)[2].refusal, kBadLine);
  EXPECT_EQ((*rows)[3].refusal, kBadLine);
  EXPECT_EQ((*rows)[4].lineNumber, 5u);
  EXPECT_EQ((*rows)[4].refusal, "");
  EXPECT_DOUBLE_EQ((*rows)[4].values[1], 2.5);
  EXPECT_DOUBLE_EQ((*rows)[4].values[2], -3);

  CoordSettings::instance().sourceAngleFormat = AngleFormat::DDD;
  const auto asDecimal = PreviewCoordinateFile(CoordSettings::instance(), input, 10);
  ASSERT_TRUE(asDecimal);
  EXPECT_EQ(asDecimal->size(), 6u);
  EXPECT_EQ((*asDecimal)[1].refusal, "");
  EXPECT_EQ((*asDecimal)[0].refusal, "坐标格式错误,请检查.");

  EXPECT_FALSE(PreviewCoordinateFile(CoordSettings::instance(), folder.File("missing.csv"), 10));
  EXPECT_TRUE(recorder.messages.empty());
}

// CSV output: the columns in their order under one header line of the
// target's names, commas, fields quoted where they must be; the input's
// header lines give way to it, comments stay.
TEST_F(BatchConversion, CsvOutputHasAHeaderLineAndQuotedFields) {
  UseTypes("LB", "Space", "n,b,l,h");
  CoordSettings& settings = CoordSettings::instance();
  settings.outputDecimals = 1;
  settings.outputLayout = OutputLayout::Csv;
  const std::string xyz = "-2738850.8,4743828.7,3256390.4";  // of 30.9, 120, 10 on WGS84, by the closed formula
  const struct {
    const char* columns;
    Separator separator;
    int headerLines;
    std::string input, output;
  } cases[] = {
      {"", Separator::Comma, 0, "P\"1,30.9,120,10\n", "点名,X,Y,Z\r\n\"P\"\"1\"," + xyz + "\r\n"},
      {"name,b,l,h,code", Separator::Tab, kAutomaticHeader,
       "点名\t纬度\t经度\t高\t编码\n# 注释\nP1\t30.9\t120\t10\ta,b\n",
       "点名,X,Y,Z,编码\r\n# 注释\r\nP1," + xyz + ",\"a,b\"\r\n"},
      {"l,b,h", Separator::Blank, 1, "L B H\n120 30.9 10\n", "Y,X,Z\r\n4743828.7,-2738850.8,3256390.4\r\n"},
  };
  const std::string input = folder.File("pts.txt");
  for (const auto& c : cases) {
    settings.fileLayout = {c.columns, c.separator, c.headerLines};
    test::WriteBytes(input, c.input);
    const BatchResult result = Convert(input);
    EXPECT_EQ(result.outcome, BatchOutcome::Converted) << c.input;
    EXPECT_EQ(result.outputPath, folder.File("pts1.csv"));
    EXPECT_EQ(test::ReadBytes(folder.File("pts1.csv")), c.output);
  }
  EXPECT_TRUE(recorder.messages.empty());
}

TEST_F(BatchConversion, OutputPathFollowsTheChoiceAndTheLayout) {
  std::filesystem::create_directory(folder.File("out"));
  const struct {
    std::string input, chosen;
    OutputLayout layout;
    std::string output;
  } cases[] = {
      {"/d/pts.csv", "", OutputLayout::Input, "/d/pts.csv1"},
      {"/d/pts.dat", "", OutputLayout::Csv, "/d/pts1.csv"},
      {"pts", "", OutputLayout::Csv, "pts1.csv"},
      {"/d/pts.dat", folder.File("out"), OutputLayout::Input, folder.File("out/pts.dat")},
      {"/d/pts.dat", folder.File("out"), OutputLayout::Csv, folder.File("out/pts.csv")},
      {"/d/pts.dat", folder.File("new.txt"), OutputLayout::Csv, folder.File("new.txt")},
  };
  for (const auto& c : cases) EXPECT_EQ(OutputPathFor(c.input, c.chosen, c.layout), c.output) << c.input;
}

// A folder's coordinate files, without what an earlier run made of them.
TEST_F(BatchConversion, FolderGivesItsCoordinateFilesButNotTheirOutputs) {
  std::filesystem::remove(folder.File("ellips.csv"));
  for (const char* name : {"b.csv", "a.DAT", "c.txt", "b.csv1", "b.csv1.bad.txt", "b1.csv", "a1.csv", ".hidden.csv",
                           "notes.doc", "d.geojson"})
    test::WriteBytes(folder.File(name), "");
  std::filesystem::create_directory(folder.File("sub.csv"));
  EXPECT_EQ(CoordinateFilesIn(folder.File("")),
            (std::vector<std::string>{folder.File("a.DAT"), folder.File("b.csv"), folder.File("c.txt")}));
  EXPECT_TRUE(CoordinateFilesIn(folder.File("missing")).empty());
}

// The preview splits a layout of the user's own as the conversion does:
// header lines, comments, the name and the values in their columns.
TEST_F(BatchConversion, PreviewSplitsALayoutOfTheirOwn) {
  UseTypes("Plan", "LB", "n,x,y,h");
  CoordSettings& settings = CoordSettings::instance();
  settings.fileLayout = {"name,code,y,x,h", Separator::Comma, kAutomaticHeader};
  const std::string input = folder.File("pts.dat");
  test::WriteBytes(input, "点名,编码,Y,X,H\r\n# 测区\r\nK1,控制点,512345.6,3456789.0,45.6\r\nK2,,1,2\r\nK3,,y,2,3\r\n");
  const auto rows = PreviewCoordinateFile(settings, input, 10);
  ASSERT_TRUE(rows);
  ASSERT_EQ(rows->size(), 5u);
  EXPECT_EQ((*rows)[0].role, LineRole::Header);
  EXPECT_EQ((*rows)[0].fields, (std::vector<std::string>{"点名", "编码", "Y", "X", "H"}));
  EXPECT_EQ((*rows)[1].role, LineRole::Comment);
  EXPECT_EQ((*rows)[1].fields, std::vector<std::string>{"# 测区"});
  EXPECT_EQ((*rows)[2].role, LineRole::Point);
  EXPECT_EQ((*rows)[2].name, "K1");
  EXPECT_EQ((*rows)[2].values, (std::array<double, 3>{3456789.0, 512345.6, 45.6}));
  EXPECT_EQ((*rows)[3].refusal, kBadLine);
  EXPECT_EQ((*rows)[4].refusal, "坐标格式错误,请检查.");

  // Without the automatic header the first line is a bad line; columns of
  // another type refuse every line.
  settings.fileLayout.headerLines = 0;
  EXPECT_EQ(PreviewCoordinateFile(settings, input, 1)->front().refusal, "坐标格式错误,请检查.");
  settings.fileLayout.columns = "name,b,l,h";
  EXPECT_EQ(PreviewCoordinateFile(settings, input, 1)->front().refusal, kConflict);
  EXPECT_TRUE(recorder.messages.empty());
}

}  // namespace
}  // namespace tarnwell

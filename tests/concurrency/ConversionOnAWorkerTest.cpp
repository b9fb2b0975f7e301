// A file conversion on a worker thread while the window changes the
// settings, the way the desktop program runs it. The test command runs this
// under ThreadSanitizer too: any reading of the shared settings from the
// worker shows there as a race.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>

#include "BatchTestSupport.h"
#include "batch/CoordinateFile.h"
#include "engine/CoordSettings.h"

namespace tarnwell {
namespace {

// The worker converts with its own copy of the settings, whatever the window
// does meanwhile.
TEST(ConversionOnAWorker, IgnoresSettingsChanges) {
  test::ScratchFolder folder;
  CoordSettings::instance() = {};
  test::LoadTestEllipsoids(folder);
  CoordSettings& settings = CoordSettings::instance();
  settings.sourceType = CoordinateType::LB;
  settings.targetType = CoordinateType::Plan;
  settings.sourceAngleFormat = settings.targetAngleFormat = AngleFormat::DDD;
  std::string input;
  for (int i = 0; i < 5000; ++i) {
    input += "P,31.25,121.";
    input += std::to_string(i % 1000);
    input += ",10\n";
  }
  const std::string path = folder.File("worker.csv");
  test::WriteBytes(path, input);
  BatchOptions options;
  options.threads = 1;  // the pool's own threads are not what is watched here
  ASSERT_EQ(ConvertCoordinateFile(settings, path, options).outcome, BatchOutcome::Converted);
  const std::string expected = test::ReadBytes(path + "1");

  const CoordSettings snapshot = CoordSettings::instance();
  std::atomic<bool> done = false;
  BatchResult result;
  std::thread worker([&] {
    result = ConvertCoordinateFile(snapshot, path, options);
    done = true;
  });
  for (int change = 0; !done; ++change) {
    settings.projection.centralMeridian = 100 + change % 40;
    settings.sourceEllipsoid = change % 2 ? "krass" : "WGS84";
    settings.targetAngleFormat = change % 2 ? AngleFormat::DMS : AngleFormat::DDD;
  }
  worker.join();
  EXPECT_EQ(result.outcome, BatchOutcome::Converted);
  EXPECT_TRUE(test::ReadBytes(path + "1") == expected);
  CoordSettings::instance() = {};
}

// The geoid model is read once and shared by the plans of every thread:
// four threads write what one writes.
TEST(ConversionOnAWorker, ThreadsShareOneGeoidModel) {
  test::ScratchFolder folder;
  test::LoadTestEllipsoids(folder);
  CoordSettings settings;
  settings.sourceType = settings.targetType = CoordinateType::LB;
  settings.sourceAngleFormat = settings.targetAngleFormat = AngleFormat::DDD;
  settings.targetHeight = HeightSystem::Normal;
  settings.geoid = "egm96";
  std::string input;
  for (int i = 0; i < 20000; ++i) {
    input += "P,";
    input += std::to_string(20 + i % 30) + "." + std::to_string(i % 997) + ",1" + std::to_string(i % 80) + ".5,10\n";
  }
  const std::string path = folder.File("heights.csv");
  test::WriteBytes(path, input);
  std::string outputs[2];
  for (int run = 0; run < 2; ++run) {
    BatchOptions options;
    options.threads = run == 0 ? 1 : 4;
    ASSERT_EQ(ConvertCoordinateFile(settings, path, options).outcome, BatchOutcome::Converted);
    outputs[run] = test::ReadBytes(path + "1");
  }
  EXPECT_TRUE(outputs[0] == outputs[1]);
  EXPECT_EQ(outputs[0].find(",10.000000000000000"), std::string::npos);  // every height moved by N
}

}  // namespace
}  // namespace tarnwell

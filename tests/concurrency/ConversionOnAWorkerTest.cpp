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

}  // namespace
}  // namespace tarnwell

#include "engine/BursaWolf.h"

#include <gtest/gtest.h>

namespace tarnwell {
namespace {

struct BursaWolfCase {
  SevenParams params;
  double X, Y, Z;
  double expectedX, expectedY, expectedZ;
  double tolerance;  // metres
};

void PrintTo(const BursaWolfCase& c, std::ostream* out) { *out << c.X << ' ' << c.Y << ' ' << c.Z; }

class BursaWolf : public testing::TestWithParam<BursaWolfCase> {};

TEST_P(BursaWolf, MovesThePoint) {
  const BursaWolfCase& c = GetParam();
  const CartesianPoint moved = ApplyBursaWolf(c.params, {c.X, c.Y, c.Z});
  EXPECT_NEAR(moved.X, c.expectedX, c.tolerance);
  EXPECT_NEAR(moved.Y, c.expectedY, c.tolerance);
  EXPECT_NEAR(moved.Z, c.expectedZ, c.tolerance);
}

INSTANTIATE_TEST_SUITE_P(
    SingleParameters, BursaWolf,
    testing::Values(
        BursaWolfCase{{}, 1.25, -2.5, 3.75, 1.25, -2.5, 3.75, 0},
        BursaWolfCase{{100, 0, 0, 0, 0, 0, 0}, -2e6, 4e6, 4e6, -2e6 + 100, 4e6, 4e6, 0},
        BursaWolfCase{{0, 0, 0, 0, 0, 0, 1}, 6378137, 0, 0, 6378143.378137, 0, 0, 1e-9},
        // A positive rZ adds ωz·Y to X and takes ωz·X from Y.
        BursaWolfCase{{0, 0, 0, 0, 0, 1, 0}, 0, 6378137, 0, 6378137 * 4.84813681109536e-6, 6378137, 0, 1e-9},
        BursaWolfCase{{0, 0, 0, 1, 0, 0, 0}, 0, 0, 6378137, 0, 6378137 * 4.84813681109536e-6, 6378137, 1e-9},
        BursaWolfCase{{0, 0, 0, 0, 1, 0, 0}, 6378137, 0, 0, 6378137, 0, 6378137 * 4.84813681109536e-6, 1e-9}));

}  // namespace
}  // namespace tarnwell

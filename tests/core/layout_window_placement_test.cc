// SPDX-License-Identifier: GPL-3.0-or-later
// Where the main window opens: a stored position brought back onto a monitor,
// and the scale that fits the text size and the monitor.
#include "core/layout/window_placement.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace zielwerk {
namespace {

// A laptop panel with a task bar below it, the primary monitor, and a second
// monitor to its right.
const std::vector<Monitor> kTwoMonitors = {
    {{0, 0, 1920, 1080}, {0, 0, 1920, 1040}},
    {{1920, 0, 1280, 1024}, {1920, 0, 1280, 1024}},
};

struct PositionCase {
  const char* name;
  int x, y;
  int expected_x, expected_y;
};

class StoredPositionTest : public ::testing::TestWithParam<PositionCase> {};

TEST_P(StoredPositionTest, StaysWhileTheTitleBarCanBeGrabbed) {
  const PositionCase& c = GetParam();
  const WindowPlacement placement = PlaceMainWindow(c.x, c.y, 530, 600, 1.0, kTwoMonitors);
  EXPECT_EQ(placement.x, c.expected_x);
  EXPECT_EQ(placement.y, c.expected_y);
  EXPECT_EQ(placement.factor, 1.0);
}

INSTANTIATE_TEST_SUITE_P(
    Positions, StoredPositionTest,
    ::testing::Values(PositionCase{"FirstStart", 20, 20, 20, 20},
                      PositionCase{"AcrossBothMonitors", 1700, 500, 1700, 500},
                      PositionCase{"OnTheSecondMonitor", 2500, 300, 2500, 300},
                      PositionCase{"PartlyOffLeft", -480, 100, -480, 100},
                      PositionCase{"PartlyOffTop", 100, -14, 100, -14},
                      PositionCase{"PartlyBehindTheTaskBar", 100, 1020, 100, 1020},
                      PositionCase{"TooLittleLeftOfTheLeftEdge", -500, 100, 20, 20},
                      PositionCase{"TooLittleRightOfTheRightEdge", 3170, 100, 20, 20},
                      PositionCase{"TitleBarAboveTheTop", 100, -16, 20, 20},
                      PositionCase{"BehindTheTaskBar", 100, 1030, 20, 20},
                      PositionCase{"BelowTheBottom", 100, 1090, 20, 20},
                      PositionCase{"FarOff", 9000, 7000, 20, 20},
                      PositionCase{"MinimisedOnWindows", -32000, -32000, 20, 20}),
    [](const auto& info) { return info.param.name; });

// A monitor unplugged since: its position is off every monitor now; the
// primary monitor need not be the one at (0, 0).
TEST(StoredPositionTest, GoesToThePrimaryMonitor) {
  const std::vector<Monitor> primary_right = {{{1280, 0, 1920, 1080}, {1280, 32, 1920, 1048}},
                                              {{0, 0, 1280, 1024}, {0, 0, 1280, 1024}}};
  EXPECT_EQ(PlaceMainWindow(4000, 200, 530, 600, 1.0, primary_right),
            (WindowPlacement{1300, 52, 1.0}));
  EXPECT_EQ(PlaceMainWindow(100, 200, 530, 600, 1.0, primary_right),
            (WindowPlacement{100, 200, 1.0}));
}

struct FactorCase {
  double text_factor;
  ScreenRect work_area;
  int window_height;
  double factor;
};

class ScaleFactorTest : public ::testing::TestWithParam<FactorCase> {};

TEST_P(ScaleFactorTest, FollowsTheTextSizeWithinTheWorkArea) {
  const FactorCase& c = GetParam();
  const std::vector<Monitor> monitor = {{{0, 0, c.work_area.width, c.work_area.height + 40},
                                         c.work_area}};
  const WindowPlacement placement =
      PlaceMainWindow(20, 20, 530, c.window_height, c.text_factor, monitor);
  EXPECT_DOUBLE_EQ(placement.factor, c.factor);
}

// The window with its frame (16 x 40 pixels more at factor 1) fits or the
// factor shrinks to fit, never below 1.
INSTANTIATE_TEST_SUITE_P(
    Resolutions, ScaleFactorTest,
    ::testing::Values(FactorCase{1.0, {0, 0, 1920, 1040}, 600, 1.0},
                      FactorCase{1.25, {0, 0, 1920, 1040}, 600, 1.25},
                      FactorCase{1.5, {0, 0, 1920, 1040}, 600, 1.5},
                      FactorCase{2.0, {0, 0, 2560, 1400}, 600, 2.0},
                      FactorCase{0.75, {0, 0, 1920, 1040}, 600, 1.0},
                      FactorCase{1.5, {0, 0, 1366, 728}, 600, 728 / 640.0},
                      FactorCase{1.5, {0, 0, 1366, 728}, 480, 1.4},
                      FactorCase{2.0, {0, 0, 1000, 3000}, 600, 1000 / 546.0},
                      FactorCase{1.25, {0, 0, 1024, 560}, 600, 1.0},
                      FactorCase{-1.0, {0, 0, 1920, 1040}, 600, 1.0},
                      FactorCase{std::nan(""), {0, 0, 1920, 1040}, 600, 1.0},
                      FactorCase{1e12, {0, 0, 1920, 1040}, 600, 1040 / 640.0}));

// The work area of the monitor the window opens on decides: the larger
// second monitor lets it grow, a moved window fits the primary one.
TEST(ScaleFactorTest, TakesTheWorkAreaOfItsMonitor) {
  const std::vector<Monitor> monitors = {{{0, 0, 1366, 768}, {0, 0, 1366, 728}},
                                         {{1366, 0, 2560, 1440}, {1366, 0, 2560, 1440}}};
  EXPECT_DOUBLE_EQ(PlaceMainWindow(1500, 100, 530, 600, 2.0, monitors).factor, 2.0);
  EXPECT_DOUBLE_EQ(PlaceMainWindow(-32000, -32000, 530, 600, 2.0, monitors).factor,
                   728 / 640.0);
}

TEST(ScaleFactorTest, WithoutMonitorsTheTextSizeDecides) {
  EXPECT_EQ(PlaceMainWindow(-32000, 5, 530, 600, 1.5, {}), (WindowPlacement{-32000, 5, 1.5}));
}

}  // namespace
}  // namespace zielwerk

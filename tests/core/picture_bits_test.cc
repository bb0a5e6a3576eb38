// SPDX-License-Identifier: GPL-3.0-or-later
// Pixels to display bits and the seven row commands.
#include "core/picture/picture_bits.h"

#include <string>

#include <gtest/gtest.h>

#include "core/picture/picture_reader.h"
#include "support/test_files.h"

namespace zielwerk {
namespace {

struct Colour {
  uint8_t r, g, b, a;
};

TrainPicture Filled(int width, int height, Colour colour, bool has_alpha = false) {
  TrainPicture picture;
  picture.width = width;
  picture.height = height;
  picture.has_alpha = has_alpha;
  for (int i = 0; i < width * height; ++i) {
    picture.rgba.insert(picture.rgba.end(), {colour.r, colour.g, colour.b, colour.a});
  }
  return picture;
}

void Paint(TrainPicture& picture, int x, int y, Colour colour) {
  uint8_t* p = picture.rgba.data() + (size_t(y) * picture.width + x) * 4;
  p[0] = colour.r;
  p[1] = colour.g;
  p[2] = colour.b;
  p[3] = colour.a;
}

constexpr Colour kWhite{255, 255, 255, 255};
constexpr Colour kBlack{0, 0, 0, 255};

struct PixelCase {
  const char* name;
  Colour colour;
  bool bit;
};

void PrintTo(const PixelCase& c, std::ostream* os) { *os << c.name; }

// The bit of the top left pixel as the first row command carries it.
bool TopLeftBit(const TrainPicture& picture) { return PictureRowCommand(picture, 0)[1] == '8'; }

class PixelBitTest : public ::testing::TestWithParam<PixelCase> {};

TEST_P(PixelBitTest, FollowsTheThreshold) {
  const PixelCase& c = GetParam();
  EXPECT_EQ(PixelBit(c.colour.r, c.colour.g, c.colour.b, c.colour.a), c.bit);
  // The same pixel inside a picture, with and without an alpha channel.
  TrainPicture picture = Filled(1, 1, c.colour, /*has_alpha=*/true);
  EXPECT_EQ(TopLeftBit(picture), c.bit);
  if (c.colour.a == 255) {
    picture.has_alpha = false;
    EXPECT_EQ(TopLeftBit(picture), c.bit);
  }
}

INSTANTIATE_TEST_SUITE_P(
    All, PixelBitTest,
    ::testing::Values(PixelCase{"Black", {0, 0, 0, 255}, true},
                      PixelCase{"White", {255, 255, 255, 255}, false},
                      PixelCase{"Blue128", {0, 0, 128, 255}, true},
                      PixelCase{"Blue128Red1", {1, 0, 128, 255}, false},
                      PixelCase{"Blue128Green1", {0, 1, 128, 255}, false},
                      PixelCase{"Blue127White", {255, 255, 127, 255}, true},
                      PixelCase{"PureRed", {255, 0, 0, 255}, true},
                      PixelCase{"PureGreen", {0, 255, 0, 255}, true},
                      PixelCase{"Yellow", {255, 255, 0, 255}, true},
                      PixelCase{"PureBlue", {0, 0, 255, 255}, false},
                      PixelCase{"Grey127", {127, 127, 127, 255}, true},
                      PixelCase{"Grey128", {128, 128, 128, 255}, false},
                      PixelCase{"Grey129", {129, 129, 129, 255}, false},
                      // Alpha: composited over white first.
                      PixelCase{"TransparentBlack", {0, 0, 0, 0}, false},
                      PixelCase{"TransparentWhite", {255, 255, 255, 0}, false},
                      PixelCase{"BlackHalfCovering", {0, 0, 0, 128}, true},    // grey 127
                      PixelCase{"BlackJustUnderHalf", {0, 0, 0, 127}, false},  // grey 128
                      PixelCase{"BlueMostlyCovering", {0, 0, 255, 254}, false}),
    [](const ::testing::TestParamInfo<PixelCase>& info) { return std::string(info.param.name); });

TEST(PictureBitTest, AlphaCountsOnlyWhenThePictureHasIt) {
  TrainPicture picture = Filled(1, 1, {0, 0, 0, 0}, /*has_alpha=*/false);
  EXPECT_TRUE(TopLeftBit(picture));
}

// A larger picture is cut at 160 x 14; a smaller one is dark nowhere
// outside itself.
TEST(PictureBitTest, PositionsOutsideGiveZero) {
  const auto large = PictureRowCommands(Filled(200, 20, kBlack));
  EXPECT_EQ(large[6], "6" + std::string(80, 'F'));
  const auto small = PictureRowCommands(Filled(3, 2, kBlack));
  EXPECT_EQ(small[0], "0E0" + std::string(38, '0') + "E0" + std::string(38, '0'));
  EXPECT_EQ(small[1], "1" + std::string(80, '0'));
}

const std::string kZeroRow(40, '0');

std::string Command(char digit, const std::string& row_a, const std::string& row_b) {
  return std::string(1, digit) + row_a + row_b;
}

TEST(PictureRowCommandTest, WhiteBlackAndTopLeft) {
  const auto white = PictureRowCommands(Filled(160, 14, kWhite));
  const auto black = PictureRowCommands(Filled(160, 14, kBlack));
  TrainPicture top_left = Filled(160, 14, kWhite);
  Paint(top_left, 0, 0, kBlack);
  const auto corner = PictureRowCommands(top_left);
  for (int k = 0; k < 7; ++k) {
    const char digit = static_cast<char>('0' + k);
    EXPECT_EQ(white[k], std::string(1, digit) + std::string(80, '0'));
    EXPECT_EQ(black[k], std::string(1, digit) + std::string(80, 'F'));
    EXPECT_EQ(corner[k], k == 0 ? "080" + std::string(78, '0') : white[k]);
    EXPECT_EQ(white[k].size(), 81u);
  }
}

// One dark pixel at a time: its command, its byte, its bit, its row within the pair.
struct DotCase {
  int x, y;
  int k;
  std::string command;
};

void PrintTo(const DotCase& c, std::ostream* os) { *os << c.x << "," << c.y; }

class DotTest : public ::testing::TestWithParam<DotCase> {};

TEST_P(DotTest, LandsInItsPlace) {
  const DotCase& c = GetParam();
  TrainPicture picture = Filled(160, 14, kWhite);
  Paint(picture, c.x, c.y, kBlack);
  const auto commands = PictureRowCommands(picture);
  for (int k = 0; k < 7; ++k) {
    EXPECT_EQ(commands[k], k == c.k ? c.command : Command(char('0' + k), kZeroRow, kZeroRow));
  }
}

INSTANTIATE_TEST_SUITE_P(
    All, DotTest,
    ::testing::Values(DotCase{7, 0, 0, Command('0', "01" + std::string(38, '0'), kZeroRow)},
                      DotCase{8, 0, 0, Command('0', "0080" + std::string(36, '0'), kZeroRow)},
                      DotCase{0, 1, 0, Command('0', kZeroRow, "80" + std::string(38, '0'))},
                      DotCase{10, 5, 2, Command('2', kZeroRow, "0020" + std::string(36, '0'))},
                      DotCase{155, 12, 6, Command('6', std::string(38, '0') + "10", kZeroRow)},
                      DotCase{159, 13, 6, Command('6', kZeroRow, std::string(38, '0') + "01")}));

TEST(PictureRowCommandTest, OnlyTheTopLeft160By14Count) {
  TrainPicture large = Filled(170, 16, kWhite);
  for (int y = 0; y < 16; ++y) Paint(large, 160, y, kBlack);
  for (int x = 0; x < 170; ++x) Paint(large, x, 14, kBlack);
  for (int k = 0; k < 7; ++k) {
    EXPECT_EQ(PictureRowCommand(large, k), Command(char('0' + k), kZeroRow, kZeroRow));
  }
}

TEST(PictureRowCommandTest, SmallerPictureGivesZeroOutside) {
  const auto commands = PictureRowCommands(Filled(10, 3, kBlack));
  const std::string dark_row = "FFC0" + std::string(36, '0');
  EXPECT_EQ(commands[0], Command('0', dark_row, dark_row));
  EXPECT_EQ(commands[1], Command('1', dark_row, kZeroRow));
  for (int k = 2; k < 7; ++k) EXPECT_EQ(commands[k], Command(char('0' + k), kZeroRow, kZeroRow));
}

TEST(PictureRowCommandTest, EmptyOrInconsistentPicturesReadNothing) {
  TrainPicture broken;
  broken.width = 160;
  broken.height = 14;  // but no pixels
  for (const TrainPicture& picture : {TrainPicture{}, broken}) {
    for (int k = 0; k < 7; ++k) {
      EXPECT_EQ(PictureRowCommand(picture, k), Command(char('0' + k), kZeroRow, kZeroRow));
    }
  }
}

// From a file of each format to the commands: a black rectangle from (10, 2)
// to (150, 11) on white.
class TrainFileTest : public ::testing::TestWithParam<const char*> {};

TEST_P(TrainFileTest, GivesTheRectangle) {
  std::optional<TrainPicture> picture =
      ReadPictureFile(testing::TestDataPath(std::string("picture/") + GetParam()));
  ASSERT_TRUE(picture.has_value());
  ASSERT_EQ(picture->width, 160);
  ASSERT_EQ(picture->height, 14);
  const std::string dark = "003F" + std::string(32, 'F') + "FE00";
  const auto commands = PictureRowCommands(*picture);
  EXPECT_EQ(commands[0], Command('0', kZeroRow, kZeroRow));
  for (int k = 1; k < 6; ++k) EXPECT_EQ(commands[k], Command(char('0' + k), dark, dark));
  EXPECT_EQ(commands[6], Command('6', kZeroRow, kZeroRow));
}

INSTANTIATE_TEST_SUITE_P(All, TrainFileTest,
                         ::testing::Values("train.bmp", "train.png", "train.jpg", "train.gif"),
                         [](const ::testing::TestParamInfo<const char*>& info) {
                           return std::string(info.param).substr(6);
                         });

}  // namespace
}  // namespace zielwerk

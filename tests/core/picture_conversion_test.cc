// SPDX-License-Identifier: GPL-3.0-or-later
// Any picture or text into the display's 160 x 14 dots: the threshold, the
// two ditherings, fitting and moving, text set to 14 rows, and the saved
// file as the display transfer reads it back.
#include "core/picture/picture_conversion.h"

#include <algorithm>
#include <string>
#include <tuple>

#include <gtest/gtest.h>

#include "core/picture/picture_bits.h"
#include "core/picture/picture_reader.h"
#include "core/picture/text_picture.h"
#include "support/test_files.h"

namespace zielwerk {
namespace {

GreyPicture Grey(int width, int height, float (*brightness)(int x, int y)) {
  GreyPicture picture{width, height, {}};
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) picture.brightness.push_back(brightness(x, y));
  }
  return picture;
}

int LitIn(const LedBoard& dots, int left, int top, int right, int bottom) {
  int lit = 0;
  for (int y = top; y < bottom; ++y) {
    for (int x = left; x < right; ++x) lit += dots.Lit(x, y);
  }
  return lit;
}

struct Box {
  int left = 160, top = 14, right = -1, bottom = -1;  // inclusive; right < 0 when nothing is lit
  bool operator==(const Box&) const = default;
};
std::ostream& operator<<(std::ostream& os, const Box& box) {
  return os << "x " << box.left << ".." << box.right << ", y " << box.top << ".." << box.bottom;
}

Box LitBox(const LedBoard& dots) {
  Box box;
  for (int y = 0; y < dots.rows(); ++y) {
    for (int x = 0; x < dots.columns(); ++x) {
      if (!dots.Lit(x, y)) continue;
      box.left = std::min(box.left, x), box.right = std::max(box.right, x);
      box.top = std::min(box.top, y), box.bottom = std::max(box.bottom, y);
    }
  }
  return box.right < 0 ? Box{} : box;
}

TrainPicture Filled(int width, int height, uint8_t grey, uint8_t alpha = 255) {
  TrainPicture picture{width, height, alpha != 255, {}};
  for (int i = 0; i < width * height; ++i) picture.rgba.insert(picture.rgba.end(), {grey, grey, grey, alpha});
  return picture;
}

TEST(PictureConversionTest, ThresholdLightsWhatIsDarkerThanIt) {
  struct Case {
    float brightness;
    int threshold;
    bool lit;
  };
  for (const Case& c : {Case{127, 128, true}, {128, 128, false}, {127.9f, 128, true}, {0, 0, false},
                        {0, 1, true}, {254, 255, true}, {255, 255, false}, {255, 256, true}}) {
    GreyPicture dot{1, 1, {c.brightness}};
    for (Dithering dithering : {Dithering::kNone, Dithering::kFloydSteinberg, Dithering::kAtkinson}) {
      EXPECT_EQ(Quantize(dot, c.threshold, dithering).Lit(0, 0), c.lit)
          << c.brightness << " at threshold " << c.threshold;
    }
  }
}

// A ramp from black at the left to white at the right, in eight bands of 20
// columns. Without dithering the threshold cuts it in two; both ditherings
// light each band about as much as it is dark, Floyd-Steinberg keeping all
// the error (a few dots even at the ends), Atkinson a quarter less (the
// darkest band solid, the lightest empty).
TEST(PictureConversionTest, DitheringSpreadsTheErrorOverAGreyRamp) {
  const GreyPicture ramp = Grey(160, 14, [](int x, int) { return x * 255.0f / 159; });
  const auto band = [](const LedBoard& dots, int b) { return LitIn(dots, 20 * b, 0, 20 * b + 20, 14); };
  const auto darkness = [&](int b) {
    double dark = 0;
    for (int x = 20 * b; x < 20 * b + 20; ++x) dark += 14 * (1 - ramp.At(x, 0) / 255);
    return dark;
  };
  constexpr int kBandDots = 20 * 14;

  const LedBoard plain = Quantize(ramp, 128, Dithering::kNone);
  for (int b = 0; b < 8; ++b) EXPECT_EQ(band(plain, b), b < 4 ? kBandDots : 0) << "band " << b;
  EXPECT_EQ(LitBox(plain), (Box{0, 0, 79, 13}));

  const LedBoard floyd = Quantize(ramp, 128, Dithering::kFloydSteinberg);
  for (int b = 0; b < 8; ++b) EXPECT_NEAR(band(floyd, b), darkness(b), 0.1 * kBandDots) << "band " << b;
  EXPECT_LT(band(floyd, 0), kBandDots);
  EXPECT_GT(band(floyd, 7), 0);

  const LedBoard atkinson = Quantize(ramp, 128, Dithering::kAtkinson);
  for (int b = 2; b < 6; ++b) EXPECT_NEAR(band(atkinson, b), darkness(b), 0.15 * kBandDots) << "band " << b;
  EXPECT_EQ(band(atkinson, 0), kBandDots);
  EXPECT_EQ(band(atkinson, 7), 0);
  EXPECT_NE(atkinson, floyd);
}

// A black picture fitted and moved: where it lands on the display.
TEST(PictureConversionTest, FitKeepsTheAspectAndOffsetsMoveThePicture) {
  struct Case {
    int width, height;
    PictureFit fit;
    int offset_x, offset_y;
    Box lit;
  };
  const Case cases[] = {
      {40, 10, PictureFit::kHeight, 0, 0, {52, 0, 107, 13}},      // 56 x 14, centred
      {40, 10, PictureFit::kHeight, 10, -3, {62, 0, 117, 10}},    // moved right and up
      {40, 10, PictureFit::kHeight, 100, 0, {152, 0, 159, 13}},   // cut at the right edge
      {16, 14, PictureFit::kHeight, -88, 0, {}},                  // moved off the display
      {800, 40, PictureFit::kWidth, 0, 0, {0, 3, 159, 10}},       // 160 x 8
      {400, 100, PictureFit::kWidth, 0, 20, {0, 7, 159, 13}},     // 160 x 40, its top part
      {3, 3, PictureFit::kHeight, 0, 0, {73, 0, 86, 13}},         // a small picture grows
      {40, 10, PictureFit::kWhole, 0, 0, {52, 0, 107, 13}},       // as kHeight
      {800, 40, PictureFit::kWhole, 0, 0, {0, 3, 159, 10}},       // as kWidth
  };
  for (const Case& c : cases) {
    const GreyPicture scaled = ScaleToFit(ViewOf(Filled(c.width, c.height, 0)), c.fit);
    DotSettings settings;
    settings.offset_x = c.offset_x;
    settings.offset_y = c.offset_y;
    EXPECT_EQ(LitBox(MakeDisplayDots(scaled, settings)), c.lit)
        << c.width << " x " << c.height << " moved " << c.offset_x << ", " << c.offset_y;
    // The part of a black picture that shows is the part that lights.
    const ScaledSize shown = ShownSize(scaled.width, scaled.height, c.offset_x, c.offset_y);
    EXPECT_EQ(shown.width, c.lit.right < 0 ? 0 : c.lit.right - c.lit.left + 1);
    EXPECT_EQ(shown.height, c.lit.right < 0 ? 0 : c.lit.bottom - c.lit.top + 1);
    // At its limits one column or one row of the picture is still shown.
    const OffsetLimits limits = OffsetLimitsFor(scaled.width, scaled.height);
    const int column = std::min(scaled.height, 14), row = std::min(scaled.width, 160);
    for (const auto& [x, y, lit] : {std::tuple{limits.min_x, 0, column}, {limits.max_x, 0, column},
                                    {0, limits.min_y, row}, {0, limits.max_y, row}}) {
      settings.offset_x = x;
      settings.offset_y = y;
      EXPECT_EQ(LitIn(MakeDisplayDots(scaled, settings), 0, 0, 160, 14), lit) << x << ", " << y;
    }
  }
  // A picture one dot wide fitted to the width stops at the longest side.
  const GreyPicture thread = ScaleToFit(ViewOf(Filled(1, 16384, 0)), PictureFit::kWidth);
  EXPECT_EQ(thread.width, 160);
  EXPECT_EQ(thread.height, kMaxScaledSide);
  EXPECT_EQ(thread.At(159, kMaxScaledSide - 1), 0);
  EXPECT_EQ(FittedSize(0, 5, PictureFit::kWidth).width, 0);
}

// Each dot is the mean of the area it covers: 2 x 2 blocks of a
// checkerboard halved become single dots; a half-transparent black pixel is
// mid grey over white, and inverting swaps lit and dark.
TEST(PictureConversionTest, ScalingAveragesAndAlphaCountsAsOverWhite) {
  TrainPicture board = Filled(56, 28, 255);
  for (int y = 0; y < 28; ++y) {
    for (int x = 0; x < 56; ++x) {
      if ((x / 2 + y / 2) % 2 == 0) std::fill_n(board.rgba.begin() + (y * 56 + x) * 4, 3, 0);
    }
  }
  const GreyPicture halved = ScaleToFit(ViewOf(board), PictureFit::kHeight);
  ASSERT_EQ(halved.width, 28);
  for (int y = 0; y < 14; ++y) {
    for (int x = 0; x < 28; ++x) ASSERT_EQ(halved.At(x, y), (x + y) % 2 == 0 ? 0 : 255) << x << "," << y;
  }

  const GreyPicture veiled = ScaleToFit(ViewOf(Filled(14, 14, 0, 128)), PictureFit::kHeight);
  EXPECT_NEAR(veiled.At(7, 7), 127, 0.5);
  DotSettings settings;
  settings.invert = true;
  const LedBoard inverted = MakeDisplayDots(ScaleToFit(ViewOf(Filled(14, 14, 0)), PictureFit::kHeight), settings);
  EXPECT_EQ(LitIn(inverted, 0, 0, 160, 14), 160 * 14 - 14 * 14);
  EXPECT_FALSE(inverted.Lit(80, 7));
}

TEST(PictureConversionTest, TextFillsTheFourteenRowsOrTheWidth) {
  for (const char* font : {"DejaVu Sans Bold", "DejaVu Serif", kDefaultTextFont}) {
    const GreyPicture high = SetTextAsPicture("ZIELWERK", font, PictureFit::kHeight);
    EXPECT_EQ(high.height, 14) << font;
    EXPECT_GT(high.width, 60) << font;
    // The letters' tops and feet light at the default threshold.
    const Box box = LitBox(MakeDisplayDots(high, DotSettings{}));
    EXPECT_EQ(box.top, 0) << font;
    EXPECT_EQ(box.bottom, 13) << font;

    const GreyPicture wide = SetTextAsPicture("RhB", font, PictureFit::kWidth);
    EXPECT_GE(wide.width, 157) << font;
    EXPECT_LE(wide.width, 160) << font;

    // By default a long name shows whole and a short one fills the height;
    // filled to the height, the long one is cut.
    for (const char* text : {"GLACIER EXPRESS", "RhB"}) {
      const GreyPicture whole = SetTextAsPicture(text, font, kDefaultTextFit);
      const ScaledSize shown = ShownSize(whole.width, whole.height, 0, 0);
      EXPECT_TRUE(shown.width == whole.width && shown.height == whole.height) << text << ", " << font;
      EXPECT_TRUE(whole.height == 14 || whole.width >= 157) << text << ", " << font;
    }
    const GreyPicture cut = SetTextAsPicture("GLACIER EXPRESS", font, PictureFit::kHeight);
    EXPECT_EQ(ShownSize(cut.width, cut.height, 0, 0).width, 160) << font;
    EXPECT_GT(cut.width, 160) << font;
  }
  // A text too long for the width at any size is set to the height instead.
  EXPECT_EQ(SetTextAsPicture(std::string(kMaxPictureTextBytes, 'W'), kDefaultTextFont, PictureFit::kWidth).height,
            14);
  EXPECT_EQ(SetTextAsPicture(" \t\n", kDefaultTextFont, PictureFit::kHeight).width, 0);
  EXPECT_EQ(SetTextAsPicture("Glacier\nExpress", kDefaultTextFont, PictureFit::kHeight).height, 14);
}

// What the preview shows is what the display gets: the saved file, read by
// Zielwerk's own reader and turned into the seven row commands, carries
// exactly the lit dots, row pair by row pair, leftmost dot in the high bit.
TEST(PictureConversionTest, SavedFileSendsExactlyTheDotsShown) {
  const std::optional<TrainPicture> photo = ReadPictureFile(testing::TestDataPath("picture/photo.jpg"));
  ASSERT_TRUE(photo);
  DotSettings settings;
  settings.dithering = Dithering::kFloydSteinberg;
  settings.offset_y = 2;
  const LedBoard dots = MakeDisplayDots(ScaleToFit(ViewOf(*photo), PictureFit::kWidth), settings);
  ASSERT_GT(LitIn(dots, 0, 0, 160, 14), 200);

  testing::TempDir dir;
  const std::string path = dir.File("wagen.bmp");
  ASSERT_TRUE(SaveDisplayPicture(path, dots).ok);
  EXPECT_EQ(testing::ReadFileBytes(path).size(), 54u + 160 * 3 * 14);
  const std::optional<TrainPicture> saved = ReadPictureFile(path);
  ASSERT_TRUE(saved);
  const auto commands = PictureRowCommands(*saved);
  for (int k = 0; k < 7; ++k) {
    std::string expected(1, static_cast<char>('0' + k));
    for (int y = 2 * k; y <= 2 * k + 1; ++y) {
      for (int byte = 0; byte < 20; ++byte) {
        int value = 0;
        for (int bit = 0; bit < 8; ++bit) value = value << 1 | dots.Lit(8 * byte + bit, y);
        expected += "0123456789ABCDEF"[value >> 4];
        expected += "0123456789ABCDEF"[value & 15];
      }
    }
    EXPECT_EQ(commands[static_cast<size_t>(k)], expected) << "command " << k;
  }
}

}  // namespace
}  // namespace zielwerk

// SPDX-License-Identifier: GPL-3.0-or-later
// The picture readers against files made by ImageMagick and by hand
// (tests/data/picture/make_fixtures.sh), and against damaged copies of them.
#include "core/picture/picture_reader.h"

#include "core/picture/icon_file.h"
#include "core/picture/picture_bits.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <new>
#include <utility>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "../../fuzz/picture_promises.h"
#include "support/test_files.h"

// The largest block asked of operator new since it was last set to 0: a
// picture's pixels are one such block.
static size_t largest_block = 0;

void* operator new(size_t size) {
  largest_block = std::max(largest_block, size);
  if (void* block = std::malloc(size == 0 ? 1 : size)) return block;
  throw std::bad_alloc();
}
// Not inlined, so that the compiler does not take the free for a mismatch.
[[gnu::noinline]] void operator delete(void* block) noexcept { std::free(block); }
[[gnu::noinline]] void operator delete(void* block, size_t) noexcept { std::free(block); }

namespace zielwerk {
namespace {

using testing::ReadFileBytes;
using testing::TempDir;
using testing::TestDataPath;
using testing::WriteFileBytes;

using Rgba = std::array<int, 4>;

constexpr int kPatternWidth = 5;
constexpr int kPatternHeight = 3;

// pattern.ppm
constexpr std::array<std::array<Rgba, kPatternWidth>, kPatternHeight> kColourPattern{{
    {{{255, 0, 0, 255}, {0, 255, 0, 255}, {0, 0, 255, 255}, {255, 255, 255, 255}, {0, 0, 0, 255}}},
    {{{255, 255, 0, 255}, {0, 255, 255, 255}, {255, 0, 255, 255}, {128, 128, 128, 255}, {255, 128, 0, 255}}},
    {{{0, 0, 128, 255}, {64, 32, 192, 255}, {192, 224, 16, 255}, {32, 96, 160, 255}, {200, 100, 50, 255}}},
}};

// pattern_bw.pbm, 1 for black.
constexpr std::array<std::array<int, kPatternWidth>, kPatternHeight> kBwPattern{{
    {{1, 0, 0, 1, 0}}, {{0, 1, 1, 0, 1}}, {{1, 1, 0, 0, 0}}}};

// pattern_grey.pgm
constexpr std::array<std::array<int, kPatternWidth>, kPatternHeight> kGreyPattern{{
    {{0, 32, 64, 96, 128}}, {{160, 192, 224, 255, 16}}, {{48, 80, 112, 144, 176}}}};

enum class Pattern { kColour, kBw, kGrey };

Rgba Expected(Pattern pattern, int x, int y) {
  switch (pattern) {
    case Pattern::kColour:
      return kColourPattern[y][x];
    case Pattern::kBw: {
      int v = kBwPattern[y][x] ? 0 : 255;
      return {v, v, v, 255};
    }
    case Pattern::kGrey: {
      int v = kGreyPattern[y][x];
      return {v, v, v, 255};
    }
  }
  return {};
}

Rgba PixelAt(const TrainPicture& picture, int x, int y) {
  const uint8_t* p = picture.Pixel(x, y);
  return {p[0], p[1], p[2], p[3]};
}

std::string Describe(const Rgba& c) {
  return "(" + std::to_string(c[0]) + "," + std::to_string(c[1]) + "," + std::to_string(c[2]) +
         "," + std::to_string(c[3]) + ")";
}

::testing::AssertionResult Near(const Rgba& expected, const Rgba& actual, int tolerance) {
  for (int c = 0; c < 4; ++c) {
    if (std::abs(expected[c] - actual[c]) > tolerance) {
      return ::testing::AssertionFailure()
             << "expected " << Describe(expected) << " got " << Describe(actual);
    }
  }
  return ::testing::AssertionSuccess();
}

std::string Fixture(const std::string& name) { return ReadFileBytes(TestDataPath("picture/" + name)); }

struct FixtureCase {
  const char* file;
  Pattern pattern;
  int scale;      // each pattern pixel is a scale x scale block
  int tolerance;  // per channel
  bool has_alpha;
  int transparent_x = -1;  // the one pixel with alpha 0, if any
  int transparent_y = -1;
};

void PrintTo(const FixtureCase& c, std::ostream* os) { *os << c.file; }

class FixtureTest : public ::testing::TestWithParam<FixtureCase> {};

TEST_P(FixtureTest, DecodesToThePattern) {
  const FixtureCase& c = GetParam();
  std::optional<TrainPicture> picture = DecodePicture(Fixture(c.file));
  ASSERT_TRUE(picture.has_value());
  ASSERT_EQ(picture->width, kPatternWidth * c.scale);
  ASSERT_EQ(picture->height, kPatternHeight * c.scale);
  ASSERT_EQ(picture->rgba.size(), size_t(picture->width) * picture->height * 4);
  EXPECT_EQ(picture->has_alpha, c.has_alpha);
  for (int y = 0; y < kPatternHeight; ++y) {
    for (int x = 0; x < kPatternWidth; ++x) {
      Rgba actual = PixelAt(*picture, x * c.scale + c.scale / 2, y * c.scale + c.scale / 2);
      if (x == c.transparent_x && y == c.transparent_y) {
        EXPECT_EQ(actual[3], 0) << "at " << x << "," << y;
      } else {
        EXPECT_TRUE(Near(Expected(c.pattern, x, y), actual, c.tolerance)) << "at " << x << "," << y;
      }
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    Bmp, FixtureTest,
    ::testing::Values(FixtureCase{"bmp1.bmp", Pattern::kBw, 1, 0, false},
                      FixtureCase{"bmp4.bmp", Pattern::kColour, 1, 0, false},
                      FixtureCase{"bmp4_os2.bmp", Pattern::kColour, 1, 0, false},
                      FixtureCase{"bmp8.bmp", Pattern::kColour, 1, 0, false},
                      FixtureCase{"bmp8_rle.bmp", Pattern::kColour, 1, 0, false},
                      FixtureCase{"bmp16_555.bmp", Pattern::kColour, 1, 10, false},
                      FixtureCase{"bmp16_555_bitfields.bmp", Pattern::kColour, 1, 10, false},
                      FixtureCase{"bmp16_565.bmp", Pattern::kColour, 1, 10, false},
                      FixtureCase{"bmp24.bmp", Pattern::kColour, 1, 0, false},
                      FixtureCase{"bmp32.bmp", Pattern::kColour, 1, 0, false},
                      FixtureCase{"bmp32_bitfields.bmp", Pattern::kColour, 1, 0, false}));

INSTANTIATE_TEST_SUITE_P(
    Jpeg, FixtureTest,
    ::testing::Values(FixtureCase{"jpeg_baseline.jpg", Pattern::kColour, 8, 12, false},
                      FixtureCase{"jpeg_progressive.jpg", Pattern::kColour, 8, 12, false},
                      FixtureCase{"jpeg_grey.jpg", Pattern::kGrey, 8, 6, false},
                      FixtureCase{"jpeg_cmyk.jpg", Pattern::kColour, 8, 24, false}));

INSTANTIATE_TEST_SUITE_P(
    Png, FixtureTest,
    ::testing::Values(FixtureCase{"png_rgb.png", Pattern::kColour, 1, 0, false},
                      FixtureCase{"png_interlaced.png", Pattern::kColour, 3, 0, false},
                      FixtureCase{"png_palette_trns.png", Pattern::kColour, 1, 0, true, 3, 0},
                      FixtureCase{"png_grey_trns.png", Pattern::kGrey, 1, 0, true, 4, 0},
                      FixtureCase{"png_grey1.png", Pattern::kBw, 1, 0, false},
                      FixtureCase{"png_rgb16.png", Pattern::kColour, 1, 0, false},
                      FixtureCase{"png_rgba16.png", Pattern::kColour, 1, 0, true, 3, 0}));

INSTANTIATE_TEST_SUITE_P(
    Gif, FixtureTest,
    ::testing::Values(FixtureCase{"gif.gif", Pattern::kColour, 1, 0, false},
                      FixtureCase{"gif_interlaced.gif", Pattern::kColour, 3, 0, false},
                      FixtureCase{"gif_animated.gif", Pattern::kColour, 1, 0, false},
                      FixtureCase{"gif_transparent.gif", Pattern::kColour, 1, 0, true, 3, 0}));

// Hand-made files whose content is odd but can be decoded safely.
struct CraftedCase {
  const char* file;
  std::vector<Rgba> pixels;  // 4 x 3, row by row from the top
};

void PrintTo(const CraftedCase& c, std::ostream* os) { *os << c.file; }

constexpr Rgba kBlack{0, 0, 0, 255};
constexpr Rgba kRed{255, 0, 0, 255};
constexpr Rgba kGreen{0, 255, 0, 255};
constexpr Rgba kBlue{0, 0, 255, 255};
constexpr Rgba kClear{0, 0, 0, 0};

class CraftedTest : public ::testing::TestWithParam<CraftedCase> {};

TEST_P(CraftedTest, DecodesSafely) {
  const CraftedCase& c = GetParam();
  std::optional<TrainPicture> picture = DecodePicture(Fixture(c.file));
  ASSERT_TRUE(picture.has_value());
  ASSERT_EQ(picture->width, 4);
  ASSERT_EQ(picture->height, 3);
  for (int i = 0; i < 12; ++i) {
    EXPECT_EQ(PixelAt(*picture, i % 4, i / 4), c.pixels[i]) << "at " << i % 4 << "," << i / 4;
  }
}

INSTANTIATE_TEST_SUITE_P(
    All, CraftedTest,
    ::testing::Values(
        // A run and a literal longer than the row are cut at its end; the
        // skipped pixels keep colour 0 (black).
        CraftedCase{"bmp8_rle_clipped.bmp",
                    {kBlack, kBlack, kBlue, kBlack, kGreen, kBlue, kGreen, kBlue, kRed, kRed, kRed, kRed}},
        CraftedCase{"gif_frame_partly_outside.gif",
                    {kClear, kClear, kClear, kClear, kClear, kClear, kRed, kRed, kClear, kClear, kRed, kRed}},
        CraftedCase{"gif_frame_outside.gif", std::vector<Rgba>(12, kClear)},
        // Table: red, green. Index 2 lies past it (black), 3 is the transparent one.
        CraftedCase{"gif_indexes_past_map.gif",
                    {kRed, kGreen, kBlack, kClear, kClear, kClear, kRed, kGreen, kGreen, kRed, kBlack, kBlack}},
        CraftedCase{"gif_transparent_past_map.gif",
                    {kBlack, kRed, kGreen, kBlue, kBlack, kRed, kGreen, kBlue, kBlack, kRed, kGreen, kBlue}}));

// Files of 258 to 4096 bytes whose headers declare 4000 to 8000 pixels
// square, or 14848 wide and 24 high: each is decoded to the rows its data reaches or refused, and none
// costs a block anywhere near its declared size.
struct CutShortCase {
  const char* file;  // under tests/data
  int rows;          // 0: refused
};

constexpr char kJpegCutShort[] = "picture/cut_8000x8000.jpg";

void PrintTo(const CutShortCase& c, std::ostream* os) { *os << c.file; }

class CutShortTest : public ::testing::TestWithParam<CutShortCase> {};

TEST_P(CutShortTest, CostsWhatItHolds) {
  const std::string bytes = ReadFileBytes(TestDataPath(GetParam().file));
  largest_block = 0;
  const std::optional<TrainPicture> picture = DecodePicture(bytes);
  EXPECT_LT(largest_block, size_t{1} << 20);
  EXPECT_EQ(picture ? picture->height : 0, GetParam().rows);
}

INSTANTIATE_TEST_SUITE_P(All, CutShortTest,
                         ::testing::Values(CutShortCase{kJpegCutShort, 8},
                                           CutShortCase{"picture/cut_progressive_4000x4000.jpg", 0},
                                           CutShortCase{"picture/wide_progressive_14848x24.jpg", 0},
                                           CutShortCase{"picture/cut_5000x5000.png", 0},
                                           CutShortCase{"picture/cut_5000x5000.gif", 0},
                                           CutShortCase{"picture/cut_rle_5000x5000.bmp", 0}));

// The JPEG cut short begins like train.jpg: the band of rows its data
// reaches shows the same dots, and the rows it lacks are not there.
TEST(PictureReaderTest, JpegCutShortKeepsTheDotsOfItsRows) {
  const std::optional<TrainPicture> cut = DecodeJpeg(ReadFileBytes(TestDataPath(kJpegCutShort)));
  const std::optional<TrainPicture> whole = DecodeJpeg(Fixture("train.jpg"));
  ASSERT_TRUE(cut.has_value() && whole.has_value());
  ASSERT_EQ(cut->height, 8);
  for (int k = 0; k < kPictureRowCommandCount; ++k) {
    EXPECT_EQ(PictureRowCommand(*cut, k),
              2 * k < cut->height ? PictureRowCommand(*whole, k) : PictureRowCommand(TrainPicture{}, k));
  }
}

TEST(PictureReaderTest, RefusesAHeaderOfTwoMillionRows) {
  EXPECT_FALSE(DecodePicture(Fixture("png_1x2000000.png")).has_value());
}

// Every file that the suites use, for the damage tests.
const char* const kAllFixtures[] = {
    "bmp1.bmp", "bmp4.bmp", "bmp4_os2.bmp", "bmp8.bmp", "bmp8_rle.bmp", "bmp8_rle_clipped.bmp",
    "bmp16_555.bmp", "bmp16_555_bitfields.bmp", "bmp16_565.bmp", "bmp24.bmp", "bmp32.bmp",
    "bmp32_bitfields.bmp", "jpeg_baseline.jpg", "jpeg_progressive.jpg", "jpeg_grey.jpg",
    "jpeg_cmyk.jpg", "png_rgb.png", "png_interlaced.png", "png_palette_trns.png",
    "png_grey_trns.png", "png_grey1.png", "png_rgb16.png", "png_rgba16.png", "gif.gif",
    "gif_interlaced.gif", "gif_animated.gif", "gif_transparent.gif", "gif_frame_partly_outside.gif",
    "gif_frame_outside.gif", "gif_indexes_past_map.gif", "gif_transparent_past_map.gif",
    "train.bmp", "train.png", "train.jpg", "train.gif"};

// The damaged files are held to the picture fuzz targets' own promises.
void ExpectPromisesKept(std::string_view bytes) {
  const char* broken = fuzzing::BrokenDecodePicturePromise(bytes);
  EXPECT_EQ(broken, nullptr) << "broken promise: " << broken;
}

class DamagedFileTest : public ::testing::TestWithParam<const char*> {};

// Each cut may be refused or decoded as far as the format allows, but never
// crashes or reads past the end (the sanitizer build watches the latter).
TEST_P(DamagedFileTest, EveryTruncationIsSafe) {
  const std::string bytes = Fixture(GetParam());
  for (size_t length = 0; length < bytes.size(); ++length) {
    ExpectPromisesKept(std::string_view(bytes).substr(0, length));
  }
}

TEST_P(DamagedFileTest, EveryChangedByteIsSafe) {
  std::string bytes = Fixture(GetParam());
  for (size_t i = 0; i < bytes.size(); ++i) {
    const char original = bytes[i];
    for (char replacement : {'\x00', '\xFF', '\x7F', static_cast<char>(original + 1)}) {
      bytes[i] = replacement;
      ExpectPromisesKept(bytes);
    }
    bytes[i] = original;
  }
}

INSTANTIATE_TEST_SUITE_P(All, DamagedFileTest, ::testing::ValuesIn(kAllFixtures),
                         [](const ::testing::TestParamInfo<const char*>& info) {
                           std::string name = info.param;
                           for (char& c : name) {
                             if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                           }
                           return name;
                         });

TEST(PictureReaderTest, TruncatedBmpPixelsAreRefused) {
  const std::string bytes = Fixture("bmp24.bmp");
  // The last row may lack its byte of padding, nothing more.
  EXPECT_TRUE(DecodeBmp(bytes.substr(0, bytes.size() - 1)).has_value());
  EXPECT_FALSE(DecodeBmp(bytes.substr(0, bytes.size() - 2)).has_value());
}

// Little-endian field writers for damaging a BMP header.
void Put16(std::string& bytes, size_t offset, uint16_t value) {
  bytes[offset] = static_cast<char>(value & 0xFF);
  bytes[offset + 1] = static_cast<char>(value >> 8);
}
void Put32(std::string& bytes, size_t offset, uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes[offset + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

// Offsets in a BMP with a 40-byte or larger header.
constexpr size_t kBmpPixelOffset = 10;
constexpr size_t kBmpWidth = 18;
constexpr size_t kBmpHeight = 22;
constexpr size_t kBmpPlanes = 26;
constexpr size_t kBmpBits = 28;
constexpr size_t kBmpCompression = 30;
constexpr size_t kBmpColoursUsed = 46;
constexpr size_t kBmpRedMask = 54;

struct RefusedBmpCase {
  const char* name;
  const char* file;
  std::function<void(std::string&)> damage;
};

void PrintTo(const RefusedBmpCase& c, std::ostream* os) { *os << c.name; }

class RefusedBmpTest : public ::testing::TestWithParam<RefusedBmpCase> {};

TEST_P(RefusedBmpTest, IsRefused) {
  std::string bytes = Fixture(GetParam().file);
  ASSERT_TRUE(DecodeBmp(bytes).has_value());
  GetParam().damage(bytes);
  EXPECT_FALSE(DecodeBmp(bytes).has_value());
  EXPECT_FALSE(DecodePicture(bytes).has_value());
}

INSTANTIATE_TEST_SUITE_P(
    All, RefusedBmpTest,
    ::testing::Values(
        RefusedBmpCase{"TopDown", "bmp24.bmp", [](std::string& b) { Put32(b, kBmpHeight, uint32_t(-3)); }},
        RefusedBmpCase{"WidthZero", "bmp24.bmp", [](std::string& b) { Put32(b, kBmpWidth, 0); }},
        RefusedBmpCase{"HeightZero", "bmp24.bmp", [](std::string& b) { Put32(b, kBmpHeight, 0); }},
        RefusedBmpCase{"WidthNegative", "bmp24.bmp", [](std::string& b) { Put32(b, kBmpWidth, uint32_t(-5)); }},
        RefusedBmpCase{"WidthEnormous", "bmp24.bmp", [](std::string& b) { Put32(b, kBmpWidth, 0x7FFFFFFF); }},
        RefusedBmpCase{"HeightEnormous", "bmp24.bmp", [](std::string& b) { Put32(b, kBmpHeight, 0x7FFFFFFF); }},
        RefusedBmpCase{"HeightMostNegative", "bmp24.bmp", [](std::string& b) { Put32(b, kBmpHeight, 0x80000000); }},
        RefusedBmpCase{"WidthJustTooLarge", "bmp1.bmp", [](std::string& b) { Put32(b, kBmpWidth, 16385); }},
        RefusedBmpCase{"TooManyPixels", "bmp1.bmp",
                       [](std::string& b) {
                         Put32(b, kBmpWidth, 16384);
                         Put32(b, kBmpHeight, 16384);
                       }},
        RefusedBmpCase{"PixelsLongerThanFile", "bmp1.bmp", [](std::string& b) { Put32(b, kBmpHeight, 4); }},
        RefusedBmpCase{"PixelOffsetAtEnd", "bmp24.bmp", [](std::string& b) { Put32(b, kBmpPixelOffset, uint32_t(b.size())); }},
        RefusedBmpCase{"PixelOffsetFarPastEnd", "bmp24.bmp", [](std::string& b) { Put32(b, kBmpPixelOffset, 0xFFFFFFF0); }},
        RefusedBmpCase{"PixelOffsetInsideHeader", "bmp24.bmp", [](std::string& b) { Put32(b, kBmpPixelOffset, 20); }},
        RefusedBmpCase{"TwoPlanes", "bmp24.bmp", [](std::string& b) { Put16(b, kBmpPlanes, 2); }},
        RefusedBmpCase{"TwoBitsPerPixel", "bmp4.bmp", [](std::string& b) { Put16(b, kBmpBits, 2); }},
        RefusedBmpCase{"SevenBitsPerPixel", "bmp8.bmp", [](std::string& b) { Put16(b, kBmpBits, 7); }},
        RefusedBmpCase{"Rle4", "bmp4.bmp", [](std::string& b) { Put32(b, kBmpCompression, 2); }},
        RefusedBmpCase{"Rle8At24Bits", "bmp24.bmp", [](std::string& b) { Put32(b, kBmpCompression, 1); }},
        RefusedBmpCase{"BitFieldsAt24Bits", "bmp24.bmp", [](std::string& b) { Put32(b, kBmpCompression, 3); }},
        RefusedBmpCase{"Jpeg", "bmp24.bmp", [](std::string& b) { Put32(b, kBmpCompression, 4); }},
        // Bit fields after a 40-byte header need 12 bytes before the pixels.
        RefusedBmpCase{"NoRoomForMasks", "bmp16_555.bmp", [](std::string& b) { Put32(b, kBmpCompression, 3); }},
        RefusedBmpCase{"UnknownHeaderSize", "bmp24.bmp", [](std::string& b) { Put32(b, 14, 20); }},
        RefusedBmpCase{"ScatteredMask", "bmp16_565.bmp", [](std::string& b) { Put32(b, kBmpRedMask, 0xF801); }},
        RefusedBmpCase{"MaskWiderThanPixel", "bmp16_565.bmp", [](std::string& b) { Put32(b, kBmpRedMask, 0x1F0000); }},
        RefusedBmpCase{"NoMasks", "bmp16_565.bmp",
                       [](std::string& b) {
                         for (int i = 0; i < 3; ++i) Put32(b, kBmpRedMask + 4 * i, 0);
                       }},
        RefusedBmpCase{"RleDataCut", "bmp8_rle.bmp", [](std::string& b) { b.resize(b.size() - 4); }}),
    [](const ::testing::TestParamInfo<RefusedBmpCase>& info) { return std::string(info.param.name); });

TEST(PictureReaderTest, ReservedBytesMakeAFileNoBmp) {
  std::string bytes = Fixture("bmp24.bmp");
  bytes[8] = 1;
  EXPECT_FALSE(DecodeBmp(bytes).has_value());
  EXPECT_FALSE(DecodePicture(bytes).has_value());
}

// A monochrome picture means 0 dark and 1 light whatever its colour table says.
TEST(PictureReaderTest, OneBitIgnoresItsColourTable) {
  // Entries 0 and 1 as stored (B, G, R, 0): red and blue, then white and black.
  for (auto [entry0, entry1] : {std::pair{0x00FF0000u, 0x000000FFu}, std::pair{0x00FFFFFFu, 0u}}) {
    std::string bytes = Fixture("bmp1.bmp");
    Put32(bytes, 54, entry0);
    Put32(bytes, 58, entry1);
    std::optional<TrainPicture> picture = DecodeBmp(bytes);
    ASSERT_TRUE(picture.has_value());
    for (int y = 0; y < kPatternHeight; ++y) {
      for (int x = 0; x < kPatternWidth; ++x) {
        EXPECT_EQ(PixelAt(*picture, x, y), Expected(Pattern::kBw, x, y)) << "at " << x << "," << y;
      }
    }
  }
}

TEST(PictureReaderTest, ColourIndexPastTheTableIsBlack) {
  const std::string original = Fixture("bmp4.bmp");
  std::string bytes = original;
  Put32(bytes, kBmpColoursUsed, 1);
  const Rgba first_entry{static_cast<uint8_t>(bytes[56]), static_cast<uint8_t>(bytes[55]),
                         static_cast<uint8_t>(bytes[54]), 255};
  std::optional<TrainPicture> picture = DecodeBmp(bytes);
  ASSERT_TRUE(picture.has_value());
  for (int y = 0; y < kPatternHeight; ++y) {
    for (int x = 0; x < kPatternWidth; ++x) {
      const Rgba expected = kColourPattern[y][x] == first_entry ? first_entry : kBlack;
      EXPECT_EQ(PixelAt(*picture, x, y), expected) << "at " << x << "," << y;
    }
  }
}

// Each reader recognises its own format only.
TEST(PictureReaderTest, ReadersRefuseOtherFormats) {
  const std::string bmp = Fixture("bmp24.bmp");
  const std::string jpeg = Fixture("jpeg_baseline.jpg");
  const std::string png = Fixture("png_rgb.png");
  const std::string gif = Fixture("gif.gif");
  using Reader = std::optional<TrainPicture> (*)(std::string_view);
  const std::array<std::pair<Reader, const std::string*>, 4> readers{
      {{DecodeBmp, &bmp}, {DecodeJpeg, &jpeg}, {DecodePng, &png}, {DecodeGif, &gif}}};
  for (size_t r = 0; r < readers.size(); ++r) {
    for (size_t f = 0; f < readers.size(); ++f) {
      EXPECT_EQ(readers[r].first(*readers[f].second).has_value(), r == f) << "reader " << r << " file " << f;
    }
    EXPECT_FALSE(readers[r].first("").has_value());
  }
}

TEST(PictureReaderTest, UnknownContentIsRefused) {
  for (std::string_view bytes :
       {std::string_view(""), std::string_view("BM"), std::string_view("\xFF\xD8", 2),
        std::string_view("\xFF\xD8\xFF"), std::string_view("GI"), std::string_view("GIF"),
        std::string_view("\x89PNG\r\n\x1A", 7), std::string_view("Hallo Welt\n")}) {
    EXPECT_FALSE(DecodePicture(bytes).has_value()) << testing::BytesEqual("", bytes);
  }
}

TEST(PictureReaderTest, FilesAreRecognisedByContentNotName) {
  TempDir dir;
  WriteFileBytes(dir.File("wagen.bmp"), Fixture("png_rgb.png"));
  WriteFileBytes(dir.File("bild.png"), "kein Bild\n");
  WriteFileBytes(dir.File("bild"), Fixture("gif.gif"));

  std::optional<TrainPicture> png = ReadPictureFile(dir.File("wagen.bmp"));
  ASSERT_TRUE(png.has_value());
  EXPECT_EQ(PixelAt(*png, 4, 2), kColourPattern[2][4]);
  EXPECT_FALSE(ReadPictureFile(dir.File("bild.png")).has_value());
  EXPECT_TRUE(ReadPictureFile(dir.File("bild")).has_value());
}

TEST(PictureReaderTest, UnreadableFilesGiveNothing) {
  TempDir dir;
  EXPECT_FALSE(ReadPictureFile(dir.File("fehlt.bmp")).has_value());
  EXPECT_FALSE(ReadPictureFile(dir.path()).has_value());
  EXPECT_FALSE(ReadPictureFile("").has_value());

  // A sparse file just over the limit, beginning like a bitmap.
  const std::string huge = dir.File("riesig.bmp");
  WriteFileBytes(huge, Fixture("bmp24.bmp"));
  std::filesystem::resize_file(huge, kMaxPictureFileBytes + 1);
  EXPECT_FALSE(ReadPictureFile(huge).has_value());
}

// An ICO container: 6 bytes of header, 16 per entry, then the entries' data.
struct IcoEntry {
  int side;  // as the directory states it
  std::string data;
};

std::string Ico(const std::vector<IcoEntry>& entries) {
  const auto le = [](uint32_t value, int count) {
    std::string bytes;
    for (int i = 0; i < count; ++i) bytes += static_cast<char>((value >> (8 * i)) & 0xFF);
    return bytes;
  };
  std::string head = le(0, 2) + le(1, 2) + le(static_cast<uint32_t>(entries.size()), 2);
  std::string body;
  uint32_t offset = 6 + 16 * static_cast<uint32_t>(entries.size());
  for (const IcoEntry& entry : entries) {
    head += le(static_cast<uint32_t>(entry.side), 1) + le(static_cast<uint32_t>(entry.side), 1) +
            le(0, 2) + le(1, 2) + le(32, 2) + le(static_cast<uint32_t>(entry.data.size()), 4) +
            le(offset, 4);
    offset += static_cast<uint32_t>(entry.data.size());
    body += entry.data;
  }
  return head + body;
}

// A 2 x 1 bitmap of 32 bits, as icons store it: the header states twice the
// height (colour rows and mask), rows bottom-up in B, G, R, A.
std::string IcoBitmap() {
  std::string header(40, '\0');
  header[0] = 40;
  header[4] = 2;
  header[8] = 2;
  header[12] = 1;
  header[14] = 32;
  return header + std::string("\x10\x20\x30\xFF\x40\x50\x60\x80", 8) + std::string(4, '\0');
}

TEST(IconFileTest, TakesTheEntryNearestTo24AsPngOrBitmap) {
  const std::string png = Fixture("png_rgb.png");
  const std::optional<TrainPicture> bitmap =
      DecodeIco(Ico({{48, png}, {24, IcoBitmap()}, {16, png}}));
  ASSERT_TRUE(bitmap.has_value());
  EXPECT_EQ(bitmap->width, 2);
  EXPECT_EQ(bitmap->height, 1);
  EXPECT_TRUE(bitmap->has_alpha);
  EXPECT_EQ(PixelAt(*bitmap, 0, 0), (Rgba{0x30, 0x20, 0x10, 0xFF}));
  EXPECT_EQ(PixelAt(*bitmap, 1, 0), (Rgba{0x60, 0x50, 0x40, 0x80}));

  const std::optional<TrainPicture> from_png = DecodeIco(Ico({{16, IcoBitmap()}, {32, png}}));
  ASSERT_TRUE(from_png.has_value());
  EXPECT_EQ(from_png->rgba, DecodePng(png)->rgba);

  EXPECT_FALSE(DecodeIco(Ico({{24, "kein Bild"}})).has_value());
  EXPECT_FALSE(DecodeIco(Ico({{24, IcoBitmap()}}).substr(0, 40)).has_value());
  EXPECT_FALSE(DecodeIco(png).has_value());
}

TEST(IconFileTest, ReadsIcoFilesAndOtherPictures) {
  TempDir dir;
  WriteFileBytes(dir.File("a.ico"), Ico({{24, IcoBitmap()}}));
  WriteFileBytes(dir.File("b.ico"), Fixture("gif.gif"));
  EXPECT_EQ(ReadIconFile(dir.File("a.ico"))->width, 2);
  EXPECT_EQ(ReadIconFile(dir.File("b.ico"))->rgba, ReadPictureFile(dir.File("b.ico"))->rgba);
  EXPECT_FALSE(ReadIconFile(dir.File("c.ico")).has_value());
  EXPECT_EQ(IconFilePath("Open"), "Icons/Open" + std::string(kIconFileExtension));
}

}  // namespace
}  // namespace zielwerk

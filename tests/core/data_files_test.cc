// SPDX-License-Identifier: GPL-3.0-or-later
// The files delivered for the program's working directory: the eleven icons and
// the three standard train pictures, checked byte by byte in their headers.
#include <cstddef>
#include <cstdint>
#include <string>

#include <gtest/gtest.h>

#include "core/picture/icon_file.h"
#include "core/picture/picture_slots.h"
#include "support/test_files.h"

namespace zielwerk::testing {
namespace {

const std::string kDataDir = ZIELWERK_PROJECT_DATA_DIR;

std::uint32_t Le(const std::string& bytes, std::size_t offset, int count) {
  std::uint32_t value = 0;
  for (int i = count - 1; i >= 0; --i) {
    value = (value << 8) | static_cast<unsigned char>(bytes[offset + i]);
  }
  return value;
}

std::uint32_t Be32(const std::string& bytes, std::size_t offset) {
  std::uint32_t value = 0;
  for (int i = 0; i < 4; ++i) {
    value = (value << 8) | static_cast<unsigned char>(bytes[offset + i]);
  }
  return value;
}

class IconFileTest : public ::testing::TestWithParam<std::string_view> {};

TEST_P(IconFileTest, IsA24By24PngWithAlpha) {
  const std::string path = kDataDir + "/Icons/" + std::string(GetParam()) + ".png";
  ASSERT_TRUE(FileExists(path)) << path;
  const std::string bytes = ReadFileBytes(path);
  ASSERT_GE(bytes.size(), 33u);
  EXPECT_EQ(bytes.substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8));
  EXPECT_EQ(Be32(bytes, 8), 13u) << "IHDR length";
  EXPECT_EQ(bytes.substr(12, 4), "IHDR");
  EXPECT_EQ(Be32(bytes, 16), 24u) << "width";
  EXPECT_EQ(Be32(bytes, 20), 24u) << "height";
  EXPECT_EQ(static_cast<unsigned char>(bytes[24]), 8) << "bit depth";
  EXPECT_EQ(static_cast<unsigned char>(bytes[25]), 6) << "colour type RGBA";
}

// The Windows build's icon holds the same PNG in an ICO container.
TEST_P(IconFileTest, IcoHoldsTheSamePng) {
  const std::string png = ReadFileBytes(kDataDir + "/Icons/" + std::string(GetParam()) + ".png");
  const std::string ico = ReadFileBytes(kDataDir + "/Icons/" + std::string(GetParam()) + ".ico");
  ASSERT_GE(ico.size(), 22u);
  EXPECT_EQ(ico.substr(0, 6), std::string("\0\0\1\0\1\0", 6)) << "an icon with one entry";
  EXPECT_EQ(Le(ico, 6, 1), 24u) << "width";
  EXPECT_EQ(Le(ico, 7, 1), 24u) << "height";
  EXPECT_EQ(Le(ico, 14, 4), png.size());
  EXPECT_EQ(Le(ico, 18, 4), 22u) << "offset";
  EXPECT_TRUE(BytesEqual(png, ico.substr(22)));
}

INSTANTIATE_TEST_SUITE_P(Icons, IconFileTest,
                         ::testing::ValuesIn(kIconNames));

class TrainPictureFileTest : public ::testing::TestWithParam<std::string_view> {};

TEST_P(TrainPictureFileTest, IsAnUncompressedBottomUp24BitBmpOf160By14) {
  const std::string path = kDataDir + "/" + std::string(GetParam());
  ASSERT_TRUE(FileExists(path)) << path;
  const std::string bytes = ReadFileBytes(path);
  constexpr std::uint32_t kFileSize = 54 + 160 * 3 * 14;
  ASSERT_EQ(bytes.size(), kFileSize);
  EXPECT_EQ(bytes.substr(0, 2), "BM");
  EXPECT_EQ(Le(bytes, 2, 4), kFileSize) << "file size field";
  EXPECT_EQ(Le(bytes, 6, 4), 0u) << "reserved";
  EXPECT_EQ(Le(bytes, 10, 4), 54u) << "pixel offset";
  EXPECT_EQ(Le(bytes, 14, 4), 40u) << "info header size";
  EXPECT_EQ(Le(bytes, 18, 4), 160u) << "width";
  EXPECT_EQ(Le(bytes, 22, 4), 14u) << "height, positive for bottom-up";
  EXPECT_EQ(Le(bytes, 26, 2), 1u) << "planes";
  EXPECT_EQ(Le(bytes, 28, 2), 24u) << "bits per pixel";
  EXPECT_EQ(Le(bytes, 30, 4), 0u) << "compression";
}

INSTANTIATE_TEST_SUITE_P(StandardPictures, TrainPictureFileTest,
                         ::testing::ValuesIn(kStandardPictureFiles));

// "kein_BILD.bmp" stands for "no custom picture"; shipping one would show and
// send a picture the user never chose.
TEST(DataFilesTest, NoPlaceholderPictureIsShipped) {
  EXPECT_FALSE(FileExists(kDataDir + "/kein_BILD.bmp"));
}

}  // namespace
}  // namespace zielwerk::testing

// SPDX-License-Identifier: GPL-3.0-or-later
// How a picture becomes the display's 160 x 14 bits, and the seven row
// commands that carry them: the digit k, then rows 2k and 2k + 1 as 40
// upper-case hexadecimal digits each, the leftmost pixel of a byte in bit 7.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "picture/train_picture.h"

namespace zielwerk {

inline constexpr int kDisplayPictureWidth = 160;
inline constexpr int kDisplayPictureHeight = 14;
inline constexpr int kPictureRowCommandCount = kDisplayPictureHeight / 2;
// A colour value R + 256 G + 65536 B at or below this is a dark pixel.
inline constexpr uint32_t kDarkThreshold = 8388608;

// Whether the pixel lights the display (bit 1): its colour, composited over
// white by its alpha, has a colour value of at most kDarkThreshold. A fully
// transparent pixel is white and gives 0.
bool PixelBit(uint8_t red, uint8_t green, uint8_t blue, uint8_t alpha);

// The 81-character command for the row pair k (0 to 6); "" for any other k.
// A position's bit is PixelBit of the picture's pixel there (alpha counts
// only when the picture has_alpha), 0 outside the picture.
std::string PictureRowCommand(const TrainPicture& picture, int k);

// The seven commands in sending order, k = 0 to 6.
std::array<std::string, kPictureRowCommandCount> PictureRowCommands(const TrainPicture& picture);

}  // namespace zielwerk

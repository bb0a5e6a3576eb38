// SPDX-License-Identifier: GPL-3.0-or-later
#include "picture/picture_bits.h"

#include <algorithm>

namespace zielwerk {

namespace {

constexpr int kRowBytes = kDisplayPictureWidth / 8;

// The component as seen over a white ground, rounded to the nearest value;
// an opaque pixel keeps its component exactly.
inline uint32_t OverWhite(uint32_t component, uint32_t alpha) {
  return 255 - ((255 - component) * alpha + 127) / 255;
}

// Whether the picture's pixel buffer holds all the pixels its size promises.
bool PixelsReadable(const TrainPicture& picture) {
  return picture.width > 0 && picture.height > 0 &&
         picture.rgba.size() >=
             static_cast<size_t>(picture.width) * static_cast<size_t>(picture.height) * 4;
}

void AppendRowHex(const TrainPicture& picture, int y, std::string& out) {
  static constexpr char kHexDigits[] = "0123456789ABCDEF";
  const int columns = PixelsReadable(picture) && y < picture.height
                          ? std::min(picture.width, kDisplayPictureWidth)
                          : 0;
  const uint8_t* row = columns > 0 ? picture.Pixel(0, y) : nullptr;
  for (int j = 0; j < kRowBytes; ++j) {
    unsigned byte = 0;
    for (int bit = 0; bit < 8; ++bit) {
      const int x = 8 * j + bit;
      if (x >= columns) break;
      const uint8_t* pixel = row + 4 * x;
      if (PixelBit(pixel[0], pixel[1], pixel[2], picture.has_alpha ? pixel[3] : 255)) {
        byte |= 0x80u >> bit;
      }
    }
    out.push_back(kHexDigits[byte >> 4]);
    out.push_back(kHexDigits[byte & 0x0F]);
  }
}

}  // namespace

bool PixelBit(uint8_t red, uint8_t green, uint8_t blue, uint8_t alpha) {
  if (alpha == 255) return red + 256u * green + 65536u * blue <= kDarkThreshold;
  const uint32_t value =
      OverWhite(red, alpha) + 256 * OverWhite(green, alpha) + 65536 * OverWhite(blue, alpha);
  return value <= kDarkThreshold;
}

std::string PictureRowCommand(const TrainPicture& picture, int k) {
  if (k < 0 || k >= kPictureRowCommandCount) return {};
  std::string command;
  command.reserve(1 + 4 * kRowBytes);
  command.push_back(static_cast<char>('0' + k));
  AppendRowHex(picture, 2 * k, command);
  AppendRowHex(picture, 2 * k + 1, command);
  return command;
}

std::array<std::string, kPictureRowCommandCount> PictureRowCommands(const TrainPicture& picture) {
  std::array<std::string, kPictureRowCommandCount> commands;
  for (int k = 0; k < kPictureRowCommandCount; ++k) commands[k] = PictureRowCommand(picture, k);
  return commands;
}

}  // namespace zielwerk

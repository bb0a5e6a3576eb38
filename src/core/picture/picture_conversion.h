// SPDX-License-Identifier: GPL-3.0-or-later
// Turning any picture into the display's 160 x 14 dots, in steps that can be
// redone separately: scaling to the display's height or width (slow for a
// photo, done once per picture and fit), then placing on the display,
// deciding each dot by a brightness threshold, with or without dithering,
// and inverting (cheap, redone on every change of a setting).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "ini/safe_save.h"
#include "picture/led_board.h"
#include "picture/train_picture.h"

namespace zielwerk {

// A picture's brightness, 0 (black) to 255 (white) per pixel, row by row
// from the top.
struct GreyPicture {
  int width = 0;
  int height = 0;
  std::vector<float> brightness;

  float At(int x, int y) const {
    return brightness[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)];
  }
};

// Decoded pixels that someone else owns: 8 bits a channel, red, green, blue
// and, with four channels, alpha; rows `stride` bytes apart.
struct PixelView {
  const uint8_t* pixels = nullptr;
  int width = 0;
  int height = 0;
  size_t stride = 0;
  int channels = 3;  // 3 or 4
};
// A view of `picture`'s pixels, valid while the picture lives unchanged.
PixelView ViewOf(const TrainPicture& picture);

// kHeight: the picture's height fills the display's 14 rows, its width
// follows the aspect. kWidth: its width fills the 160 columns. kWhole: as
// large as fits both, so nothing is cut off.
enum class PictureFit { kHeight, kWidth, kWhole };
// How a picture is fitted unless the user says otherwise; a text's is in
// text_picture.h.
inline constexpr PictureFit kDefaultPictureFit = PictureFit::kHeight;
enum class Dithering { kNone, kFloydSteinberg, kAtkinson };

// The longest side a scaled picture gets: a very narrow picture fitted to
// the display's width would otherwise become millions of rows long.
inline constexpr int kMaxScaledSide = 4096;
inline constexpr int kDefaultThreshold = 128;

struct ScaledSize {
  int width = 0;
  int height = 0;
};
// The size a picture of `width` x `height` takes in `fit`, each side rounded
// to whole dots, at least 1 and at most kMaxScaledSide; 0 x 0 for an empty
// picture.
ScaledSize FittedSize(int width, int height, PictureFit fit);

// The brightness of `source` scaled to FittedSize: each dot is the mean
// brightness (luma of BT.601) of the source area it covers, a pixel with
// alpha counting as seen over white. Empty for an empty or unreadable view.
GreyPicture ScaleToFit(const PixelView& source, PictureFit fit);

// What the window's controls and the batch options set.
struct DotSettings {
  int threshold = kDefaultThreshold;  // 0 to 256: a dot lights when darker than this
  Dithering dithering = Dithering::kNone;
  bool invert = false;
  int offset_x = 0;  // dots to the right of the centred place
  int offset_y = 0;  // dots down from the centred place
};

// The 160 x 14 brightness the display shows: `scaled` centred on it, moved
// by the offsets, cut to the display, white where the picture does not reach.
GreyPicture PlaceOnDisplay(const GreyPicture& scaled, int offset_x, int offset_y);

// One LED per pixel of `grey`, lit where the pixel's brightness is below
// `threshold`. Dithering spreads each dot's error (its brightness minus 0
// when lit, minus 255 when dark) onto the dots still to come, left to right
// and top to bottom: Floyd-Steinberg all of it (7/16 right, 3/16 down left,
// 5/16 down, 1/16 down right), Atkinson three quarters (1/8 each to two dots
// right, three below and one two rows down), so it keeps light and dark areas
// clean. Error that would fall off the picture is dropped.
LedBoard Quantize(const GreyPicture& grey, int threshold, Dithering dithering);

// The display's 160 x 14 dots from a scaled picture: placed, quantised and,
// when asked, inverted.
LedBoard MakeDisplayDots(const GreyPicture& scaled, const DotSettings& settings);

// How far a picture of `scaled_width` x `scaled_height` can move from its
// centred place while one of its dots is still on the display.
struct OffsetLimits {
  int min_x = 0, max_x = 0, min_y = 0, max_y = 0;
};
OffsetLimits OffsetLimitsFor(int scaled_width, int scaled_height);

// The size of the part of a picture of `scaled_width` x `scaled_height` that
// lies on the display when PlaceOnDisplay places it with the offsets: the
// picture's own size when the display cuts nothing off, 0 x 0 when nothing
// of it shows.
ScaledSize ShownSize(int scaled_width, int scaled_height, int offset_x, int offset_y);

// The dots as a picture the display transfer reads back unchanged: black
// where lit, white where dark, no alpha.
TrainPicture DotsAsPicture(const LedBoard& dots);

// Writes the dots to `path` as a 24-bit BMP, safely (the old file stays
// whole until the new one is complete). Replaces a file that is there.
SaveResult SaveDisplayPicture(const std::string& path, const LedBoard& dots);

}  // namespace zielwerk

// SPDX-License-Identifier: GPL-3.0-or-later
// A decoded picture: what every picture reader produces and what the preview,
// the picture transfer and the print-out consume.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace zielwerk {

struct TrainPicture {
  int width = 0;
  int height = 0;
  // True when the file carried transparency (an alpha channel, tRNS, or a GIF
  // transparent index); the pixels then hold real alpha values.
  bool has_alpha = false;
  // width * height pixels, row by row from the top, four bytes each: R, G, B, A
  // (A is 255 for every pixel of a picture without alpha).
  std::vector<uint8_t> rgba;

  const uint8_t* Pixel(int x, int y) const {
    return rgba.data() + (static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)) * 4;
  }
};

}  // namespace zielwerk

// SPDX-License-Identifier: GPL-3.0-or-later
#include "picture/picture_rows.h"

#include <algorithm>

namespace zielwerk {

namespace {

// Rows to make room for at first: a band of JPEG blocks, and few enough that
// a picture of a row or two wastes little.
constexpr size_t kFirstRows = 16;

}  // namespace

void GrowPictureRows(TrainPicture& picture, int rows) {
  const size_t row_bytes = static_cast<size_t>(picture.width) * 4;
  const size_t needed = static_cast<size_t>(rows) * row_bytes;
  if (needed <= picture.rgba.size()) return;
  if (needed > picture.rgba.capacity()) {
    const size_t most = static_cast<size_t>(std::max(picture.height, rows)) * row_bytes;
    const size_t first = kFirstRows * row_bytes;
    picture.rgba.reserve(std::min(most, std::max({needed, first, 2 * picture.rgba.capacity()})));
  }
  picture.rgba.resize(needed);
}

}  // namespace zielwerk

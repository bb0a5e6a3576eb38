// SPDX-License-Identifier: GPL-3.0-or-later
#include "picture/picture_rows.h"

#include <algorithm>

namespace zielwerk {

void GrowPictureRows(TrainPicture& picture, int rows) {
  const size_t row_bytes = static_cast<size_t>(picture.width) * 4;
  const size_t needed = static_cast<size_t>(rows) * row_bytes;
  if (needed <= picture.rgba.size()) return;
  if (needed > picture.rgba.capacity()) {
    const size_t most = static_cast<size_t>(std::max(picture.height, rows)) * row_bytes;
    picture.rgba.reserve(std::min(most, std::max(needed, 2 * picture.rgba.capacity())));
  }
  picture.rgba.resize(needed);
}

}  // namespace zielwerk

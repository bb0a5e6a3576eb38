// SPDX-License-Identifier: GPL-3.0-or-later
#include "picture/led_board.h"

#include <algorithm>

namespace zielwerk {

LedBoard::LedBoard(int columns, int rows)
    : columns_(columns > 0 && rows > 0 ? columns : 0),
      rows_(columns > 0 && rows > 0 ? rows : 0),
      lit_(static_cast<std::size_t>(columns_) * static_cast<std::size_t>(rows_), 0) {}

LedGeometry FitLedBoard(int columns, int rows, double width, double height) {
  LedGeometry geometry;
  if (columns <= 0 || rows <= 0) return geometry;
  geometry.pitch = std::max(0.0, std::min(width / (columns + 2), height / (rows + 2)));
  geometry.left = (width - columns * geometry.pitch) / 2;
  geometry.top = (height - rows * geometry.pitch) / 2;
  return geometry;
}

}  // namespace zielwerk

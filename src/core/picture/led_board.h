// SPDX-License-Identifier: GPL-3.0-or-later
// The car's display as a board of LEDs, each lit or dark: what the picture
// maker makes of a picture and what the display simulator shows, and where
// its LEDs stand when the board is drawn into an area of a window.
#pragma once

#include <cstddef>
#include <vector>

namespace zielwerk {

// Which LEDs of a board of `columns` x `rows` are lit. A plain value: boards
// compare equal when they have the same size and the same LEDs lit.
class LedBoard {
 public:
  LedBoard() = default;
  // A board with every LED dark; a size below 1 gives an empty board.
  LedBoard(int columns, int rows);

  int columns() const { return columns_; }
  int rows() const { return rows_; }
  // False for a position outside the board.
  bool Lit(int x, int y) const { return Inside(x, y) && lit_[Index(x, y)] != 0; }
  // Does nothing for a position outside the board.
  void Set(int x, int y, bool lit) {
    if (Inside(x, y)) lit_[Index(x, y)] = lit ? 1 : 0;
  }

  friend bool operator==(const LedBoard&, const LedBoard&) = default;

 private:
  bool Inside(int x, int y) const { return x >= 0 && y >= 0 && x < columns_ && y < rows_; }
  std::size_t Index(int x, int y) const {
    return static_cast<std::size_t>(y) * static_cast<std::size_t>(columns_) +
           static_cast<std::size_t>(x);
  }

  int columns_ = 0;
  int rows_ = 0;
  std::vector<unsigned char> lit_;
};

// Where the LEDs of a board of `columns` x `rows` stand in an area of
// `width` x `height` pixels: the largest pitch at which the board and a
// border of one pitch all round fit, centred in the area.
struct LedGeometry {
  double pitch = 0;  // distance between the centres of two neighbouring LEDs
  double left = 0;   // where the first column begins
  double top = 0;    // where the first row begins

  // The centre of the LED at (x, y).
  double CentreX(int x) const { return left + (x + 0.5) * pitch; }
  double CentreY(int y) const { return top + (y + 0.5) * pitch; }
};
LedGeometry FitLedBoard(int columns, int rows, double width, double height);

}  // namespace zielwerk

// The simulated display as a board of LEDs, laid out like the program's
// preview: the start station, the running window and the end station as
// three lines of text, the 160 x 14 picture below them, and the car number
// over the picture's left part.
#pragma once

#include <string_view>
#include <vector>

#include "picture/picture_bits.h"
#include "simulator/display_state.h"

namespace zielwerk {

inline constexpr int kLedBoardWidth = kDisplayPictureWidth;
inline constexpr int kLedTextLineHeight = 16;
inline constexpr int kLedStartLineTop = 0;
inline constexpr int kLedWindowLineTop = kLedTextLineHeight;
inline constexpr int kLedEndLineTop = 2 * kLedTextLineHeight;
inline constexpr int kLedPictureTop = 3 * kLedTextLineHeight + 2;
inline constexpr int kLedBoardHeight = kLedPictureTop + kDisplayPictureHeight;
// Where the car number stands over the picture, as in the program's preview.
inline constexpr int kLedCarNumberLeft = 33;

// Which LEDs of the board are lit. A plain value: boards compare equal when
// the same LEDs are lit.
class LedBoard {
 public:
  LedBoard() : lit_(static_cast<size_t>(kLedBoardWidth * kLedBoardHeight), 0) {}

  // False for a position outside the board.
  bool Lit(int x, int y) const {
    return Inside(x, y) && lit_[static_cast<size_t>(y * kLedBoardWidth + x)] != 0;
  }
  // Does nothing for a position outside the board.
  void Set(int x, int y, bool lit) {
    if (Inside(x, y)) lit_[static_cast<size_t>(y * kLedBoardWidth + x)] = lit ? 1 : 0;
  }

  friend bool operator==(const LedBoard&, const LedBoard&) = default;

 private:
  static bool Inside(int x, int y) {
    return x >= 0 && y >= 0 && x < kLedBoardWidth && y < kLedBoardHeight;
  }
  std::vector<unsigned char> lit_;
};

// Where the board's LEDs stand in an area of `width` x `height` pixels: the
// largest pitch at which the board and a border of one pitch all round fit,
// centred in the area.
struct LedGeometry {
  double pitch = 0;  // distance between the centres of two neighbouring LEDs
  double left = 0;   // where the first column begins
  double top = 0;    // where the first row begins

  // The centre of the LED at (x, y).
  double CentreX(int x) const { return left + (x + 0.5) * pitch; }
  double CentreY(int y) const { return top + (y + 0.5) * pitch; }
};
LedGeometry FitLedBoard(double width, double height);

// Lights the dots of `text` (UTF-8) on `board`, left-aligned from (left, top)
// in a line `height` dots high; dots beyond the line or the board are cut off.
// The text is drawn in a bold sans-serif face at the board's own resolution,
// each dot either lit or dark.
void DrawLedText(LedBoard& board, std::string_view text, int left, int top, int height);

// The board showing `state`: its stations and running window as it shows
// them now, its picture, and the car number with a dark margin of one dot
// over the picture unless the settings hide it.
LedBoard ComposeLedBoard(const DisplayState& state);

}  // namespace zielwerk

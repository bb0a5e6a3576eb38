// SPDX-License-Identifier: GPL-3.0-or-later
// The simulated display as a board of LEDs, laid out like the program's
// preview: the start station, the running window and the end station as
// three lines of text, the 160 x 14 picture below them, and the car number
// over the picture's left part.
#pragma once

#include <string_view>

#include "picture/led_board.h"
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

// The simulator's board with every LED dark.
inline LedBoard EmptyDisplayBoard() { return LedBoard(kLedBoardWidth, kLedBoardHeight); }

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

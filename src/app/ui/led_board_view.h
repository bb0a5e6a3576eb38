// SPDX-License-Identifier: GPL-3.0-or-later
// The car's display drawn as round LEDs on a dark panel: the one drawing of
// a LedBoard, used by the picture maker's preview and the display simulator.
#pragma once

#include <gtkmm/drawingarea.h>

#include "core/picture/led_board.h"

namespace zielwerk {

// Draws a LedBoard, scaled to the widget and centred, sharp at any size.
class LedBoardView : public Gtk::DrawingArea {
 public:
  // The widget asks for room for the board at `smallest_pitch` pixels per
  // LED (for a board of `columns` x `rows`) and takes any room it is given.
  LedBoardView(int columns, int rows, int smallest_pitch);
  // Shows `board`; redraws only when it differs from the board shown.
  void Show(const LedBoard& board);
  const LedBoard& board() const { return board_; }
  LedGeometry Geometry() const {
    return FitLedBoard(board_.columns(), board_.rows(), get_allocated_width(),
                       get_allocated_height());
  }

 protected:
  bool on_draw(const Cairo::RefPtr<Cairo::Context>& cr) override;

 private:
  // Draws every LED dark into dark_layer_ and lit into lit_layer_ for an
  // area of `width` x `height`.
  void MakeLayers(int width, int height);

  LedBoard board_;
  Cairo::RefPtr<Cairo::ImageSurface> lit_mask_;  // one byte per LED, 255 where lit
  Cairo::RefPtr<Cairo::Surface> dark_layer_;
  Cairo::RefPtr<Cairo::Surface> lit_layer_;
  int layer_width_ = 0;
  int layer_height_ = 0;
  int layer_columns_ = 0;
  int layer_rows_ = 0;
};

}  // namespace zielwerk

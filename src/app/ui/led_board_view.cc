// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/ui/led_board_view.h"

#include <numbers>

namespace zielwerk {
namespace {

struct Colour {
  double red, green, blue;
};
constexpr Colour kBackground{0.05, 0.05, 0.05};
constexpr Colour kPanel{0.09, 0.085, 0.08};
constexpr Colour kDarkLed{0.20, 0.15, 0.08};
constexpr Colour kLitLed{1.0, 0.70, 0.20};
constexpr double kLedRadius = 0.40;   // of the pitch
constexpr double kGlowRadius = 0.50;  // of the pitch: the glow fills the LED's cell
constexpr double kGlowAlpha = 0.30;

}  // namespace

LedBoardView::LedBoardView(int columns, int rows, int smallest_pitch)
    : board_(columns, rows) {
  set_size_request(smallest_pitch * (columns + 2), smallest_pitch * (rows + 2));
  set_hexpand(true);
  set_vexpand(true);
}

void LedBoardView::Show(const LedBoard& board) {
  if (board == board_ && lit_mask_) return;
  board_ = board;
  lit_mask_.clear();
  if (board_.columns() > 0) {
    lit_mask_ = Cairo::ImageSurface::create(Cairo::FORMAT_A8, board_.columns(), board_.rows());
    unsigned char* data = lit_mask_->get_data();
    const int stride = lit_mask_->get_stride();
    for (int y = 0; y < board_.rows(); ++y) {
      for (int x = 0; x < board_.columns(); ++x) data[y * stride + x] = board_.Lit(x, y) ? 255 : 0;
    }
    lit_mask_->mark_dirty();
  }
  queue_draw();
}

void LedBoardView::MakeLayers(int width, int height) {
  layer_width_ = width;
  layer_height_ = height;
  layer_columns_ = board_.columns();
  layer_rows_ = board_.rows();
  dark_layer_ = get_window()->create_similar_surface(Cairo::CONTENT_COLOR, width, height);
  lit_layer_ = get_window()->create_similar_surface(Cairo::CONTENT_COLOR_ALPHA, width, height);
  const LedGeometry geometry = Geometry();
  const double pitch = geometry.pitch;

  const Cairo::RefPtr<Cairo::Context> dark = Cairo::Context::create(dark_layer_);
  dark->set_source_rgb(kBackground.red, kBackground.green, kBackground.blue);
  dark->paint();
  if (pitch <= 0) return;
  // The panel the LEDs sit on, half a pitch wider than the board all round.
  const double x0 = geometry.left - pitch / 2, y0 = geometry.top - pitch / 2;
  const double x1 = geometry.left + (layer_columns_ + 0.5) * pitch;
  const double y1 = geometry.top + (layer_rows_ + 0.5) * pitch;
  const double corner = pitch;
  dark->begin_new_sub_path();
  dark->arc(x1 - corner, y0 + corner, corner, -std::numbers::pi / 2, 0);
  dark->arc(x1 - corner, y1 - corner, corner, 0, std::numbers::pi / 2);
  dark->arc(x0 + corner, y1 - corner, corner, std::numbers::pi / 2, std::numbers::pi);
  dark->arc(x0 + corner, y0 + corner, corner, std::numbers::pi, 3 * std::numbers::pi / 2);
  dark->close_path();
  dark->set_source_rgb(kPanel.red, kPanel.green, kPanel.blue);
  dark->fill();

  const auto add_leds = [&](const Cairo::RefPtr<Cairo::Context>& cr, double radius) {
    for (int y = 0; y < layer_rows_; ++y) {
      for (int x = 0; x < layer_columns_; ++x) {
        cr->move_to(geometry.CentreX(x) + radius, geometry.CentreY(y));
        cr->arc(geometry.CentreX(x), geometry.CentreY(y), radius, 0, 2 * std::numbers::pi);
      }
    }
  };
  add_leds(dark, kLedRadius * pitch);
  dark->set_source_rgb(kDarkLed.red, kDarkLed.green, kDarkLed.blue);
  dark->fill();

  const Cairo::RefPtr<Cairo::Context> lit = Cairo::Context::create(lit_layer_);
  add_leds(lit, kGlowRadius * pitch);
  lit->set_source_rgba(kLitLed.red, kLitLed.green, kLitLed.blue, kGlowAlpha);
  lit->fill();
  add_leds(lit, kLedRadius * pitch);
  lit->set_source_rgb(kLitLed.red, kLitLed.green, kLitLed.blue);
  lit->fill();
}

// Drawing thousands of circles takes far longer than a frame, so every LED
// is drawn once per size, dark into one layer and lit into another; a redraw
// shows the dark layer and, through a mask of one dot per LED scaled up to
// the LEDs' cells, the lit layer where the board is lit.
bool LedBoardView::on_draw(const Cairo::RefPtr<Cairo::Context>& cr) {
  const int width = get_allocated_width(), height = get_allocated_height();
  if (!dark_layer_ || width != layer_width_ || height != layer_height_ ||
      board_.columns() != layer_columns_ || board_.rows() != layer_rows_) {
    MakeLayers(width, height);
  }
  cr->set_source(dark_layer_, 0, 0);
  cr->paint();
  const LedGeometry geometry = Geometry();
  if (geometry.pitch <= 0 || !lit_mask_) return true;

  const Cairo::RefPtr<Cairo::SurfacePattern> mask = Cairo::SurfacePattern::create(lit_mask_);
  Cairo::Matrix to_mask = Cairo::scaling_matrix(1 / geometry.pitch, 1 / geometry.pitch);
  to_mask.translate(-geometry.left, -geometry.top);
  mask->set_matrix(to_mask);
  mask->set_filter(Cairo::FILTER_NEAREST);
  cr->set_source(lit_layer_, 0, 0);
  cr->mask(mask);
  return true;
}

}  // namespace zielwerk

// SPDX-License-Identifier: GPL-3.0-or-later
#include "simulator/display_board.h"

#include <algorithm>

#include "text/cairo_pointers.h"

namespace zielwerk {
namespace {

constexpr const char* kLedFontFamily = "DejaVu Sans";
constexpr int kLedFontPixels = 13;
// The baseline sits this many dots above the bottom of a text line, leaving
// room for descenders.
constexpr int kLedDescent = 3;

}  // namespace

void DrawLedText(LedBoard& board, std::string_view text, int left, int top, int height) {
  const int width = board.columns() - left;
  if (text.empty() || width <= 0 || height <= 0) return;
  SurfacePtr surface(cairo_image_surface_create(CAIRO_FORMAT_A8, width, height));
  CairoPtr cr(cairo_create(surface.get()));
  if (cairo_status(cr.get()) != CAIRO_STATUS_SUCCESS) return;

  // Every dot is either on or off, as on the display: no grey edges, and the
  // outlines hinted onto the dot grid so strokes stay whole dots wide.
  cairo_font_options_t* options = cairo_font_options_create();
  cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_NONE);
  cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_FULL);
  cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_ON);
  PangoLayoutPtr layout(pango_cairo_create_layout(cr.get()));
  pango_cairo_context_set_font_options(pango_layout_get_context(layout.get()), options);
  cairo_font_options_destroy(options);
  pango_layout_context_changed(layout.get());

  FontDescriptionPtr font(pango_font_description_new());
  pango_font_description_set_family_static(font.get(), kLedFontFamily);
  pango_font_description_set_weight(font.get(), PANGO_WEIGHT_BOLD);
  pango_font_description_set_absolute_size(font.get(), kLedFontPixels * PANGO_SCALE);
  pango_layout_set_font_description(layout.get(), font.get());
  pango_layout_set_single_paragraph_mode(layout.get(), TRUE);
  pango_layout_set_text(layout.get(), text.data(), static_cast<int>(text.size()));

  const int baseline = pango_layout_get_baseline(layout.get()) / PANGO_SCALE;
  cairo_move_to(cr.get(), 0, height - kLedDescent - baseline);
  pango_cairo_show_layout(cr.get(), layout.get());
  cairo_surface_flush(surface.get());

  const unsigned char* data = cairo_image_surface_get_data(surface.get());
  const int stride = cairo_image_surface_get_stride(surface.get());
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      if (data[y * stride + x] >= 128) board.Set(left + x, top + y, true);
    }
  }
}

LedBoard ComposeLedBoard(const DisplayState& state) {
  LedBoard board = EmptyDisplayBoard();
  const PreviewStations stations = state.Stations();
  DrawLedText(board, stations.start_text, 0, kLedStartLineTop, kLedTextLineHeight);
  DrawLedText(board, state.window(), 0, kLedWindowLineTop, kLedTextLineHeight);
  DrawLedText(board, stations.end_text, 0, kLedEndLineTop, kLedTextLineHeight);
  for (int y = 0; y < kDisplayPictureHeight; ++y) {
    for (int x = 0; x < kDisplayPictureWidth; ++x) {
      board.Set(x, kLedPictureTop + y, state.PictureDot(x, y));
    }
  }

  const std::string car_number = state.CarNumberText();
  if (!car_number.empty()) {
    LedBoard number = EmptyDisplayBoard();
    DrawLedText(number, car_number, kLedCarNumberLeft, kLedPictureTop, kDisplayPictureHeight);
    int left = kLedBoardWidth, right = -1, top = kLedBoardHeight, bottom = -1;
    for (int y = kLedPictureTop; y < kLedBoardHeight; ++y) {
      for (int x = kLedCarNumberLeft; x < kLedBoardWidth; ++x) {
        if (!number.Lit(x, y)) continue;
        left = std::min(left, x), right = std::max(right, x);
        top = std::min(top, y), bottom = std::max(bottom, y);
      }
    }
    // A dark margin of one dot round the digits keeps them readable over a
    // lit picture.
    for (int y = top - 1; y <= bottom + 1; ++y) {
      for (int x = left - 1; x <= right + 1; ++x) {
        if (y >= kLedPictureTop) board.Set(x, y, number.Lit(x, y));
      }
    }
  }
  return board;
}

}  // namespace zielwerk

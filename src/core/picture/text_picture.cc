// SPDX-License-Identifier: GPL-3.0-or-later
#include "picture/text_picture.h"

#include <algorithm>
#include <string>

#include "picture/picture_bits.h"
#include "text/cairo_pointers.h"
#include "text/utf8.h"

namespace zielwerk {
namespace {

// The largest font size tried, in pixels: a text of dashes set 14 rows high
// would otherwise grow without end.
constexpr int kLargestTextPixels = 512;
// The size at which a text is first measured, in pixels.
constexpr int kReferencePixels = 100;
// Room round the inked part that Pango reports, for the few pixels the
// hinted outlines may reach beyond it.
constexpr int kMargin = 4;
// Coverage (of 255) below which a pixel does not count as inked: it could
// only light at a threshold near white.
constexpr int kInkedCoverage = 16;

std::string OneLine(std::string_view text) {
  std::string line = SanitizeUtf8(text.substr(0, kMaxPictureTextBytes));
  // Cutting may have split the last character; the repair made it U+FFFD.
  if (text.size() > kMaxPictureTextBytes && line.ends_with("\xEF\xBF\xBD")) line.resize(line.size() - 3);
  for (char& c : line) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = ' ';
  }
  return line;
}

// The layout drawn at `size` (Pango units), cut to its inked part; empty
// when nothing is inked or cairo cannot make the surface.
GreyPicture DrawInked(PangoLayout* layout, PangoFontDescription* font, int size) {
  pango_font_description_set_absolute_size(font, size);
  pango_layout_set_font_description(layout, font);
  PangoRectangle ink;
  pango_layout_get_pixel_extents(layout, &ink, nullptr);
  if (ink.width <= 0 || ink.height <= 0) return {};
  const int width = ink.width + 2 * kMargin, height = ink.height + 2 * kMargin;
  SurfacePtr surface(cairo_image_surface_create(CAIRO_FORMAT_A8, width, height));
  CairoPtr cr(cairo_create(surface.get()));
  if (cairo_status(cr.get()) != CAIRO_STATUS_SUCCESS) return {};
  cairo_move_to(cr.get(), kMargin - ink.x, kMargin - ink.y);
  pango_cairo_show_layout(cr.get(), layout);
  cairo_surface_flush(surface.get());

  const unsigned char* data = cairo_image_surface_get_data(surface.get());
  const int stride = cairo_image_surface_get_stride(surface.get());
  int left = width, right = -1, top = height, bottom = -1;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      if (data[y * stride + x] < kInkedCoverage) continue;
      left = std::min(left, x), right = std::max(right, x);
      top = std::min(top, y), bottom = std::max(bottom, y);
    }
  }
  GreyPicture picture;
  if (right < 0) return picture;
  picture.width = right - left + 1;
  picture.height = bottom - top + 1;
  picture.brightness.reserve(static_cast<size_t>(picture.width) * static_cast<size_t>(picture.height));
  for (int y = top; y <= bottom; ++y) {
    for (int x = left; x <= right; ++x) picture.brightness.push_back(255.0f - data[y * stride + x]);
  }
  return picture;
}

}  // namespace

GreyPicture SetTextAsPicture(std::string_view text, std::string_view font, PictureFit fit) {
  const std::string line = OneLine(text);
  if (TrimBlanks(line).empty()) return {};
  SurfacePtr probe(cairo_image_surface_create(CAIRO_FORMAT_A8, 1, 1));
  CairoPtr cr(cairo_create(probe.get()));
  if (cairo_status(cr.get()) != CAIRO_STATUS_SUCCESS) return {};
  PangoLayoutPtr layout(pango_cairo_create_layout(cr.get()));
  // Smooth edges, which the threshold then makes thinner or bolder; outlines
  // hinted only vertically, so horizontal strokes fall on whole rows at
  // every size tried.
  FontOptionsPtr options(cairo_font_options_create());
  cairo_font_options_set_antialias(options.get(), CAIRO_ANTIALIAS_GRAY);
  cairo_font_options_set_hint_style(options.get(), CAIRO_HINT_STYLE_SLIGHT);
  cairo_font_options_set_hint_metrics(options.get(), CAIRO_HINT_METRICS_OFF);
  pango_cairo_context_set_font_options(pango_layout_get_context(layout.get()), options.get());
  pango_layout_context_changed(layout.get());
  const std::string font_name(font);
  FontDescriptionPtr description(pango_font_description_from_string(font_name.c_str()));
  pango_layout_set_single_paragraph_mode(layout.get(), TRUE);
  pango_layout_set_text(layout.get(), line.data(), static_cast<int>(line.size()));

  const bool limit_height = fit != PictureFit::kWidth, limit_width = fit != PictureFit::kHeight;
  const auto fits = [&](const GreyPicture& picture) {
    return picture.width > 0 && (!limit_height || picture.height <= kDisplayPictureHeight) &&
           (!limit_width || picture.width <= kDisplayPictureWidth);
  };
  // The inked sides grow in proportion to the size, give or take a row where
  // hinting snaps: one measurement at a reference size points near the size
  // wanted, and halving a range round it finds the largest that fits in a
  // few drawings, in steps of 1/16 pixel.
  pango_font_description_set_absolute_size(description.get(), kReferencePixels * PANGO_SCALE);
  pango_layout_set_font_description(layout.get(), description.get());
  PangoRectangle ink;
  pango_layout_get_pixel_extents(layout.get(), &ink, nullptr);
  if (ink.width <= 0 || ink.height <= 0) return {};
  const double reference = kReferencePixels;
  double estimate = kLargestTextPixels;
  if (limit_height) estimate = std::min(estimate, reference * kDisplayPictureHeight / ink.height);
  if (limit_width) estimate = std::min(estimate, reference * kDisplayPictureWidth / ink.width);
  int small = std::clamp(static_cast<int>(estimate * 0.8 * PANGO_SCALE), PANGO_SCALE, kLargestTextPixels * PANGO_SCALE);
  int large = std::clamp(static_cast<int>(estimate * 1.25 * PANGO_SCALE), small, kLargestTextPixels * PANGO_SCALE);
  GreyPicture best = DrawInked(layout.get(), description.get(), small);
  while (!fits(best) && small > PANGO_SCALE) {
    large = small;
    small = std::max(PANGO_SCALE, small / 2);
    best = DrawInked(layout.get(), description.get(), small);
  }
  if (!fits(best)) {
    // Too long to fit the width at any size: it is set to the height
    // instead, and the user moves it along.
    return limit_width ? SetTextAsPicture(text, font, PictureFit::kHeight) : GreyPicture{};
  }
  if (GreyPicture drawn = DrawInked(layout.get(), description.get(), large); fits(drawn)) {
    // The estimate was low; the rest of the range up to the largest size is searched.
    small = large;
    best = std::move(drawn);
    large = kLargestTextPixels * PANGO_SCALE;
  }
  while (large - small > PANGO_SCALE / 16) {
    const int middle = small + (large - small) / 2;
    GreyPicture drawn = DrawInked(layout.get(), description.get(), middle);
    if (fits(drawn)) {
      small = middle;
      best = std::move(drawn);
    } else {
      large = middle;
    }
  }
  return best;
}

}  // namespace zielwerk

// SPDX-License-Identifier: GPL-3.0-or-later
#include "print/settings_page.h"

#include <pango/pangocairo.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "ini/ini_store.h"
#include "settings/settings_keys.h"
#include "text/cairo_pointers.h"
#include "text/font_families.h"
#include "text/utf8.h"

namespace zielwerk {
namespace {

constexpr std::string_view kCarNumberShownWords = " anzeigen, NICHT anzeigen";

constexpr double kTextDpi = 96.0;
constexpr int kScaleSize = 2;
constexpr int kHeadingSize = 10;
constexpr int kTextSize = 6;
constexpr double kTextX = 20.0;
constexpr double kParagraphWidth = 170.0;
constexpr double kParagraphHeight = 20.0;

constexpr double kPictureX = 20.0;
constexpr double kPictureY = 238.0;
constexpr double kPictureWidth = 80.0;
constexpr double kPictureHeight = 7.0;
// Below this many millimetres per picture pixel the picture is resampled
// smoothly; above it each pixel prints as a sharp block.
constexpr double kSharpPixelMm = 0.25;

// A Pango context that lays out the same way on every target: 96 dpi inside
// the caller's millimetre space, and metrics neither hinted nor rounded (the
// default rounding would snap every glyph to whole user units, here whole
// millimetres).
PangoContextPtr CreatePageContext(cairo_t* cr) {
  PangoContextPtr context(pango_cairo_create_context(cr));
  pango_cairo_context_set_resolution(context.get(), kTextDpi);
  pango_context_set_round_glyph_positions(context.get(), FALSE);
  cairo_font_options_t* options = cairo_font_options_create();
  cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
  cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_NONE);
  pango_cairo_context_set_font_options(context.get(), options);
  cairo_font_options_destroy(options);
  return context;
}

void DrawText(cairo_t* cr, PangoContext* context, const PageText& text) {
  PangoLayoutPtr layout(pango_layout_new(context));
  FontDescriptionPtr font(pango_font_description_new());
  pango_font_description_set_family_static(font.get(), kPrintFontFamilies);
  pango_font_description_set_style(font.get(), PANGO_STYLE_NORMAL);
  pango_font_description_set_weight(font.get(), PANGO_WEIGHT_NORMAL);
  pango_font_description_set_size(font.get(), text.size * PANGO_SCALE);
  pango_layout_set_font_description(layout.get(), font.get());
  if (text.kind == PageTextKind::kParagraph) {
    // A positive height limits the whole layout (a negative one would count
    // lines per paragraph); the last line that fits takes the rest of the text
    // and ends in an ellipsis.
    pango_layout_set_width(layout.get(), pango_units_from_double(kParagraphWidth));
    pango_layout_set_height(layout.get(), pango_units_from_double(kParagraphHeight));
    pango_layout_set_wrap(layout.get(), PANGO_WRAP_WORD);
    pango_layout_set_ellipsize(layout.get(), PANGO_ELLIPSIZE_END);
  }
  pango_layout_set_text(layout.get(), text.text.data(), static_cast<int>(text.text.size()));
  cairo_move_to(cr, text.x_mm, text.y_mm);
  pango_cairo_show_layout(cr, layout.get());
}

bool HoldsPixels(const TrainPicture& picture) {
  constexpr int kMaxSide = 32767;  // cairo's limit for image surfaces
  if (picture.width <= 0 || picture.height <= 0) return false;
  if (picture.width > kMaxSide || picture.height > kMaxSide) return false;
  const size_t needed =
      static_cast<size_t>(picture.width) * static_cast<size_t>(picture.height) * 4;
  return picture.rgba.size() >= needed;
}

// The picture as an opaque cairo surface, each pixel composited over white by
// its alpha; null when cairo cannot hold it.
SurfacePtr OpaqueSurface(const TrainPicture& picture) {
  SurfacePtr surface(
      cairo_image_surface_create(CAIRO_FORMAT_RGB24, picture.width, picture.height));
  if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS) return nullptr;
  cairo_surface_flush(surface.get());
  unsigned char* data = cairo_image_surface_get_data(surface.get());
  const int stride = cairo_image_surface_get_stride(surface.get());
  for (int y = 0; y < picture.height; ++y) {
    auto* row = reinterpret_cast<uint32_t*>(data + static_cast<ptrdiff_t>(y) * stride);
    for (int x = 0; x < picture.width; ++x) {
      const uint8_t* pixel = picture.Pixel(x, y);
      const uint32_t alpha = pixel[3];
      uint32_t rgb = 0;
      for (int channel = 0; channel < 3; ++channel) {
        const uint32_t value = (pixel[channel] * alpha + 255 * (255 - alpha) + 127) / 255;
        rgb = (rgb << 8) | value;
      }
      row[x] = rgb;
    }
  }
  cairo_surface_mark_dirty(surface.get());
  return surface;
}

void DrawPicture(cairo_t* cr, const TrainPicture& picture) {
  if (!HoldsPixels(picture)) return;
  SurfacePtr surface = OpaqueSurface(picture);
  if (!surface) return;
  const double scale_x = kPictureWidth / picture.width;
  const double scale_y = kPictureHeight / picture.height;
  cairo_save(cr);
  cairo_translate(cr, kPictureX, kPictureY);
  cairo_scale(cr, scale_x, scale_y);
  cairo_set_source_surface(cr, surface.get(), 0, 0);
  cairo_pattern_t* pattern = cairo_get_source(cr);
  // The train pictures are LED-matrix pixel art: smoothing would blur them
  // into grey. A large picture shrunk to the box is resampled properly.
  const bool sharp = scale_x >= kSharpPixelMm && scale_y >= kSharpPixelMm;
  cairo_pattern_set_filter(pattern, sharp ? CAIRO_FILTER_NEAREST : CAIRO_FILTER_GOOD);
  cairo_pattern_set_extend(pattern, CAIRO_EXTEND_PAD);
  cairo_rectangle(cr, 0, 0, picture.width, picture.height);
  cairo_fill(cr);
  cairo_restore(cr);
}

}  // namespace

SettingsPageValues ReadSettingsPageValues(const std::string& settings_path) {
  SettingsPageValues values;
  values.settings_path = settings_path;
  OpenIni(settings_path);
  values.dcc_analog = ReadIniInteger(kKeyDccAnalog, values.dcc_analog);
  values.dcc_address = ReadIniText(kKeyDccAddress, values.dcc_address);
  values.start_station = ReadIniText(kKeyStartStation, values.start_station);
  values.start_mode = ReadIniInteger(kKeyStartMode, values.start_mode);
  values.start_time = ReadIniText(kKeyStartTime, values.start_time);
  values.scroll_text = ReadIniText(kKeyScrollText, values.scroll_text);
  values.end_station = ReadIniText(kKeyEndStation, values.end_station);
  values.end_mode = ReadIniInteger(kKeyEndMode, values.end_mode);
  values.end_time = ReadIniText(kKeyEndTime, values.end_time);
  values.train_type = ReadIniInteger(kKeyTrainType, values.train_type);
  values.picture_path = ReadIniFileName(kKeyPicture, values.picture_path);
  values.car_number = ReadIniInteger(kKeyCarNumber, values.car_number);
  values.hide_car_number = ReadIniInteger(kKeyHideCarNumber, values.hide_car_number);
  CloseIni();
  return values;
}

std::string WordFromList(std::string_view comma_list, int64_t n) {
  if (n < 0) return {};
  size_t start = 0;
  for (int64_t field = 0; field < n; ++field) {
    const size_t comma = comma_list.find(',', start);
    if (comma == std::string_view::npos) return {};
    start = comma + 1;
  }
  const size_t end = comma_list.find(',', start);
  return std::string(comma_list.substr(start, end == std::string_view::npos ? end : end - start));
}

namespace {

// The entries of a selection list as one comma-separated list; the page
// names the two modes in small letters.
template <size_t N>
std::string CommaList(const std::array<std::string_view, N>& entries, bool small_letters) {
  std::string list;
  for (std::string_view entry : entries) {
    if (!list.empty()) list += ',';
    list += entry;
  }
  if (small_letters) {
    for (char& c : list) {
      if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
  }
  return list;
}

}  // namespace

std::vector<PageText> SettingsPageTexts(const SettingsPageValues& values) {
  static const std::string dcc_analog_words = CommaList(kDccAnalogEntries, false);
  static const std::string start_mode_words = CommaList(kStartModeEntries, true);
  static const std::string end_mode_words = CommaList(kEndModeEntries, true);
  static const std::string train_type_words = CommaList(kTrainTypeEntries, false);
  std::vector<PageText> texts;
  for (int i = 1; i <= 27; ++i) {
    texts.push_back({10.0, 10.0 * i, kScaleSize, PageTextKind::kLine, std::to_string(10 * i)});
  }
  texts.push_back({kTextX, 20, kHeadingSize, PageTextKind::kLine, "Zielwerk"});

  const auto line = [&texts](double y, std::string text) {
    texts.push_back({kTextX, y, kTextSize, PageTextKind::kLine, SanitizeUtf8(text)});
  };
  const auto paragraph = [&texts](double y, std::string text) {
    texts.push_back({kTextX, y, kTextSize, PageTextKind::kParagraph, SanitizeUtf8(text)});
  };
  // Where the page's label is the key's own name, the key supplies it.
  const auto label = [](std::string_view key) { return std::string(key) + ": "; };
  paragraph(40, "Parameterdatei:\n" + values.settings_path);
  line(70, label(kKeyDccAnalog) + WordFromList(dcc_analog_words, values.dcc_analog));
  line(85, label(kKeyDccAddress) + values.dcc_address);
  line(100, label(kKeyStartStation) + values.start_station);
  line(108, "Anzeigemodus: " + WordFromList(start_mode_words, values.start_mode));
  line(116, "Anzeigedauer: " + values.start_time + "ms");
  paragraph(132, "Scrolltext:\n" + values.scroll_text);
  line(160, label(kKeyEndStation) + values.end_station);
  line(168, "Anzeigemodus: " + WordFromList(end_mode_words, values.end_mode));
  line(176, "Anzeigedauer: " + values.end_time + "ms");
  line(195, label(kKeyTrainType) + WordFromList(train_type_words, values.train_type));
  paragraph(215, "Bild individueller Zugtyp:\n" + values.picture_path);
  line(252, label(kKeyCarNumber) + std::to_string(values.car_number) + " " +
                WordFromList(kCarNumberShownWords, values.hide_car_number));
  return texts;
}

void DrawSettingsPage(cairo_t* cr, const SettingsPageValues& values, const TrainPicture* picture) {
  if (cr == nullptr) return;
  cairo_save(cr);
  cairo_set_source_rgb(cr, 0, 0, 0);
  PangoContextPtr context = CreatePageContext(cr);
  for (const PageText& text : SettingsPageTexts(values)) DrawText(cr, context.get(), text);
  if (picture != nullptr) DrawPicture(cr, *picture);
  cairo_restore(cr);
}

}  // namespace zielwerk

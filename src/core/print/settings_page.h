// SPDX-License-Identifier: GPL-3.0-or-later
// The printed settings page: the values a settings file holds, put into words
// and drawn with cairo and Pango in millimetres. Nothing here knows of a print
// dialog; the dialog hands its page's cairo context to DrawSettingsPage.
#pragma once

#include <cairo.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "picture/train_picture.h"
#include "settings/settings_keys.h"

namespace zielwerk {

// What the page prints, as read from a settings file. The member defaults are
// the page's own (a missing key prints "-", "0" or "kein Bild geladen"), not
// the form's. Texts are as read; the two paths are file names with their
// bytes as stored (the print command puts them into GLib's display form).
// The page makes every text valid UTF-8 itself.
struct SettingsPageValues {
  std::string settings_path;
  int64_t dcc_analog = 0;
  std::string dcc_address = "-";
  std::string start_station = "-";
  int64_t start_mode = 0;
  std::string start_time = "0";
  std::string scroll_text = "-";
  std::string end_station = "-";
  int64_t end_mode = 0;
  std::string end_time = "0";
  int64_t train_type = 0;
  std::string picture_path{MessageText(Message::kNoPictureLoaded)};
  int64_t car_number = 0;
  int64_t hide_car_number = 0;
};

// Reads the settings file at `settings_path` through the INI store (opening
// and closing it; nothing is written, so the file stays byte for byte as it
// was). A missing or unreadable file gives the page's defaults.
SettingsPageValues ReadSettingsPageValues(const std::string& settings_path);

// Field n (counting from 0) of a comma-separated list, blanks included; the
// empty word when n is negative or past the end of the list.
std::string WordFromList(std::string_view comma_list, int64_t n);

enum class PageTextKind {
  kLine,       // one line, never wrapped
  kParagraph,  // broken at words into the 170 x 20 mm box, cut with an ellipsis
};

// One text of the page: the top left corner of its box in millimetres, its
// font size in points (see DrawSettingsPage) and its UTF-8 text.
struct PageText {
  double x_mm = 0;
  double y_mm = 0;
  int size = 0;
  PageTextKind kind = PageTextKind::kLine;
  std::string text;
};

// Every text of the page in drawing order: the scale, the heading, the file's
// path and the settings in words. Texts are valid UTF-8 (ill-formed bytes of
// a value or path become U+FFFD).
std::vector<PageText> SettingsPageTexts(const SettingsPageValues& values);

// Draws the page onto `cr`, whose user space must already be in millimetres
// with the origin at the paper's top left corner, x right and y down (GTK:
// unit GTK_UNIT_MM with use-full-page). Texts are black "Arial" (or the font
// system's substitute); Pango lays them out at 96 dpi inside the millimetre
// space, so size s gives an em of s * 96 / 72 mm whatever the target. The
// slot-3 picture, if `picture` is not null and holds pixels, is stretched to
// 80 x 7 mm at (20, 238) and composited over white, so it always prints as an
// opaque block. The state of `cr` is restored before returning.
void DrawSettingsPage(cairo_t* cr, const SettingsPageValues& values, const TrainPicture* picture);

}  // namespace zielwerk

// SPDX-License-Identifier: GPL-3.0-or-later
// Draws the files that Zielwerk expects in its working directory: the eleven
// toolbar and menu icons under Icons/ and the three standard train pictures.
//
//   usage: draw_assets <output-data-dir>
//          draw_assets --ico <output.ico> <picture.png>...
//          draw_assets --combo-arrow <output.symbolic.png>
//
// The icons are 24 x 24 anti-aliased pictograms with alpha, written as PNG by
// cairo, and for the Windows build once more as ICO files of the same name
// that hold the same PNG. The train pictures are 160 x 14 side views of a
// passenger car drawn pixel by pixel and written as uncompressed bottom-up
// 24-bit BMP files. The --ico form packs PNG files of any sizes into one ICO
// file (the application icon for Windows). The --combo-arrow form draws the
// arrow of the form's combo boxes, which is built into the program.
#include <cairo.h>

#include <cmath>
#include <cstdint>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "core/picture/bmp_writer.h"
#include "core/picture/icon_file.h"
#include "core/picture/picture_slots.h"
#include "core/picture/picture_bits.h"

namespace zielwerk {
namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr int kIconSize = 24;
constexpr int kPictureWidth = kDisplayPictureWidth;
constexpr int kPictureHeight = kDisplayPictureHeight;

struct Rgb {
  double r;
  double g;
  double b;
};

constexpr Rgb Hex(std::uint32_t rgb) {
  return {((rgb >> 16) & 0xFF) / 255.0, ((rgb >> 8) & 0xFF) / 255.0, (rgb & 0xFF) / 255.0};
}

// ---------------------------------------------------------------------------
// Icons
// ---------------------------------------------------------------------------

// Every icon shape is a vertical gradient from `light` to `base`, outlined with
// a one-pixel line in `dark`.
struct Shade {
  Rgb light;
  Rgb base;
  Rgb dark;
};

constexpr Rgb kInk = Hex(0x2e3436);
constexpr Rgb kWhite = Hex(0xffffff);
constexpr Shade kPaper{Hex(0xffffff), Hex(0xe6e7e3), Hex(0x73766f)};
constexpr Shade kMetal{Hex(0xeeeeec), Hex(0xb4b7b0), Hex(0x555753)};
constexpr Shade kBlue{Hex(0x8cb4e0), Hex(0x3465a4), Hex(0x1d3f73)};
constexpr Shade kGreen{Hex(0x9be24a), Hex(0x4e9a06), Hex(0x2b5a03)};
constexpr Shade kRed{Hex(0xf25555), Hex(0xcc0000), Hex(0x7a0000)};
constexpr Shade kFolderBack{Hex(0xf0d84a), Hex(0xc4a000), Hex(0x7d6600)};
constexpr Shade kFolderFront{Hex(0xfff28a), Hex(0xedd400), Hex(0x7d6600)};
constexpr Shade kWood{Hex(0xe9b96e), Hex(0xb8781a), Hex(0x63400a)};
constexpr Shade kOrange{Hex(0xfcc16a), Hex(0xf57900), Hex(0x8c4500)};
constexpr Shade kDisplay{Hex(0x3e4446), Hex(0x1c2022), Hex(0x0b0d0e)};
constexpr Rgb kSky = Hex(0xbcd8f2);
constexpr Rgb kSkyLow = Hex(0x83b0de);
constexpr Rgb kSun = Hex(0xfce94f);
constexpr Rgb kLed = Hex(0xffb43c);
constexpr Rgb kTextLine = Hex(0x9aa9ba);

constexpr double kStroke = 1.0;

void SetColor(cairo_t* cr, Rgb c) { cairo_set_source_rgb(cr, c.r, c.g, c.b); }

void RoundedRectPath(cairo_t* cr, double x, double y, double w, double h, double r) {
  cairo_new_sub_path(cr);
  cairo_arc(cr, x + w - r, y + r, r, -kPi / 2, 0);
  cairo_arc(cr, x + w - r, y + h - r, r, 0, kPi / 2);
  cairo_arc(cr, x + r, y + h - r, r, kPi / 2, kPi);
  cairo_arc(cr, x + r, y + r, r, kPi, 3 * kPi / 2);
  cairo_close_path(cr);
}

void PolygonPath(cairo_t* cr, std::initializer_list<std::pair<double, double>> points) {
  cairo_new_path(cr);
  for (const auto& [x, y] : points) cairo_line_to(cr, x, y);
  cairo_close_path(cr);
}

// Fills the current path with the shade's gradient between y0 and y1, strokes
// it with the shade's outline and clears the path.
void FillShaded(cairo_t* cr, const Shade& shade, double y0, double y1) {
  cairo_pattern_t* gradient = cairo_pattern_create_linear(0, y0, 0, y1);
  cairo_pattern_add_color_stop_rgb(gradient, 0, shade.light.r, shade.light.g, shade.light.b);
  cairo_pattern_add_color_stop_rgb(gradient, 1, shade.base.r, shade.base.g, shade.base.b);
  cairo_set_source(cr, gradient);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(gradient);
  SetColor(cr, shade.dark);
  cairo_set_line_width(cr, kStroke);
  cairo_stroke(cr);
}

// Erases a one-pixel margin around the current path (keeping the path), so a
// badge laid over another shape stands apart from it.
void CutOut(cairo_t* cr) {
  cairo_save(cr);
  cairo_set_operator(cr, CAIRO_OPERATOR_CLEAR);
  cairo_set_line_width(cr, 3.0);
  cairo_stroke_preserve(cr);
  cairo_fill_preserve(cr);
  cairo_restore(cr);
}

// A block arrow 12 pixels long centred on (cx, cy); angle 0 points up,
// kPi / 2 points right.
void DrawArrow(cairo_t* cr, double cx, double cy, double angle, const Shade& shade) {
  cairo_save(cr);
  cairo_translate(cr, cx, cy);
  cairo_rotate(cr, angle);
  PolygonPath(cr, {{0, -6}, {5.5, 0}, {2.5, 0}, {2.5, 6}, {-2.5, 6}, {-2.5, 0}, {-5.5, 0}});
  CutOut(cr);
  FillShaded(cr, shade, -6, 6);
  cairo_restore(cr);
}

// The upload badge shared by the three transfer icons: a green arrow pointing
// up in the lower right corner.
void DrawUploadBadge(cairo_t* cr) { DrawArrow(cr, 18, 16.5, 0, kGreen); }

// An open folder filling the pixel box (x, y, w, h).
void DrawOpenFolder(cairo_t* cr, int x, int y, int w, int h) {
  const double left = x + 0.5;
  const double top = y + 0.5;
  const double right = x + w - 0.5;
  const double bottom = y + h - 0.5;
  const double tab = std::round(w * 0.3);
  const double flap_top = top + std::round(h * 0.4);

  PolygonPath(cr, {{left, top},
                   {left + tab, top},
                   {left + tab + 2, top + 2},
                   {right - 3, top + 2},
                   {right - 3, bottom},
                   {left, bottom}});
  CutOut(cr);
  FillShaded(cr, kFolderBack, top, bottom);

  cairo_rectangle(cr, left + 2, top + 4, w - 8, flap_top - top - 3);
  FillShaded(cr, kPaper, top + 4, flap_top);

  PolygonPath(cr, {{left + 3, flap_top}, {right, flap_top}, {right - 3, bottom}, {left, bottom}});
  FillShaded(cr, kFolderFront, flap_top, bottom);
}

// A framed landscape photo filling the pixel box (x, y, w, h).
void DrawPhoto(cairo_t* cr, int x, int y, int w, int h) {
  cairo_rectangle(cr, x + 0.5, y + 0.5, w - 1, h - 1);
  FillShaded(cr, kPaper, y, y + h);

  const double ix = x + 2;
  const double iy = y + 2;
  const double iw = w - 4;
  const double ih = h - 4;
  cairo_save(cr);
  cairo_rectangle(cr, ix, iy, iw, ih);
  cairo_clip(cr);
  cairo_pattern_t* sky = cairo_pattern_create_linear(0, iy, 0, iy + ih);
  cairo_pattern_add_color_stop_rgb(sky, 0, kSky.r, kSky.g, kSky.b);
  cairo_pattern_add_color_stop_rgb(sky, 1, kSkyLow.r, kSkyLow.g, kSkyLow.b);
  cairo_set_source(cr, sky);
  cairo_paint(cr);
  cairo_pattern_destroy(sky);

  cairo_arc(cr, ix + iw - 3.5, iy + 3, 1.8, 0, 2 * kPi);
  SetColor(cr, kSun);
  cairo_fill(cr);

  PolygonPath(cr, {{ix - 1, iy + ih + 1},
                   {ix + iw * 0.35, iy + ih * 0.3},
                   {ix + iw * 0.6, iy + ih * 0.7},
                   {ix + iw * 0.75, iy + ih * 0.5},
                   {ix + iw + 1, iy + ih + 1}});
  FillShaded(cr, kGreen, iy + ih * 0.3, iy + ih);
  // A snow cap on the higher peak.
  PolygonPath(cr, {{ix + iw * 0.35, iy + ih * 0.3},
                   {ix + iw * 0.35 - 2.2, iy + ih * 0.3 + 2.6},
                   {ix + iw * 0.35 + 2.0, iy + ih * 0.3 + 2.6}});
  SetColor(cr, kWhite);
  cairo_fill(cr);
  cairo_restore(cr);

  cairo_rectangle(cr, ix + 0.5, iy + 0.5, iw - 1, ih - 1);
  SetColor(cr, kPaper.dark);
  cairo_set_line_width(cr, kStroke);
  cairo_stroke(cr);
}

void DrawFloppy(cairo_t* cr) {
  auto body = [cr] {
    PolygonPath(cr, {{3.5, 3.5}, {18.5, 3.5}, {20.5, 5.5}, {20.5, 20.5}, {3.5, 20.5}});
  };
  body();
  FillShaded(cr, kBlue, 3, 21);

  cairo_rectangle(cr, 7.5, 3.5, 9, 6);
  FillShaded(cr, kMetal, 3, 10);
  cairo_rectangle(cr, 13, 5, 2, 3);
  SetColor(cr, kMetal.dark);
  cairo_fill(cr);

  cairo_rectangle(cr, 6.5, 12.5, 11, 8);
  FillShaded(cr, kPaper, 12, 21);
  SetColor(cr, kTextLine);
  cairo_set_line_width(cr, kStroke);
  for (double line_y : {15.5, 17.5}) {
    cairo_move_to(cr, 8.5, line_y);
    cairo_line_to(cr, 15.5, line_y);
  }
  cairo_stroke(cr);

  // The label shares the disk's lower edge; redraw the edge in the disk's colour.
  body();
  SetColor(cr, kBlue.dark);
  cairo_set_line_width(cr, kStroke);
  cairo_stroke(cr);
}

// A pencil whose point rests at (tip_x, tip_y), pointing to the lower left.
void DrawPencil(cairo_t* cr, double tip_x, double tip_y) {
  constexpr double kLength = 15;
  constexpr double kHalf = 2.2;
  cairo_save(cr);
  cairo_translate(cr, tip_x, tip_y);
  cairo_rotate(cr, -kPi / 4);

  PolygonPath(cr, {{-0.5, 0}, {4, -kHalf}, {kLength, -kHalf}, {kLength, kHalf}, {4, kHalf}});
  CutOut(cr);

  cairo_rectangle(cr, 4, -kHalf, kLength - 7, 2 * kHalf);
  FillShaded(cr, kOrange, -kHalf, kHalf);
  cairo_rectangle(cr, kLength - 3, -kHalf, 3, 2 * kHalf);
  FillShaded(cr, kMetal, -kHalf, kHalf);

  PolygonPath(cr, {{0, 0}, {4, -kHalf}, {4, kHalf}});
  FillShaded(cr, kWood, -kHalf, kHalf);
  PolygonPath(cr, {{-0.3, 0}, {1.6, -0.95}, {1.6, 0.95}});
  SetColor(cr, kInk);
  cairo_fill(cr);
  cairo_restore(cr);
}

// The round sign shared by Help and Info.
void DrawRoundSign(cairo_t* cr) {
  cairo_arc(cr, 12, 12, 10, 0, 2 * kPi);
  FillShaded(cr, kBlue, 2, 22);
  // A soft highlight in the upper half gives the disc some depth.
  cairo_arc(cr, 12, 12, 8.6, kPi * 1.08, kPi * 1.92);
  cairo_set_source_rgba(cr, 1, 1, 1, 0.35);
  cairo_set_line_width(cr, 1.0);
  cairo_stroke(cr);
}

void DrawOpenIcon(cairo_t* cr) { DrawOpenFolder(cr, 1, 3, 22, 18); }

void DrawSaveIcon(cairo_t* cr) { DrawFloppy(cr); }

void DrawSaveAsIcon(cairo_t* cr) {
  DrawFloppy(cr);
  DrawPencil(cr, 10.5, 22);
}

void DrawLogOutIcon(cairo_t* cr) {
  cairo_rectangle(cr, 2.5, 2.5, 11, 19);
  FillShaded(cr, kMetal, 2, 22);
  cairo_rectangle(cr, 4, 4, 8, 16);
  SetColor(cr, kInk);
  cairo_fill(cr);
  // The door leaf, swung open towards the viewer.
  PolygonPath(cr, {{4.5, 4.5}, {10.5, 2.5}, {10.5, 22.5}, {4.5, 19.5}});
  FillShaded(cr, kWood, 3, 22);
  cairo_arc(cr, 9, 12.5, 0.9, 0, 2 * kPi);
  SetColor(cr, kWood.dark);
  cairo_fill(cr);
  DrawArrow(cr, 17.5, 12, kPi / 2, kRed);
}

void DrawHelpIcon(cairo_t* cr) {
  DrawRoundSign(cr);
  SetColor(cr, kWhite);
  cairo_set_line_width(cr, 2.6);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_new_path(cr);
  cairo_arc(cr, 12, 9.3, 3.2, kPi * 1.05, kPi * 2.3);
  cairo_curve_to(cr, 12.6, 11.9, 12, 12.3, 12, 14.0);
  cairo_stroke(cr);
  cairo_arc(cr, 12, 17.4, 1.55, 0, 2 * kPi);
  cairo_fill(cr);
}

void DrawInfoIcon(cairo_t* cr) {
  DrawRoundSign(cr);
  SetColor(cr, kWhite);
  cairo_arc(cr, 12, 6.9, 1.65, 0, 2 * kPi);
  cairo_fill(cr);
  // Stem with a small serif at the top left and a foot.
  PolygonPath(cr, {{9.5, 10}, {13.4, 10}, {13.4, 16.4}, {14.8, 16.4}, {14.8, 18.4},
                   {9.2, 18.4}, {9.2, 16.4}, {10.6, 16.4}, {10.6, 11.8}, {9.5, 11.8}});
  cairo_fill(cr);
}

void DrawSettingsUploadIcon(cairo_t* cr) {
  RoundedRectPath(cr, 1.5, 2.5, 17, 16, 1.5);
  FillShaded(cr, kPaper, 2, 19);
  struct Slider {
    double y;
    double knob_x;
  };
  for (const Slider& slider : {Slider{6.5, 10}, Slider{10.5, 4}, Slider{14.5, 7}}) {
    cairo_move_to(cr, 4, slider.y);
    cairo_line_to(cr, 16, slider.y);
    SetColor(cr, kMetal.dark);
    cairo_set_line_width(cr, kStroke);
    cairo_stroke(cr);
    RoundedRectPath(cr, slider.knob_x + 0.5, slider.y - 2, 3, 4, 0.8);
    FillShaded(cr, kBlue, slider.y - 2, slider.y + 2);
  }
  DrawUploadBadge(cr);
}

void DrawScrollUploadIcon(cairo_t* cr) {
  RoundedRectPath(cr, 0.5, 3.5, 19, 11, 1.5);
  FillShaded(cr, kDisplay, 3, 15);
  // "ABC" in a 3 x 5 dot font, lit like the car's display.
  static const char* const kGlyphs[5] = {
      ".#. ##. .##",
      "#.# #.# #..",
      "### ##. #..",
      "#.# #.# #..",
      "#.# ##. .##",
  };
  SetColor(cr, kLed);
  for (int row = 0; row < 5; ++row) {
    for (int col = 0; kGlyphs[row][col] != '\0'; ++col) {
      if (kGlyphs[row][col] == '#') cairo_rectangle(cr, 3 + col, 6 + row, 1, 1);
    }
  }
  cairo_fill(cr);
  DrawUploadBadge(cr);
}

void DrawPictureUploadIcon(cairo_t* cr) {
  DrawPhoto(cr, 1, 2, 18, 15);
  DrawUploadBadge(cr);
}

void DrawPrintIcon(cairo_t* cr) {
  cairo_rectangle(cr, 6.5, 2.5, 11, 8);
  FillShaded(cr, kPaper, 2, 11);
  RoundedRectPath(cr, 1.5, 8.5, 21, 10, 1.5);
  FillShaded(cr, kMetal, 8, 19);
  cairo_rectangle(cr, 5, 14, 14, 2);
  SetColor(cr, kInk);
  cairo_fill(cr);
  cairo_rectangle(cr, 6.5, 14.5, 11, 7);
  FillShaded(cr, kPaper, 14, 22);
  SetColor(cr, kTextLine);
  cairo_set_line_width(cr, kStroke);
  for (double line_y : {17.5, 19.5}) {
    cairo_move_to(cr, 8.5, line_y);
    cairo_line_to(cr, 15.5, line_y);
  }
  cairo_stroke(cr);
  cairo_arc(cr, 19, 11.5, 1.1, 0, 2 * kPi);
  SetColor(cr, kGreen.light);
  cairo_fill_preserve(cr);
  SetColor(cr, kGreen.dark);
  cairo_set_line_width(cr, 0.6);
  cairo_stroke(cr);
}

void DrawPictureOpenIcon(cairo_t* cr) {
  DrawPhoto(cr, 1, 2, 18, 15);
  DrawOpenFolder(cr, 10, 12, 14, 11);
}

struct IconDrawing {
  Icon icon;
  void (*draw)(cairo_t*);
};

constexpr IconDrawing kIcons[] = {
    {Icon::kOpen, DrawOpenIcon},
    {Icon::kSave, DrawSaveIcon},
    {Icon::kSaveAs, DrawSaveAsIcon},
    {Icon::kLogOut, DrawLogOutIcon},
    {Icon::kHelp, DrawHelpIcon},
    {Icon::kInfo, DrawInfoIcon},
    {Icon::kSettingsUpload, DrawSettingsUploadIcon},
    {Icon::kScrollUpload, DrawScrollUploadIcon},
    {Icon::kPictureUpload, DrawPictureUploadIcon},
    {Icon::kPrint, DrawPrintIcon},
    {Icon::kPictureOpen, DrawPictureOpenIcon},
};
static_assert(std::size(kIcons) == kIconCount, "every icon needs a drawing");

// Draws a `size` x `size` picture with alpha through `draw` (round line
// joins set) and writes it as PNG; false, with a message, when it cannot.
bool WritePng(const std::filesystem::path& path, int size, void (*draw)(cairo_t*)) {
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, size, size);
  cairo_t* cr = cairo_create(surface);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  draw(cr);
  cairo_destroy(cr);
  const cairo_status_t status = cairo_surface_write_to_png(surface, path.c_str());
  cairo_surface_destroy(surface);
  if (status != CAIRO_STATUS_SUCCESS) {
    std::fprintf(stderr, "draw_assets: %s: %s\n", path.c_str(), cairo_status_to_string(status));
    return false;
  }
  return true;
}

bool WriteIcon(const std::filesystem::path& path, const IconDrawing& icon) {
  return WritePng(path, kIconSize, icon.draw);
}

// The form's combo boxes draw their arrow 12 pixels wide, where the theme's
// pan-down icon exists only as SVG. This is the same triangle at 12 x 12 as a
// symbolic PNG: black, the shape in alpha, recoloured by GTK like the theme's.
constexpr int kComboArrowSize = 12;

void DrawComboArrow(cairo_t* cr) {
  cairo_scale(cr, kComboArrowSize / 16.0, kComboArrowSize / 16.0);  // the theme's 16-unit grid
  cairo_move_to(cr, 13.996094, 5);
  cairo_rel_line_to(cr, -5.996094, 6);
  cairo_rel_line_to(cr, -6.003906, -6);
  cairo_close_path(cr);
  cairo_fill(cr);
}

bool WriteComboArrow(const std::filesystem::path& path) {
  return WritePng(path, kComboArrowSize, DrawComboArrow);
}

// ---------------------------------------------------------------------------
// Train pictures
// ---------------------------------------------------------------------------
//
// The display lights a pixel when R + 256 G + 65536 B <= 8388608, which comes
// down to blue below 128. Every colour below is chosen with that in mind: the
// comment after it says whether the display lights it ("on") or not ("off"),
// so each car keeps a readable silhouette in its one-bit form.

constexpr Rgb kBackground = Hex(0xffffff);    // off
constexpr Rgb kUnderframe = Hex(0x2b2b2b);    // on
constexpr Rgb kEquipment = Hex(0x4a4d50);     // on
constexpr Rgb kWheel = Hex(0x1e1e1e);         // on
constexpr Rgb kAxle = Hex(0x8a8a8a);          // off
constexpr Rgb kCoupler = Hex(0x333333);       // on

constexpr Rgb kRedOutline = Hex(0x4a0d12);    // on
constexpr Rgb kRedBody = Hex(0xc8102e);       // on
constexpr Rgb kRedShadow = Hex(0x9c0b22);     // on
constexpr Rgb kGlass = Hex(0xa9d8f5);         // off
constexpr Rgb kGlassShine = Hex(0xe2f3ff);    // off
constexpr Rgb kGlassLow = Hex(0x86bde2);      // off

constexpr Rgb kGreyOutline = Hex(0x303437);   // on
constexpr Rgb kRoofGrey = Hex(0x70767a);      // on
constexpr Rgb kWhiteBody = Hex(0xf4f4f2);     // off
constexpr Rgb kTintedGlass = Hex(0x2e4a63);   // on
constexpr Rgb kTintedShine = Hex(0x56748f);   // off
constexpr Rgb kGreenBody = Hex(0x1f8a4c);     // on
constexpr Rgb kGreenShadow = Hex(0x156b39);   // on

void Px(cairo_t* cr, Rgb color, int x, int y, int w, int h) {
  SetColor(cr, color);
  cairo_rectangle(cr, x, y, w, h);
  cairo_fill(cr);
}

// The car body's outline and fill: a box from x = 1 to 158 and rows 0 to 10,
// with the roof rounded at both ends.
void DrawShell(cairo_t* cr, Rgb outline, Rgb fill) {
  Px(cr, outline, 4, 0, 152, 1);
  Px(cr, outline, 2, 1, 156, 1);
  Px(cr, outline, 1, 2, 158, 9);
  Px(cr, fill, 4, 1, 152, 1);
  Px(cr, fill, 2, 2, 156, 8);
}

void DrawBogie(cairo_t* cr, int x) {
  Px(cr, kUnderframe, x, 11, 22, 1);
  Px(cr, kEquipment, x + 6, 12, 10, 1);
  for (int wheel_x : {x + 1, x + 15}) {
    Px(cr, kWheel, wheel_x + 1, 11, 4, 3);
    Px(cr, kWheel, wheel_x, 12, 6, 1);
    Px(cr, kAxle, wheel_x + 2, 12, 2, 1);
  }
}

// Underframe, equipment boxes, the two bogies and the couplers, the same for
// every car.
void DrawRunningGear(cairo_t* cr) {
  Px(cr, kUnderframe, 8, 11, 144, 1);
  Px(cr, kEquipment, 54, 12, 16, 1);
  Px(cr, kEquipment, 90, 12, 16, 1);
  DrawBogie(cr, 12);
  DrawBogie(cr, 126);
  Px(cr, kCoupler, 0, 8, 1, 2);
  Px(cr, kCoupler, 159, 8, 1, 2);
}

// An entrance door between rows 2 and 10: two leaves with a window each.
void DrawDoor(cairo_t* cr, int x, Rgb outline, Rgb leaf, Rgb glass) {
  Px(cr, outline, x, 2, 8, 8);
  Px(cr, leaf, x + 1, 2, 3, 8);
  Px(cr, leaf, x + 4, 2, 3, 8);
  Px(cr, glass, x + 1, 3, 2, 3);
  Px(cr, glass, x + 5, 3, 2, 3);
}

// A panorama window whose glass curves up into the roof.
void DrawPanoramaWindow(cairo_t* cr, int x, int w, int top, int bottom) {
  Px(cr, kGlass, x + 1, top, w - 2, 1);
  Px(cr, kGlass, x, top + 1, w, bottom - top);
  Px(cr, kGlassShine, x + 2, top + 1, w / 3, 1);
  Px(cr, kGlassShine, x + 1, top + 2, 2, 1);
  Px(cr, kGlassLow, x, bottom, w, 1);
}

// Bernina: an all-red panorama car whose large windows reach into the roof.
void DrawBerninaCar(cairo_t* cr) {
  DrawShell(cr, kRedOutline, kRedBody);
  Px(cr, kRedShadow, 2, 9, 156, 1);
  DrawDoor(cr, 4, kRedOutline, kRedBody, kGlass);
  DrawDoor(cr, 148, kRedOutline, kRedBody, kGlass);
  constexpr int kFirst = 14;
  constexpr int kWindow = 24;
  constexpr int kPillar = 2;
  for (int i = 0; i < 5; ++i) {
    DrawPanoramaWindow(cr, kFirst + i * (kWindow + kPillar), kWindow, 1, 7);
  }
  DrawRunningGear(cr);
}

// Glacier: grey roof, a band of tinted panorama glass framed in white, a white
// stripe and a red lower body.
void DrawGlacierCar(cairo_t* cr) {
  DrawShell(cr, kGreyOutline, kRoofGrey);
  Px(cr, kWhiteBody, 2, 2, 156, 6);
  Px(cr, kRedBody, 2, 8, 156, 2);
  Px(cr, kRedOutline, 1, 10, 158, 1);
  Px(cr, kRedOutline, 1, 8, 1, 2);
  Px(cr, kRedOutline, 158, 8, 1, 2);
  DrawDoor(cr, 4, kGreyOutline, kRedBody, kTintedGlass);
  DrawDoor(cr, 148, kGreyOutline, kRedBody, kTintedGlass);
  constexpr int kFirst = 14;
  constexpr int kWindow = 25;
  constexpr int kPillar = 1;
  for (int i = 0; i < 5; ++i) {
    const int x = kFirst + i * (kWindow + kPillar) + 1;
    Px(cr, kTintedGlass, x, 2, kWindow, 5);
    Px(cr, kTintedShine, x + 2, 3, kWindow / 3, 1);
  }
  DrawRunningGear(cr);
}

// Regio: white body with a green skirt, green doors and small tinted windows.
void DrawRegioCar(cairo_t* cr) {
  DrawShell(cr, kGreyOutline, kWhiteBody);
  Px(cr, kRoofGrey, 4, 1, 152, 1);
  Px(cr, kGreenBody, 2, 8, 156, 2);
  Px(cr, kGreenShadow, 2, 9, 156, 1);
  for (int door_x : {6, 76, 146}) {
    DrawDoor(cr, door_x, kGreyOutline, kGreenBody, kTintedGlass);
  }
  for (int bay_start : {16, 86}) {
    for (int i = 0; i < 6; ++i) {
      const int x = bay_start + i * 9;
      Px(cr, kTintedGlass, x, 3, 7, 4);
      Px(cr, kTintedShine, x + 1, 3, 3, 1);
    }
  }
  DrawRunningGear(cr);
}

struct PictureDrawing {
  std::string_view file_name;
  void (*draw)(cairo_t*);
};

// By picture slot.
constexpr PictureDrawing kPictures[] = {
    {kStandardPictureFiles[0], DrawBerninaCar},
    {kStandardPictureFiles[1], DrawGlacierCar},
    {kStandardPictureFiles[2], DrawRegioCar},
};
static_assert(std::size(kPictures) == kStandardPictureFiles.size());

void PutLe16(std::vector<unsigned char>& out, std::uint32_t value) {
  out.push_back(value & 0xFF);
  out.push_back((value >> 8) & 0xFF);
}

void PutLe32(std::vector<unsigned char>& out, std::uint32_t value) {
  PutLe16(out, value & 0xFFFF);
  PutLe16(out, value >> 16);
}

// Writes `bytes` as the whole file at `path`; says so on stderr when it fails.
bool WriteBytes(const std::filesystem::path& path, std::string_view bytes) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  file.close();
  if (!file) {
    std::fprintf(stderr, "draw_assets: cannot write %s\n", path.c_str());
    return false;
  }
  return true;
}

bool WriteBytes(const std::filesystem::path& path, const std::vector<unsigned char>& bytes) {
  return WriteBytes(path, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

// Writes an opaque image surface as the program writes its pictures.
bool WriteBmp24(const std::filesystem::path& path, cairo_surface_t* surface) {
  cairo_surface_flush(surface);
  TrainPicture picture;
  picture.width = cairo_image_surface_get_width(surface);
  picture.height = cairo_image_surface_get_height(surface);
  const int stride = cairo_image_surface_get_stride(surface);
  const unsigned char* data = cairo_image_surface_get_data(surface);
  for (int y = 0; y < picture.height; ++y) {
    const unsigned char* row = data + static_cast<std::ptrdiff_t>(y) * stride;
    for (int x = 0; x < picture.width; ++x) {
      // Cairo keeps RGB24 pixels as native 32-bit words, so read whole words
      // rather than assuming a byte order.
      std::uint32_t pixel;
      std::memcpy(&pixel, row + 4 * x, 4);
      picture.rgba.insert(picture.rgba.end(),
                          {static_cast<std::uint8_t>(pixel >> 16), static_cast<std::uint8_t>(pixel >> 8),
                           static_cast<std::uint8_t>(pixel), 255});
    }
  }
  return WriteBytes(path, EncodeBmp24(picture));
}

// Writes an ICO file with one PNG-compressed entry per PNG file, in the
// order given; each entry's size comes from the PNG's header.
bool WriteIco(const std::filesystem::path& path, const std::vector<std::filesystem::path>& pngs) {
  std::vector<std::string> images;
  for (const std::filesystem::path& png : pngs) {
    std::ifstream in(png, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (!in.is_open() || bytes.size() < 24 || bytes.compare(1, 3, "PNG") != 0) {
      std::fprintf(stderr, "draw_assets: %s is no PNG file\n", png.c_str());
      return false;
    }
    images.push_back(std::move(bytes));
  }
  std::vector<unsigned char> out;
  PutLe16(out, 0);  // reserved
  PutLe16(out, 1);  // an icon, not a cursor
  PutLe16(out, static_cast<std::uint32_t>(images.size()));
  std::uint32_t offset = 6 + 16 * static_cast<std::uint32_t>(images.size());
  for (const std::string& image : images) {
    const auto byte = [&](size_t at) { return static_cast<unsigned char>(image[at]); };
    // The IHDR chunk's width and height, big-endian; 256 is stored as 0.
    const std::uint32_t width = (byte(18) << 8) | byte(19);
    const std::uint32_t height = (byte(22) << 8) | byte(23);
    out.push_back(width >= 256 ? 0 : width);
    out.push_back(height >= 256 ? 0 : height);
    out.push_back(0);   // no palette
    out.push_back(0);   // reserved
    PutLe16(out, 1);    // planes
    PutLe16(out, 32);   // bits per pixel
    PutLe32(out, static_cast<std::uint32_t>(image.size()));
    PutLe32(out, offset);
    offset += static_cast<std::uint32_t>(image.size());
  }
  for (const std::string& image : images) out.insert(out.end(), image.begin(), image.end());

  return WriteBytes(path, out);
}

bool WritePicture(const std::filesystem::path& path, const PictureDrawing& picture) {
  cairo_surface_t* surface =
      cairo_image_surface_create(CAIRO_FORMAT_RGB24, kPictureWidth, kPictureHeight);
  cairo_t* cr = cairo_create(surface);
  cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
  SetColor(cr, kBackground);
  cairo_paint(cr);
  picture.draw(cr);
  cairo_destroy(cr);
  const bool written = WriteBmp24(path, surface);
  cairo_surface_destroy(surface);
  return written;
}

int Run(int argc, char** argv) {
  if (argc >= 4 && std::string(argv[1]) == "--ico") {
    return WriteIco(argv[2], std::vector<std::filesystem::path>(argv + 3, argv + argc)) ? 0 : 1;
  }
  if (argc == 3 && std::string(argv[1]) == "--combo-arrow") {
    return WriteComboArrow(argv[2]) ? 0 : 1;
  }
  if (argc != 2) {
    std::fprintf(stderr,
                 "usage: draw_assets <output-data-dir>\n"
                 "       draw_assets --ico <output.ico> <picture.png>...\n"
                 "       draw_assets --combo-arrow <output.symbolic.png>\n");
    return 2;
  }
  const std::filesystem::path data_dir = argv[1];
  std::error_code error;
  std::filesystem::create_directories(data_dir / "Icons", error);
  if (error) {
    std::fprintf(stderr, "draw_assets: %s: %s\n", (data_dir / "Icons").c_str(),
                 error.message().c_str());
    return 1;
  }
  bool ok = true;
  for (const IconDrawing& icon : kIcons) {
    const std::string name(IconName(icon.icon));
    const std::filesystem::path png = data_dir / "Icons" / (name + ".png");
    ok = WriteIcon(png, icon) && ok;
    ok = WriteIco(data_dir / "Icons" / (name + ".ico"), {png}) && ok;
  }
  for (const PictureDrawing& picture : kPictures) {
    ok = WritePicture(data_dir / picture.file_name, picture) && ok;
  }
  return ok ? 0 : 1;
}

}  // namespace
}  // namespace zielwerk

int main(int argc, char** argv) { return zielwerk::Run(argc, argv); }

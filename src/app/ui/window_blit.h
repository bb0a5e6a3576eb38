// SPDX-License-Identifier: GPL-3.0-or-later
// Putting finished pixels onto a window outside the toolkit's paint cycle.
#pragma once

#include <cairo.h>
#include <gdk/gdk.h>

namespace zielwerk {

// Copies the rectangle `part` of `image` (a CAIRO_FORMAT_RGB24 image surface,
// in its device pixels) onto `window`, its top-left corner at (x, y) in the
// window's device pixels, at once and in one piece. Returns false, having
// done nothing, where this cannot be done directly (another windowing system,
// a window whose pixels are not 24-bit RGB); the caller then paints through
// the toolkit.
bool BlitToWindow(GdkWindow* window, cairo_surface_t* image, const cairo_rectangle_int_t& part,
                  int x, int y);

}  // namespace zielwerk

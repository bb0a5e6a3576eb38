// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/ui/window_blit.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <gdk/gdkx.h>

#include <cstdint>

namespace zielwerk {

bool BlitToWindow(GdkWindow* window, cairo_surface_t* image, const cairo_rectangle_int_t& part,
                  int x, int y) {
  if (!GDK_IS_X11_WINDOW(window) || cairo_surface_get_type(image) != CAIRO_SURFACE_TYPE_IMAGE ||
      cairo_image_surface_get_format(image) != CAIRO_FORMAT_RGB24 || part.width <= 0 ||
      part.height <= 0) {
    return false;
  }
  // Cairo's RGB24 pixel is a native 32-bit word 0x00RRGGBB: the window's
  // visual must take exactly that.
  GdkVisual* window_visual = gdk_window_get_visual(window);
  Visual* visual = gdk_x11_visual_get_xvisual(window_visual);
  if (gdk_visual_get_depth(window_visual) != 24 || visual->red_mask != 0xff0000 ||
      visual->green_mask != 0x00ff00 || visual->blue_mask != 0x0000ff) {
    return false;
  }
  cairo_surface_flush(image);
  XImage picture{};
  picture.width = cairo_image_surface_get_width(image);
  picture.height = cairo_image_surface_get_height(image);
  picture.format = ZPixmap;
  picture.data = reinterpret_cast<char*>(cairo_image_surface_get_data(image));
  const uint32_t probe = 1;
  picture.byte_order = *reinterpret_cast<const unsigned char*>(&probe) == 1 ? LSBFirst : MSBFirst;
  picture.bitmap_unit = 32;
  picture.bitmap_bit_order = picture.byte_order;
  picture.bitmap_pad = 32;
  picture.depth = 24;
  picture.bytes_per_line = cairo_image_surface_get_stride(image);
  picture.bits_per_pixel = 32;
  picture.red_mask = visual->red_mask;
  picture.green_mask = visual->green_mask;
  picture.blue_mask = visual->blue_mask;
  if (picture.data == nullptr || !XInitImage(&picture)) return false;

  Display* display = GDK_WINDOW_XDISPLAY(window);
  // One graphics context per display, made on first use and kept: the
  // defaults (copy every plane, no clip) are all the copy needs.
  static Display* gc_display = nullptr;
  static GC gc = nullptr;
  if (gc_display != display) {
    gc = XCreateGC(display, GDK_WINDOW_XID(window), 0, nullptr);
    gc_display = display;
  }
  XPutImage(display, GDK_WINDOW_XID(window), gc, &picture, part.x, part.y, x, y,
            static_cast<unsigned>(part.width), static_cast<unsigned>(part.height));
  return true;
}

}  // namespace zielwerk

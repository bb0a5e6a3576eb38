// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/ui/window_blit.h"

namespace zielwerk {

// Windows paints through GDK's own drawing, which draws into a bitmap and
// copies it onto the window in one step anyway.
bool BlitToWindow(GdkWindow*, cairo_surface_t*, const cairo_rectangle_int_t&, int, int) {
  return false;
}

}  // namespace zielwerk

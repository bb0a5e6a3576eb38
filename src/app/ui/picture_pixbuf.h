// SPDX-License-Identifier: GPL-3.0-or-later
// Turning decoded pictures into GDK picture buffers.
#pragma once

#include <cairomm/surface.h>
#include <gdkmm/pixbuf.h>

#include "app/ui/main_window.h"
#include "core/picture/train_picture.h"

namespace zielwerk {

// A pixbuf holding a copy of `picture` (with alpha when it has alpha).
Glib::RefPtr<Gdk::Pixbuf> PixbufFromPicture(const TrainPicture& picture);

// `pixbuf` enlarged to width x height pixels of a window that GTK draws at
// `window_scale` device pixels per pixel, as a surface of that device scale.
// Each of the picture's dots becomes a block of device pixels, never a blur:
// all blocks of one size at whole factors, one or two pixels across at
// others, none lost.
Cairo::RefPtr<Cairo::Surface> EnlargedPicture(const Glib::RefPtr<Gdk::Pixbuf>& pixbuf, int width,
                                              int height, int window_scale);

// The eleven icons from "Icons/" in the working folder (PNG on Linux, ICO on
// Windows), in their load order.
IconSet LoadIcons();

}  // namespace zielwerk

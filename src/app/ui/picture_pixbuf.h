// Turning decoded pictures into GDK picture buffers.
#pragma once

#include <gdkmm/pixbuf.h>

#include <string>

#include "app/ui/main_window.h"
#include "core/picture/train_picture.h"

namespace zielwerk {

// A pixbuf holding a copy of `picture` (with alpha when it has alpha).
Glib::RefPtr<Gdk::Pixbuf> PixbufFromPicture(const TrainPicture& picture);

// Reads a picture file through the program's own readers; empty on failure.
Glib::RefPtr<Gdk::Pixbuf> LoadPixbuf(const std::string& path);

// The eleven icons from "Icons/" in the working folder (PNG on Linux, ICO on
// Windows), in their load order.
IconSet LoadIcons();

}  // namespace zielwerk

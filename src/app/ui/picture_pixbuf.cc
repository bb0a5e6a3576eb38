// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/ui/picture_pixbuf.h"

#include <gdk/gdk.h>

#include <cstring>

#include "core/picture/icon_file.h"

namespace zielwerk {

Glib::RefPtr<Gdk::Pixbuf> PixbufFromPicture(const TrainPicture& picture) {
  if (picture.width <= 0 || picture.height <= 0) return {};
  auto pixbuf =
      Gdk::Pixbuf::create(Gdk::COLORSPACE_RGB, picture.has_alpha, 8, picture.width, picture.height);
  if (!pixbuf) return {};
  const int channels = picture.has_alpha ? 4 : 3;
  guint8* pixels = pixbuf->get_pixels();
  const int stride = pixbuf->get_rowstride();
  for (int y = 0; y < picture.height; ++y) {
    guint8* row = pixels + static_cast<ptrdiff_t>(y) * stride;
    for (int x = 0; x < picture.width; ++x) {
      std::memcpy(row + x * channels, picture.Pixel(x, y), static_cast<size_t>(channels));
    }
  }
  return pixbuf;
}

Cairo::RefPtr<Cairo::Surface> EnlargedPicture(const Glib::RefPtr<Gdk::Pixbuf>& pixbuf, int width,
                                              int height, int window_scale) {
  const int device_width = width * window_scale;
  const int device_height = height * window_scale;
  const Glib::RefPtr<Gdk::Pixbuf> enlarged =
      device_width == pixbuf->get_width() && device_height == pixbuf->get_height()
          ? pixbuf
          : pixbuf->scale_simple(device_width, device_height, Gdk::INTERP_NEAREST);
  cairo_surface_t* surface = gdk_cairo_surface_create_from_pixbuf(enlarged->gobj(), window_scale,
                                                                  nullptr);
  return Cairo::RefPtr<Cairo::Surface>(new Cairo::Surface(surface, true));
}

IconSet LoadIcons() {
  IconSet icons;
  for (int i = 0; i < kIconCount; ++i) {
    const std::optional<TrainPicture> picture = ReadIconFile(IconFilePath(kIconNames[i]));
    if (picture) icons[static_cast<size_t>(i)] = PixbufFromPicture(*picture);
  }
  return icons;
}

}  // namespace zielwerk

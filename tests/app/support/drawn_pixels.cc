// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/support/drawn_pixels.h"

#include <gdkmm/display.h>

#include <cstring>

#include "app/support/window_fixture.h"

namespace zielwerk::testing {

Glib::RefPtr<Gdk::Pixbuf> RedrawnWindowPixels(Gtk::Window& window) {
  bool drawn = false;
  sigc::connection watch = window.signal_draw().connect(
      [&drawn](const Cairo::RefPtr<Cairo::Context>&) {
        drawn = true;
        return false;
      },
      true);
  window.queue_draw();
  PumpEventsUntil([&drawn] { return drawn; });
  watch.disconnect();
  window.get_display()->sync();
  return Gdk::Pixbuf::create(window.get_window(), 0, 0, window.get_allocated_width(),
                             window.get_allocated_height());
}

Glib::RefPtr<Gdk::Pixbuf> ShownPixels(Gtk::Widget& widget) {
  Gtk::Widget& toplevel = *widget.get_toplevel();
  int x = 0, y = 0;
  widget.translate_coordinates(toplevel, 0, 0, x, y);
  return Gdk::Pixbuf::create(toplevel.get_window(), x, y, widget.get_allocated_width(),
                             widget.get_allocated_height());
}

PixelDifference DifferingPixels(const Glib::RefPtr<Gdk::Pixbuf>& a,
                                const Glib::RefPtr<Gdk::Pixbuf>& b, const Gdk::Rectangle& area) {
  PixelDifference difference;
  const int channels = a->get_n_channels();
  for (int y = 0; y < a->get_height(); ++y) {
    const guint8* row_a = a->get_pixels() + y * a->get_rowstride();
    const guint8* row_b = b->get_pixels() + y * b->get_rowstride();
    for (int x = 0; x < a->get_width(); ++x) {
      if (std::memcmp(row_a + x * channels, row_b + x * channels, channels) == 0) continue;
      const bool inside = x >= area.get_x() && x < area.get_x() + area.get_width() &&
                          y >= area.get_y() && y < area.get_y() + area.get_height();
      ++(inside ? difference.inside : difference.outside);
    }
  }
  return difference;
}

}  // namespace zielwerk::testing

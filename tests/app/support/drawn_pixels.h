// SPDX-License-Identifier: GPL-3.0-or-later
// What the window shows on the X display, read back as a screenshot would
// read it, for tests that look at the drawn pixels rather than at widgets.
#pragma once

#include <gdkmm/pixbuf.h>
#include <gdkmm/rectangle.h>
#include <gtkmm/widget.h>
#include <gtkmm/window.h>

namespace zielwerk::testing {

// Redraws all of `window`, waits until GTK has drawn it and returns its
// pixels as the X server holds them (what "import -window" would save).
Glib::RefPtr<Gdk::Pixbuf> RedrawnWindowPixels(Gtk::Window& window);

// The pixels of `widget`'s allocation as its toplevel shows them now.
Glib::RefPtr<Gdk::Pixbuf> ShownPixels(Gtk::Widget& widget);

// The number of pixels in which `a` and `b`, of equal size, differ, counted
// inside `area` and outside it.
struct PixelDifference {
  int inside = 0;
  int outside = 0;
};
PixelDifference DifferingPixels(const Glib::RefPtr<Gdk::Pixbuf>& a,
                                const Glib::RefPtr<Gdk::Pixbuf>& b, const Gdk::Rectangle& area);

}  // namespace zielwerk::testing

// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/support/message_boxes.h"

#include <glibmm/main.h>
#include <gtkmm/button.h>
#include <gtkmm/image.h>
#include <gtkmm/messagedialog.h>

#include <cstdlib>

#include "app/support/drawn_pixels.h"

namespace zielwerk::testing {
namespace {

void FindPictures(Gtk::Widget& widget, std::vector<Gtk::Image*>& pictures) {
  if (!widget.get_visible() || dynamic_cast<Gtk::Button*>(&widget)) return;
  if (auto* image = dynamic_cast<Gtk::Image*>(&widget)) pictures.push_back(image);
  if (auto* container = dynamic_cast<Gtk::Container*>(&widget)) {
    for (Gtk::Widget* child : container->get_children()) FindPictures(*child, pictures);
  }
}

// Counts the pixels of the box's pictures, as shown on the screen, that
// differ clearly from the box's background.
int PicturePixels(Gtk::MessageDialog& dialog) {
  const auto corner = Gdk::Pixbuf::create(dialog.get_window(), 1, 1, 1, 1);
  const guint8* background = corner->get_pixels();
  std::vector<Gtk::Image*> pictures;
  FindPictures(dialog, pictures);
  int count = 0;
  for (Gtk::Image* picture : pictures) {
    const auto pixels = ShownPixels(*picture);
    const int channels = pixels->get_n_channels();
    for (int y = 0; y < pixels->get_height(); ++y) {
      const guint8* row = pixels->get_pixels() + y * pixels->get_rowstride();
      for (int x = 0; x < pixels->get_width(); ++x) {
        for (int c = 0; c < 3; ++c) {
          if (std::abs(row[x * channels + c] - background[c]) > 32) {
            ++count;
            break;
          }
        }
      }
    }
  }
  return count;
}

}  // namespace

MessageBoxAnswerer::MessageBoxAnswerer(BoxPictures pictures) {
  connection_ = Glib::signal_timeout().connect(
      [this, pictures] {
        static const Glib::Quark watched("zielwerk-test-watched");
        static const Glib::Quark drawn("zielwerk-test-drawn");
        for (Gtk::Window* window : Gtk::Window::list_toplevels()) {
          auto* dialog = dynamic_cast<Gtk::MessageDialog*>(window);
          if (!dialog || !dialog->get_visible()) continue;
          const bool read = pictures == BoxPictures::kRead;
          // A box whose pictures are read is answered once it has been drawn.
          if (read && !dialog->get_data(watched)) {
            dialog->set_data(watched, dialog);
            dialog->signal_draw().connect(
                [dialog](const Cairo::RefPtr<Cairo::Context>&) {
                  dialog->set_data(drawn, dialog);
                  return false;
                },
                true);
            dialog->queue_draw();
          }
          if (read && !dialog->get_data(drawn)) continue;
          boxes_.push_back({dialog->get_title(), dialog->property_text().get_value(),
                            dialog->property_message_type().get_value(), dialog->get_modal(),
                            read ? PicturePixels(*dialog) : -1});
          dialog->response(Gtk::RESPONSE_OK);
        }
        return true;
      },
      20);
}

MessageBoxAnswerer::~MessageBoxAnswerer() { connection_.disconnect(); }

}  // namespace zielwerk::testing

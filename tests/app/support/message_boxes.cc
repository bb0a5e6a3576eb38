#include "app/support/message_boxes.h"

#include <glibmm/main.h>
#include <gtkmm/messagedialog.h>

namespace zielwerk::testing {

MessageBoxAnswerer::MessageBoxAnswerer() {
  connection_ = Glib::signal_timeout().connect(
      [this] {
        for (Gtk::Window* window : Gtk::Window::list_toplevels()) {
          auto* dialog = dynamic_cast<Gtk::MessageDialog*>(window);
          if (!dialog || !dialog->get_visible()) continue;
          boxes_.push_back({dialog->get_title(), dialog->property_text().get_value(),
                            dialog->property_message_type().get_value(), dialog->get_modal()});
          dialog->response(Gtk::RESPONSE_OK);
        }
        return true;
      },
      20);
}

MessageBoxAnswerer::~MessageBoxAnswerer() { connection_.disconnect(); }

}  // namespace zielwerk::testing

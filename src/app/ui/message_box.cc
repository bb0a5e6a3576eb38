#include "app/ui/message_box.h"

#include <gtkmm/messagedialog.h>

#include "app/ui/main_window.h"

namespace zielwerk {

void ShowMessageBox(const std::string& title, const std::string& text, MessageIcon icon) {
  Gtk::MessageDialog dialog(Form(), text, false,
                            icon == MessageIcon::kInformation ? Gtk::MESSAGE_INFO : Gtk::MESSAGE_OTHER,
                            Gtk::BUTTONS_OK, true);
  dialog.set_title(title);
  dialog.run();
}

}  // namespace zielwerk

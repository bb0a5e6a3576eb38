// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/ui/message_box.h"

#include <gtkmm/box.h>
#include <gtkmm/icontheme.h>
#include <gtkmm/image.h>
#include <gtkmm/messagedialog.h>

#include "app/ui/main_window.h"

namespace zielwerk {
namespace {

constexpr const char* kInformationIcon = "dialog-information";

// GTK 3 still takes a message type but no longer draws its icon, so the
// information icon is put where the dialog used to draw it: left of the text,
// at dialog size. A theme without the icon leaves the box without one rather
// than showing the "missing image" picture.
void ShowInformationIcon(Gtk::MessageDialog& dialog) {
  if (!Gtk::IconTheme::get_default()->has_icon(kInformationIcon)) return;
  auto* row = dynamic_cast<Gtk::Box*>(dialog.get_message_area()->get_parent());
  if (!row) return;
  auto* image = Gtk::manage(new Gtk::Image());
  image->set_from_icon_name(kInformationIcon, Gtk::ICON_SIZE_DIALOG);
  image->set_valign(Gtk::ALIGN_START);
  row->pack_start(*image, false, false);
  row->reorder_child(*image, 0);
  image->show();
}

}  // namespace

void ShowMessageBox(std::string_view title, std::string_view text, MessageIcon icon) {
  Gtk::MessageDialog dialog(Form(), std::string(text), false,
                            icon == MessageIcon::kInformation ? Gtk::MESSAGE_INFO : Gtk::MESSAGE_OTHER,
                            Gtk::BUTTONS_OK, true);
  dialog.set_title(std::string(title));
  if (icon == MessageIcon::kInformation) ShowInformationIcon(dialog);
  dialog.run();
}

}  // namespace zielwerk

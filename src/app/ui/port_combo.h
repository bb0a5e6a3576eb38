// SPDX-License-Identifier: GPL-3.0-or-later
// The port field: an editable list of the machine's serial ports. Its open
// list shows beside each name what the system says the device is, so an
// adapter stands out among a hundred terminals; the field itself holds only
// the name that is opened, or whatever the user typed.
#pragma once

#include <gtkmm/cellrenderertext.h>
#include <gtkmm/combobox.h>
#include <gtkmm/liststore.h>

#include <string>
#include <vector>

#include "core/link/port_listing.h"

namespace zielwerk {

class PortCombo : public Gtk::ComboBox {
 public:
  PortCombo();

  // Puts `ports` in place of the list. The field keeps its text, and the
  // entry that text names becomes the selected one (none when no entry does).
  void SetPorts(const std::vector<PortEntry>& ports);
  // The names in the list, in its order.
  std::vector<std::string> Names() const;

  std::string Text() const;
  void SetText(const std::string& text);

  // The gap between a name and its description in the open list.
  void SetDescriptionGap(int pixels);

  // Emitted just before the list opens, by the pointer, the keyboard (Alt+Down)
  // or assistive technology, while the list can still change.
  sigc::signal<void>& signal_list_opening() { return list_opening_; }

 private:
  struct Columns : Gtk::TreeModelColumnRecord {
    Columns() {
      add(name);
      add(description);
    }
    Gtk::TreeModelColumn<Glib::ustring> name;
    Gtk::TreeModelColumn<Glib::ustring> description;
  };

  Columns columns_;
  Glib::RefPtr<Gtk::ListStore> store_;
  Gtk::CellRendererText description_cell_;
  sigc::signal<void> list_opening_;
};

}  // namespace zielwerk

// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/ui/port_combo.h"

#include <gtk/gtk.h>
#include <gtkmm/entry.h>

#include <algorithm>

namespace zielwerk {
namespace {

void EmitListOpening(GtkComboBox* combo, gpointer data) {
  // Setting "popup-shown" pops up a list that may already be open.
  gboolean shown = FALSE;
  g_object_get(combo, "popup-shown", &shown, nullptr);
  if (!shown) static_cast<sigc::signal<void>*>(data)->emit();
}

gboolean EmitOnPress(GtkWidget*, GdkEvent* event, gpointer data) {
  if (event->type == GDK_BUTTON_PRESS && event->button.button == GDK_BUTTON_PRIMARY) {
    static_cast<sigc::signal<void>*>(data)->emit();
  }
  return FALSE;
}

// The list's button lies in a box of the combo's own, beside the entry.
void FindToggleButton(GtkWidget* child, gpointer found) {
  if (GTK_IS_TOGGLE_BUTTON(child)) {
    *static_cast<GtkWidget**>(found) = child;
  } else if (GTK_IS_CONTAINER(child)) {
    gtk_container_forall(GTK_CONTAINER(child), FindToggleButton, found);
  }
}

}  // namespace

PortCombo::PortCombo() : Gtk::ComboBox(true), store_(Gtk::ListStore::create(columns_)) {
  set_model(store_);
  set_entry_text_column(columns_.name);
  pack_start(description_cell_, false);
  add_attribute(description_cell_.property_text(), columns_.description);
  // The list grows beyond the field's width to show the descriptions.
  set_popup_fixed_width(false);

  // The keyboard, assistive technology and a program pop the list up through
  // the "popup" signal, which runs its handlers before it opens the list. A
  // click opens it from the button's press handler without that signal; the
  // button's "event" signal comes before it.
  g_signal_connect(gobj(), "popup", G_CALLBACK(EmitListOpening), &list_opening_);
  GtkWidget* button = nullptr;
  gtk_container_forall(GTK_CONTAINER(gobj()), FindToggleButton, &button);
  if (button) {
    g_signal_connect(button, "event", G_CALLBACK(EmitOnPress), &list_opening_);
    // One Tab stop, the entry: its list opens from there with Alt+Down.
    gtk_widget_set_can_focus(button, FALSE);
  }
}

void PortCombo::SetPorts(const std::vector<PortEntry>& ports) {
  const std::string text = Text();
  store_->clear();
  int selected = -1;
  int widest = 0;
  for (const PortEntry& port : ports) {
    widest = std::max(widest, static_cast<int>(Glib::ustring(port.name).size()));
    Gtk::TreeModel::Row row = *store_->append();
    row[columns_.name] = port.name;
    row[columns_.description] = port.description;
    if (selected < 0 && port.name == text) {
      selected = static_cast<int>(store_->children().size()) - 1;
    }
  }
  // The descriptions begin in one column.
  for (Gtk::CellRenderer* cell : get_cells()) {
    if (cell != &description_cell_) {
      if (auto* name_cell = dynamic_cast<Gtk::CellRendererText*>(cell)) {
        name_cell->property_width_chars() = widest;
      }
    }
  }
  set_active(selected);
  SetText(text);
}

std::vector<std::string> PortCombo::Names() const {
  std::vector<std::string> names;
  for (const Gtk::TreeModel::Row& row : store_->children()) {
    names.push_back(Glib::ustring(row[columns_.name]).raw());
  }
  return names;
}

std::string PortCombo::Text() const { return get_entry()->get_text().raw(); }

void PortCombo::SetText(const std::string& text) {
  if (Text() != text) get_entry()->set_text(text);
}

void PortCombo::SetDescriptionGap(int pixels) { description_cell_.property_xpad() = pixels; }

}  // namespace zielwerk

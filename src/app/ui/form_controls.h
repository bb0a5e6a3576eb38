// SPDX-License-Identifier: GPL-3.0-or-later
// The form's controls: one widget each, made, named and placed from one
// table (kind, text, accessible name), the growth of their texts that sizes
// the form, and the selection of a list by index.
#pragma once

#include <gtkmm/button.h>
#include <gtkmm/checkbutton.h>
#include <gtkmm/comboboxtext.h>
#include <gtkmm/entry.h>
#include <gtkmm/frame.h>
#include <gtkmm/image.h>
#include <gtkmm/label.h>
#include <gtkmm/togglebutton.h>

#include <cstdint>

#include "app/ui/form_area.h"
#include "app/ui/port_combo.h"
#include "app/ui/preview_text.h"
#include "app/ui/spin_field.h"
#include "core/layout/form_layout.h"
#include "core/settings/form_values.h"

namespace zielwerk {

// Every control of the form under its given name. The controls are the one
// store of the current settings.
class FormControls {
 public:
  // The widget of `control`.
  Gtk::Widget& control(FormControl control);

  Gtk::Frame display_frame;
  Gtk::Label preview_start_text;
  PreviewText preview_scroll_text;
  Gtk::Label preview_end_text;
  NumericSpinField car_number_spin{kCarNumberRange.minimum, kCarNumberRange.maximum};
  Gtk::Image train_picture_image;
  Gtk::ComboBoxText start_mode_combo;
  NumericSpinField start_time_spin{kShowTimeRange.minimum, kShowTimeRange.maximum};
  Gtk::Label start_time_label;
  Gtk::Label end_time_label;
  Gtk::ComboBoxText end_mode_combo;
  NumericSpinField end_time_spin{kShowTimeRange.minimum, kShowTimeRange.maximum};
  Gtk::CheckButton hide_car_number_check;
  Gtk::Entry scroll_text_field;
  Gtk::Label scroll_text_label;
  Gtk::ComboBoxText dcc_analog_combo;
  Gtk::ComboBoxText train_type_combo;
  Gtk::Label preview_car_number_text;
  Gtk::Frame port_frame;
  PortCombo port_combo;
  Gtk::ToggleButton port_button;
  Gtk::Frame start_mode_frame;
  Gtk::Frame end_mode_frame;
  Gtk::Frame car_number_frame;
  Gtk::Frame train_type_frame;
  Gtk::Label start_mode_label;
  Gtk::Entry start_station_field;
  Gtk::Label start_station_label;
  Gtk::Entry end_station_field;
  Gtk::Label end_mode_label;
  Gtk::Label end_station_label;
  Gtk::Frame dcc_analog_frame;
  NumericSpinField dcc_address_spin{kDccAddressRange.minimum, kDccAddressRange.maximum};
  Gtk::Label dcc_address_label;
  Gtk::Button reset_button;
  Gtk::Label display_label;
  Gtk::CheckButton invert_direction_check;

 protected:
  // Gives each control its kind's make-up, its text and its accessible name,
  // places it on `area` at its rectangle of `layout` in the order of
  // FormControl (which is also the order they are drawn in), and sets the
  // area's Tab order. `factor` is the scale the layout was made at.
  void BuildControls(FormArea& area, const FormLayout& layout, double factor);
};

// How many times as large as at the standard resolution the form's texts
// are laid out now: the widest growth among its texts, list entries and the
// preview's first texts, at least the resolution's own ratio, 1 at or below
// 96 dpi. Hinting rounds each font to whole pixels, so texts grow by steps
// of their own: 10 points at 120 dpi are 17 pixels, a third more than the
// 13 of 96 dpi, not a quarter; a form scaled by the resolution alone would
// cut them.
double FormTextGrowth();

// Selects entry `index` of `combo`; an index that names no entry (-1, 7,
// -5) leaves it without a selection.
void SelectEntry(Gtk::ComboBox& combo, int64_t index);
// The selected entry's index, -1 when none is selected.
int SelectedEntry(const Gtk::ComboBox& combo);

}  // namespace zielwerk

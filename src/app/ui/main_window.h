// SPDX-License-Identifier: GPL-3.0-or-later
// The program's one window: menu, toolbar, form area with every control at
// its fixed place, and the status bar. The controls are the one store of the
// current settings; every procedure reaches them through Form().
#pragma once

#include <gdkmm/pixbuf.h>
#include <gtkmm/checkbutton.h>
#include <gtkmm/comboboxtext.h>
#include <gtkmm/entry.h>
#include <gtkmm/fixed.h>
#include <gtkmm/frame.h>
#include <gtkmm/image.h>
#include <gtkmm/label.h>
#include <gtkmm/menubar.h>
#include <gtkmm/menuitem.h>
#include <gtkmm/statusbar.h>
#include <gtkmm/togglebutton.h>
#include <gtkmm/toolbar.h>
#include <gtkmm/toolbutton.h>
#include <gtkmm/window.h>

#include <array>
#include <functional>
#include <span>
#include <memory>
#include <string>
#include <vector>

#include "app/command.h"
#include "app/ui/port_combo.h"
#include "app/ui/preview_text.h"
#include "app/ui/spin_field.h"
#include "core/layout/form_layout.h"

namespace zielwerk {

// The eleven icons by Icon; an empty pointer stands for an icon that could
// not be read.
using IconSet = std::array<Glib::RefPtr<Gdk::Pixbuf>, kIconCount>;

// Places its children at exactly the rectangles they were put at, whatever
// size the theme or their content asks for, and draws each within its
// rectangle: the form is laid out in fixed pixels.
class FormArea : public Gtk::Fixed {
 public:
  void Place(Gtk::Widget& widget, int x, int y, int width, int height);
  // Gives a placed widget a new size; its top-left corner stays.
  void Resize(Gtk::Widget& widget, int width, int height);
  // The order in which Tab and Shift+Tab visit the placed widgets, apart from
  // the order they were placed (and are drawn) in; widgets that are hidden,
  // disabled or take no focus are passed over.
  void SetTabOrder(std::vector<Gtk::Widget*> order) { tab_order_ = std::move(order); }

 protected:
  Gtk::SizeRequestMode get_request_mode_vfunc() const override;
  void get_preferred_width_vfunc(int& minimum, int& natural) const override;
  void get_preferred_height_vfunc(int& minimum, int& natural) const override;
  bool on_draw(const Cairo::RefPtr<Cairo::Context>& cr) override;
  void on_size_allocate(Gtk::Allocation& allocation) override;
  bool on_focus(Gtk::DirectionType direction) override;

 private:
  struct Placement {
    Gtk::Widget* widget;
    Gdk::Rectangle rect;
  };
  std::vector<Placement> placements_;
  std::vector<Gtk::Widget*> tab_order_;
};

class MainWindow : public Gtk::Window {
 public:
  // Builds the window at (x, y), its client area and form drawn `factor`
  // times as large as at the standard resolution, shows it, and places every
  // control. The menu and the toolbar offer `commands`; choosing one calls
  // `on_command` with it.
  MainWindow(int x, int y, double factor, const IconSet& icons,
             std::span<const CommandEntry> commands, std::function<void(Command)> on_command);

  void SetStatusText(const std::string& text);
  std::string StatusText() const { return status_text_; }
  int toolbar_height() const { return toolbar_height_; }
  // The factor the form is drawn at (1 at the standard resolution).
  double factor() const { return factor_; }
  // The widget of `control`.
  Gtk::Widget& control(FormControl control);
  // Where `control` was placed when the window was built.
  const FormRect& place(FormControl control) const {
    return form_layout_[static_cast<size_t>(control)];
  }
  // The position to remember for the next start: where the window is now,
  // or, while it is minimised, where it was last shown normally (Windows
  // puts a minimised window at -32000, -32000).
  void PositionToStore(int& x, int& y);

  Gtk::MenuBar main_menu;
  Gtk::Toolbar main_toolbar;
  Gtk::Statusbar main_status_bar;
  FormArea form_area;
  // The menu item and the toolbar button of a command; the button is null
  // for "Beenden" and where its icon is missing and it was left out.
  Gtk::MenuItem* menu_item(Command command) const { return menu_items_[Index(command)]; }
  Gtk::ToolButton* toolbar_button(Command command) const {
    return toolbar_buttons_[Index(command)];
  }

  Gtk::Frame display_frame;
  Gtk::Label preview_start_text;
  PreviewText preview_scroll_text;
  Gtk::Label preview_end_text;
  NumericSpinField car_number_spin{1, 9};
  Gtk::Image train_picture_image;
  Gtk::ComboBoxText start_mode_combo;
  NumericSpinField start_time_spin{1, 9999};
  Gtk::Label start_time_label;
  Gtk::Label end_time_label;
  Gtk::ComboBoxText end_mode_combo;
  NumericSpinField end_time_spin{1, 9999};
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
  NumericSpinField dcc_address_spin{1, 127};
  Gtk::Label dcc_address_label;
  Gtk::Button reset_button;
  Gtk::Label display_label;
  Gtk::CheckButton invert_direction_check;

 private:
  static size_t Index(Command command) { return static_cast<size_t>(command); }
  void BuildToolbar(const IconSet& icons, std::span<const CommandEntry> commands,
                    const std::function<void(Command)>& on_command);
  void BuildMenu(const IconSet& icons, std::span<const CommandEntry> commands,
                 const std::function<void(Command)>& on_command);
  void BuildControls(const FormLayout& layout);
  bool on_window_state_event(GdkEventWindowState* event) override;
  bool on_configure_event(GdkEventConfigure* event) override;

  Gtk::Box layout_{Gtk::ORIENTATION_VERTICAL};
  double factor_ = 1.0;
  FormLayout form_layout_{};
  bool minimised_ = false;
  int normal_x_ = 0;
  int normal_y_ = 0;
  std::array<Gtk::MenuItem*, kCommandCount> menu_items_{};
  std::array<Gtk::ToolButton*, kCommandCount> toolbar_buttons_{};
  int toolbar_height_ = 0;
  std::string status_text_;
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

// The window, once built; every procedure reads and writes the controls here.
MainWindow& Form();
void SetForm(MainWindow* window);

}  // namespace zielwerk

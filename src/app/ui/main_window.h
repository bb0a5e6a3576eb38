// SPDX-License-Identifier: GPL-3.0-or-later
// The program's one window: menu, toolbar, the form area with every control
// at its fixed place, and the status bar; it remembers where it stood for
// the next start. The controls are the one store of the current settings;
// every procedure reaches them through Form().
#pragma once

#include <gdkmm/pixbuf.h>
#include <gtkmm/box.h>
#include <gtkmm/menubar.h>
#include <gtkmm/menuitem.h>
#include <gtkmm/statusbar.h>
#include <gtkmm/toolbar.h>
#include <gtkmm/toolbutton.h>
#include <gtkmm/window.h>

#include <array>
#include <cstddef>
#include <functional>
#include <span>
#include <string>

#include "app/command.h"
#include "app/ui/form_area.h"
#include "app/ui/form_controls.h"
#include "core/layout/form_layout.h"

namespace zielwerk {

// The eleven icons by Icon; an empty pointer stands for an icon that could
// not be read.
using IconSet = std::array<Glib::RefPtr<Gdk::Pixbuf>, kIconCount>;

class MainWindow : public Gtk::Window, public FormControls {
 public:
  // Builds the window at (x, y), its client area and form drawn `factor`
  // times as large as at the standard resolution, shows it, and places every
  // control. The menu and the toolbar offer `commands`; choosing one calls
  // `on_command` with it.
  MainWindow(int x, int y, double factor, const IconSet& icons,
             std::span<const CommandEntry> commands, std::function<void(Command)> on_command);

  // Shows `text` in the status bar, cut with an ellipsis where it is longer
  // than the bar and then shown whole as the bar's tooltip.
  void SetStatusText(const std::string& text);
  std::string StatusText() const { return status_text_; }
  int toolbar_height() const { return toolbar_height_; }
  // The factor the form is drawn at (1 at the standard resolution).
  double factor() const { return factor_; }
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

 private:
  static size_t Index(Command command) { return static_cast<size_t>(command); }
  void BuildToolbar(const IconSet& icons, std::span<const CommandEntry> commands,
                    const std::function<void(Command)>& on_command);
  void BuildMenu(const IconSet& icons, std::span<const CommandEntry> commands,
                 const std::function<void(Command)>& on_command);
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

// The window, once built; every procedure reads and writes the controls here.
MainWindow& Form();
void SetForm(MainWindow* window);

}  // namespace zielwerk

// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/ui/main_window.h"

#include <gtkmm/image.h>
#include <gtkmm/label.h>
#include <gtkmm/menu.h>
#include <gtkmm/separatormenuitem.h>
#include <gtkmm/separatortoolitem.h>

#include <vector>

#include "core/messages/messages.h"

namespace zielwerk {
namespace {

MainWindow* the_window = nullptr;

}  // namespace

MainWindow& Form() { return *the_window; }
void SetForm(MainWindow* window) { the_window = window; }

MainWindow::MainWindow(int x, int y, double factor, const IconSet& icons,
                       std::span<const CommandEntry> commands,
                       std::function<void(Command)> on_command)
    : factor_(factor), normal_x_(x), normal_y_(y) {
  const int width = ScaleLength(kMainWindowWidth, factor);
  const int height = ScaleLength(kMainWindowHeight, factor);
  set_title("Zielwerk");
  set_resizable(false);
  set_type_hint(Gdk::WINDOW_TYPE_HINT_NORMAL);
  move(x, y);
  add(layout_);

  layout_.pack_start(main_menu, false, false);
  layout_.pack_start(main_toolbar, false, false);
  layout_.pack_start(form_area, true, true);
  layout_.pack_start(main_status_bar, false, false);

  BuildToolbar(icons, commands, on_command);
  // The status field spans the whole window width. Its text is cut with an
  // ellipsis where it is longer: asking for its whole width, a long text
  // would make the window, which takes the size its content asks for, grow
  // beyond its fixed width.
  main_status_bar.set_margin_start(0);
  main_status_bar.set_margin_end(0);
  auto* message_area = dynamic_cast<Gtk::Container*>(main_status_bar.get_message_area());
  for (Gtk::Widget* child :
       message_area ? message_area->get_children() : std::vector<Gtk::Widget*>()) {
    if (auto* label = dynamic_cast<Gtk::Label*>(child)) {
      label->set_max_width_chars(1);
      label->set_hexpand(true);
      label->set_halign(Gtk::ALIGN_FILL);
      label->set_xalign(0.0f);
    }
  }
  SetStatusText(std::string(MessageText(Message::kStatusOk)));
  BuildMenu(icons, commands, on_command);

  int minimum = 0, natural = 0;
  main_toolbar.show_all();
  main_toolbar.get_preferred_height(minimum, natural);
  toolbar_height_ = natural;
  int menu_height = 0, status_height = 0;
  main_menu.show_all();
  main_menu.get_preferred_height(minimum, menu_height);
  main_status_bar.show_all();
  main_status_bar.get_preferred_height(minimum, status_height);
  const int form_height = height - menu_height - toolbar_height_ - status_height;
  form_layout_ = PlatformFormLayout(toolbar_height_, form_height, factor_);
  form_area.get_style_context()->add_class("zw-form");
  BuildControls(form_area, form_layout_, factor_);
  form_area.set_size_request(width, form_height);
  show_all();
}

void MainWindow::PositionToStore(int& x, int& y) {
  if (!minimised_) get_position(normal_x_, normal_y_);
  x = normal_x_;
  y = normal_y_;
}

bool MainWindow::on_window_state_event(GdkEventWindowState* event) {
  minimised_ = (event->new_window_state & GDK_WINDOW_STATE_ICONIFIED) != 0;
  return Gtk::Window::on_window_state_event(event);
}

// Every move of the window while it is shown normally is remembered, so that
// a minimised window can still tell where it was.
bool MainWindow::on_configure_event(GdkEventConfigure* event) {
  if (!minimised_) get_position(normal_x_, normal_y_);
  return Gtk::Window::on_configure_event(event);
}

void MainWindow::SetStatusText(const std::string& text) {
  status_text_ = text;
  main_status_bar.remove_all_messages();
  main_status_bar.push(text);
  // The bar has room for one line; a longer text (a port's reason with what
  // to do) is cut with an ellipsis there and shown whole as its tooltip.
  const Gtk::Widget* field = main_status_bar.get_message_area();
  const int room = field && field->get_allocated_width() > 1
                       ? field->get_allocated_width()
                       : ScaleLength(kMainWindowWidth, factor_);
  int width = 0, height = 0;
  main_status_bar.create_pango_layout(text)->get_pixel_size(width, height);
  if (width > room) {
    main_status_bar.set_tooltip_text(text);
  } else {
    main_status_bar.set_has_tooltip(false);
  }
}

void MainWindow::BuildToolbar(const IconSet& icons, std::span<const CommandEntry> commands,
                              const std::function<void(Command)>& on_command) {
  main_toolbar.set_toolbar_style(Gtk::TOOLBAR_ICONS);
  main_toolbar.set_show_arrow(false);
  int group = 0;
  for (const CommandEntry& entry : commands) {
    if (!entry.tooltip) continue;
    // Separators stand between groups, also when a missing icon has left a
    // group without buttons.
    if (group != 0 && entry.toolbar_group != group) {
      main_toolbar.append(*Gtk::manage(new Gtk::SeparatorToolItem()));
    }
    group = entry.toolbar_group;
    const Glib::RefPtr<Gdk::Pixbuf>& pixbuf = icons[static_cast<size_t>(entry.icon)];
    if (!pixbuf) continue;
    auto* image = Gtk::manage(new Gtk::Image(pixbuf));
    auto* button = Gtk::manage(new Gtk::ToolButton(*image, entry.tooltip));
    button->set_tooltip_text(entry.tooltip);
    button->get_accessible()->set_name(entry.tooltip);
    if (Gtk::Widget* inner = button->get_child()) inner->get_accessible()->set_name(entry.tooltip);
    const Command command = entry.command;
    button->signal_clicked().connect([on_command, command] { on_command(command); });
    main_toolbar.append(*button);
    toolbar_buttons_[Index(command)] = button;
  }
}

void MainWindow::BuildMenu(const IconSet& icons, std::span<const CommandEntry> commands,
                           const std::function<void(Command)>& on_command) {
  Gtk::Menu* menu = nullptr;
  for (const CommandEntry& entry : commands) {
    if (entry.menu_title) {
      auto* title = Gtk::manage(new Gtk::MenuItem(entry.menu_title));
      menu = Gtk::manage(new Gtk::Menu());
      title->set_submenu(*menu);
      main_menu.append(*title);
    }
    auto* item = Gtk::manage(new Gtk::MenuItem());
    auto* box = Gtk::manage(new Gtk::Box(Gtk::ORIENTATION_HORIZONTAL, 6));
    const Glib::RefPtr<Gdk::Pixbuf>& pixbuf = icons[static_cast<size_t>(entry.icon)];
    auto* image = Gtk::manage(pixbuf ? new Gtk::Image(pixbuf) : new Gtk::Image());
    image->set_size_request(pixbuf ? -1 : 24, -1);
    box->pack_start(*image, false, false);
    box->pack_start(*Gtk::manage(new Gtk::Label(entry.menu_text)), false, false);
    item->add(*box);
    item->get_accessible()->set_name(entry.menu_text);
    const Command command = entry.command;
    item->signal_activate().connect([on_command, command] { on_command(command); });
    menu->append(*item);
    menu_items_[Index(command)] = item;
    if (entry.separator_after) menu->append(*Gtk::manage(new Gtk::SeparatorMenuItem()));
  }
}

}  // namespace zielwerk

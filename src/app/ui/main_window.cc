#include "app/ui/main_window.h"

#include <gtkmm/box.h>
#include <gtkmm/menu.h>
#include <gtkmm/separatormenuitem.h>
#include <gtkmm/separatortoolitem.h>
#include <pangomm/attrlist.h>

#include <algorithm>

#include "core/text/font_families.h"

namespace zielwerk {
namespace {

MainWindow* the_window = nullptr;

constexpr const char* kDccAnalogTooltip =
    "Aus = Laufschrift wird nicht umgekehrt, DCC/Analog = Laufschrift wird entsprechend der "
    "Fahrtrichtung umgekehrt, Automatisch = Umschaltung DCC/Analog automatisch";

Pango::FontDescription PreviewFont() {
  Pango::FontDescription font;
  font.set_family(kPreviewFontFamilies);
  font.set_weight(Pango::WEIGHT_BOLD);
  font.set_size(14 * PANGO_SCALE);
  return font;
}

void SetPreviewFont(Gtk::Label& label) {
  Pango::AttrList attributes;
  auto font = Pango::Attribute::create_attr_font_desc(PreviewFont());
  attributes.insert(font);
  label.set_attributes(attributes);
}

// A check box whose text is cut with an ellipsis rather than overflowing
// when the desktop font is too wide for its fixed width.
void InitCheck(Gtk::CheckButton& check, const char* text) {
  check.set_label(text);
  if (auto* label = dynamic_cast<Gtk::Label*>(check.get_child())) {
    label->set_ellipsize(Pango::ELLIPSIZE_END);
  }
}

// A selection list whose text has no padding of its own beyond the button's:
// the text renderer's default 2 pixels on each side would make the list 23
// pixels high and DccAnalogCombo too wide for "Automatisch".
void InitCombo(Gtk::ComboBox& combo) {
  for (Gtk::CellRenderer* cell : combo.get_cells()) {
    cell->property_xpad() = 0;
    cell->property_ypad() = 0;
  }
}

void InitLabel(Gtk::Label& label, const char* text, bool right_aligned = false) {
  label.set_text(text);
  label.set_xalign(right_aligned ? 1.0f : 0.0f);
  label.set_yalign(0.0f);
  label.set_justify(right_aligned ? Gtk::JUSTIFY_RIGHT : Gtk::JUSTIFY_LEFT);
  label.set_line_wrap(true);
}

}  // namespace

void SelectEntry(Gtk::ComboBox& combo, int64_t index) {
  const auto count = static_cast<int64_t>(combo.get_model()->children().size());
  combo.set_active(index >= 0 && index < count ? static_cast<int>(index) : -1);
}

int SelectedEntry(const Gtk::ComboBox& combo) { return combo.get_active_row_number(); }

MainWindow& Form() { return *the_window; }
void SetForm(MainWindow* window) { the_window = window; }

void FormArea::Place(Gtk::Widget& widget, int x, int y, int width, int height) {
  widget.set_size_request(width, height);
  put(widget, x, y);
  placements_.push_back({&widget, Gdk::Rectangle(x, y, width, height)});
}

void FormArea::Resize(Gtk::Widget& widget, int width, int height) {
  for (Placement& placement : placements_) {
    if (placement.widget != &widget) continue;
    placement.rect.set_width(width);
    placement.rect.set_height(height);
    widget.set_size_request(width, height);
    queue_resize();
  }
}

// The form asks for the extent of its rectangles and nothing more. A plain
// Gtk::Fixed asks for room for each child's natural size, so a long station
// name in a wrapping preview text would widen the window, which has no
// resizable size of its own and follows its content.
Gtk::SizeRequestMode FormArea::get_request_mode_vfunc() const {
  return Gtk::SIZE_REQUEST_CONSTANT_SIZE;
}

void FormArea::get_preferred_width_vfunc(int& minimum, int& natural) const {
  minimum = 0;
  for (const Placement& placement : placements_) {
    minimum = std::max(minimum, placement.rect.get_x() + placement.rect.get_width());
  }
  natural = minimum;
}

void FormArea::get_preferred_height_vfunc(int& minimum, int& natural) const {
  minimum = 0;
  for (const Placement& placement : placements_) {
    minimum = std::max(minimum, placement.rect.get_y() + placement.rect.get_height());
  }
  natural = minimum;
}

bool FormArea::on_draw(const Cairo::RefPtr<Cairo::Context>& cr) {
  // Each child is drawn clipped to its own rectangle, as the controls of the
  // form never overlap their neighbours: a station name that wraps in a
  // preview text, or a theme whose shadows reach beyond a button, stays
  // within the control's box. Children are drawn in the order they were put,
  // so a later one lies above an earlier one.
  for (const Placement& placement : placements_) {
    if (!placement.widget->get_visible()) continue;
    cr->save();
    cr->rectangle(placement.rect.get_x(), placement.rect.get_y(), placement.rect.get_width(),
                  placement.rect.get_height());
    cr->clip();
    propagate_draw(*placement.widget, cr);
    cr->restore();
  }
  return true;
}

void FormArea::on_size_allocate(Gtk::Allocation& allocation) {
  // Each child is allocated once, at its own rectangle. Letting the base
  // class first allocate them at their natural sizes would reallocate and
  // redraw the whole form twice on every preview tick.
  set_allocation(allocation);
  for (const Placement& placement : placements_) {
    if (!placement.widget->get_visible()) continue;
    Gtk::Requisition minimum, natural;
    placement.widget->get_preferred_size(minimum, natural);
    Gtk::Allocation child(allocation.get_x() + placement.rect.get_x(),
                          allocation.get_y() + placement.rect.get_y(), placement.rect.get_width(),
                          placement.rect.get_height());
    placement.widget->size_allocate(child);
  }
}

MainWindow::MainWindow(int x, int y, int width, int height, const IconSet& icons,
                       std::span<const CommandEntry> commands,
                       std::function<void(Command)> on_command) {
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
  // The status field spans the whole window width.
  main_status_bar.set_margin_start(0);
  main_status_bar.set_margin_end(0);
  SetStatusText("Ok");
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
  BuildControls(PlatformFormLayout(toolbar_height_, form_height));
  form_area.set_size_request(width, form_height);
  show_all();
}

void MainWindow::SetStatusText(const std::string& text) {
  status_text_ = text;
  main_status_bar.remove_all_messages();
  main_status_bar.push(text);
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

void MainWindow::BuildControls(const FormLayout& layout) {
  form_area.get_style_context()->add_class("zw-form");
  const auto place = [&](Gtk::Widget& widget, FormControl control) {
    const FormRect& rect = layout[static_cast<size_t>(control)];
    form_area.Place(widget, rect.x, rect.y, rect.width, rect.height);
  };

  display_frame.set_label("Display");
  place(display_frame, FormControl::kDisplayFrame);
  InitLabel(preview_start_text, "St. Moritz");
  place(preview_start_text, FormControl::kPreviewStartText);
  SetPreviewFont(preview_start_text);
  preview_scroll_text.set_text("Lauftext");
  place(preview_scroll_text, FormControl::kPreviewScrollText);
  preview_scroll_text.SetFont(PreviewFont());
  InitLabel(preview_end_text, "Tirano");
  place(preview_end_text, FormControl::kPreviewEndText);
  SetPreviewFont(preview_end_text);
  place(car_number_spin, FormControl::kCarNumberSpin);
  train_picture_image.set_halign(Gtk::ALIGN_START);
  train_picture_image.set_valign(Gtk::ALIGN_START);
  place(train_picture_image, FormControl::kTrainPictureImage);
  InitCombo(start_mode_combo);
  place(start_mode_combo, FormControl::kStartModeCombo);
  place(start_time_spin, FormControl::kStartTimeSpin);
  InitLabel(start_time_label, "Anzeigedauer [ms]:", true);
  place(start_time_label, FormControl::kStartTimeLabel);
  InitLabel(end_time_label, "Anzeigedauer [ms]:", true);
  place(end_time_label, FormControl::kEndTimeLabel);
  InitCombo(end_mode_combo);
  place(end_mode_combo, FormControl::kEndModeCombo);
  place(end_time_spin, FormControl::kEndTimeSpin);
  InitCheck(hide_car_number_check, "keine Wagennummer anzeigen");
  place(hide_car_number_check, FormControl::kHideCarNumberCheck);
  place(scroll_text_field, FormControl::kScrollTextField);
  InitLabel(scroll_text_label, "Lauftext (Zwischenstationen - durch Bindestriche getrennt):");
  place(scroll_text_label, FormControl::kScrollTextLabel);
  InitCombo(dcc_analog_combo);
  place(dcc_analog_combo, FormControl::kDccAnalogCombo);
  dcc_analog_combo.set_tooltip_text(kDccAnalogTooltip);
  InitCombo(train_type_combo);
  place(train_type_combo, FormControl::kTrainTypeCombo);
  InitLabel(preview_car_number_text, "");
  place(preview_car_number_text, FormControl::kPreviewCarNumberText);
  SetPreviewFont(preview_car_number_text);
  port_frame.set_label("COM-Port");
  place(port_frame, FormControl::kPortFrame);
  InitCombo(port_combo);
  port_combo.get_entry()->set_width_chars(1);
  place(port_combo, FormControl::kPortCombo);
  port_button.set_label("Öffnen");
  place(port_button, FormControl::kPortButton);
  start_mode_frame.set_label("Modus Lauftext einblenden:");
  place(start_mode_frame, FormControl::kStartModeFrame);
  end_mode_frame.set_label("Modus Lauftext ausblenden:");
  place(end_mode_frame, FormControl::kEndModeFrame);
  car_number_frame.set_label("Wagennummer:");
  place(car_number_frame, FormControl::kCarNumberFrame);
  train_type_frame.set_label("Zugtyp:");
  place(train_type_frame, FormControl::kTrainTypeFrame);
  InitLabel(start_mode_label, "Anzeigemodus:");
  place(start_mode_label, FormControl::kStartModeLabel);
  place(start_station_field, FormControl::kStartStationField);
  InitLabel(start_station_label, "Anfangsstation:");
  place(start_station_label, FormControl::kStartStationLabel);
  place(end_station_field, FormControl::kEndStationField);
  InitLabel(end_mode_label, "Anzeigemodus:");
  place(end_mode_label, FormControl::kEndModeLabel);
  InitLabel(end_station_label, "Endstation:");
  place(end_station_label, FormControl::kEndStationLabel);
  dcc_analog_frame.set_label("DCC/Analog:");
  place(dcc_analog_frame, FormControl::kDccAnalogFrame);
  place(dcc_address_spin, FormControl::kDccAddressSpin);
  InitLabel(dcc_address_label, "DCC-Adresse:");
  place(dcc_address_label, FormControl::kDccAddressLabel);
  reset_button.set_label("Reset");
  place(reset_button, FormControl::kResetButton);
  InitLabel(display_label, "Display:");
  // "Display:" is 52 pixels wide in DejaVu Sans 10 but inks only 50 of them,
  // one blank column on either side: centred on its 50-pixel box, all its ink
  // lies inside the box, where left-aligned the colon would run into
  // ResetButton.
  display_label.set_xalign(0.5f);
  place(display_label, FormControl::kDisplayLabel);
  InitCheck(invert_direction_check, "Fahrtrichtung invertieren");
  place(invert_direction_check, FormControl::kInvertDirectionCheck);

  // Accessible names for the controls that have no label of their own.
  scroll_text_field.get_accessible()->set_name("Lauftext");
  start_station_field.get_accessible()->set_name("Anfangsstation");
  end_station_field.get_accessible()->set_name("Endstation");
  dcc_address_spin.entry().get_accessible()->set_name("DCC-Adresse");
  start_time_spin.entry().get_accessible()->set_name("Anzeigedauer Anfang");
  end_time_spin.entry().get_accessible()->set_name("Anzeigedauer Ende");
  car_number_spin.entry().get_accessible()->set_name("Wagennummer");
  dcc_analog_combo.get_accessible()->set_name("DCC/Analog");
  train_type_combo.get_accessible()->set_name("Zugtyp");
  start_mode_combo.get_accessible()->set_name("Modus Lauftext einblenden");
  end_mode_combo.get_accessible()->set_name("Modus Lauftext ausblenden");
  port_combo.get_accessible()->set_name("COM-Port");
}

}  // namespace zielwerk

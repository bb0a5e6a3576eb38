// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/ui/main_window.h"

#include <gtkmm/box.h>
#include <gtkmm/menu.h>
#include <gtkmm/separatormenuitem.h>
#include <gtkmm/separatortoolitem.h>
#include <gtkmm/settings.h>
#include <pango/pangocairo.h>
#include <pangomm/attrlist.h>

#include <algorithm>

#include "core/layout/window_placement.h"
#include "core/settings/settings_keys.h"
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

// What a control is made as, beyond its class.
enum class ControlKind {
  kFrame,          // a frame with its title
  kLabel,          // a wrapping label, left-aligned
  kRightLabel,     // the same, right-aligned
  kPreviewLabel,   // a label in the preview font
  kPreviewRunning, // the running line of the preview, in the preview font
  kPicture,        // the train picture, drawn from the top left
  kCombo,          // a selection list
  kCheck,          // a check box with its text
  kButton,         // a push or toggle button with its text
  kPlain,          // a spin field or an entry, as it comes
};

// One control of the form: its place in the layout (FormControl, the order
// in which the controls are created and drawn), its kind, its text, and the
// name assistive technology reads for a control without a label of its own.
struct ControlEntry {
  FormControl control;
  ControlKind kind;
  const char* text;
  const char* accessible_name;
  Gtk::Widget& (*widget)(MainWindow&);
};

template <auto member>
Gtk::Widget& Member(MainWindow& window) {
  return window.*member;
}

// The form names its fields as the settings file names their keys; a field's
// label is its key with a colon ("Zugtyp:").
template <const std::string_view& key>
constexpr auto kKeyLabel = [] {
  std::array<char, key.size() + 2> text{};
  std::copy(key.begin(), key.end(), text.begin());
  text[key.size()] = ':';
  return text;
}();

using K = ControlKind;
using F = FormControl;
using W = MainWindow;

constexpr std::array<ControlEntry, kFormControlCount> kControls = {{
    {F::kDisplayFrame, K::kFrame, "Display", nullptr, Member<&W::display_frame>},
    {F::kPreviewStartText, K::kPreviewLabel, "St. Moritz", nullptr, Member<&W::preview_start_text>},
    {F::kPreviewScrollText, K::kPreviewRunning, "Lauftext", nullptr,
     Member<&W::preview_scroll_text>},
    {F::kPreviewEndText, K::kPreviewLabel, "Tirano", nullptr, Member<&W::preview_end_text>},
    {F::kCarNumberSpin, K::kPlain, nullptr, kKeyCarNumber.data(), Member<&W::car_number_spin>},
    {F::kTrainPictureImage, K::kPicture, nullptr, nullptr, Member<&W::train_picture_image>},
    {F::kStartModeCombo, K::kCombo, nullptr, "Modus Lauftext einblenden",
     Member<&W::start_mode_combo>},
    {F::kStartTimeSpin, K::kPlain, nullptr, "Anzeigedauer Anfang", Member<&W::start_time_spin>},
    {F::kStartTimeLabel, K::kRightLabel, "Anzeigedauer [ms]:", nullptr,
     Member<&W::start_time_label>},
    {F::kEndTimeLabel, K::kRightLabel, "Anzeigedauer [ms]:", nullptr, Member<&W::end_time_label>},
    {F::kEndModeCombo, K::kCombo, nullptr, "Modus Lauftext ausblenden", Member<&W::end_mode_combo>},
    {F::kEndTimeSpin, K::kPlain, nullptr, "Anzeigedauer Ende", Member<&W::end_time_spin>},
    {F::kHideCarNumberCheck, K::kCheck, kKeyHideCarNumber.data(), nullptr,
     Member<&W::hide_car_number_check>},
    {F::kScrollTextField, K::kPlain, nullptr, "Lauftext", Member<&W::scroll_text_field>},
    {F::kScrollTextLabel, K::kLabel, "Lauftext (Zwischenstationen - durch Bindestriche getrennt):",
     nullptr, Member<&W::scroll_text_label>},
    {F::kDccAnalogCombo, K::kCombo, nullptr, kKeyDccAnalog.data(), Member<&W::dcc_analog_combo>},
    {F::kTrainTypeCombo, K::kCombo, nullptr, kKeyTrainType.data(), Member<&W::train_type_combo>},
    {F::kPreviewCarNumberText, K::kPreviewLabel, "", nullptr,
     Member<&W::preview_car_number_text>},
    {F::kPortFrame, K::kFrame, "COM-Port", nullptr, Member<&W::port_frame>},
    {F::kPortCombo, K::kCombo, nullptr, "COM-Port", Member<&W::port_combo>},
    {F::kPortButton, K::kButton, "Öffnen", nullptr, Member<&W::port_button>},
    {F::kStartModeFrame, K::kFrame, "Modus Lauftext einblenden:", nullptr,
     Member<&W::start_mode_frame>},
    {F::kEndModeFrame, K::kFrame, "Modus Lauftext ausblenden:", nullptr,
     Member<&W::end_mode_frame>},
    {F::kCarNumberFrame, K::kFrame, kKeyLabel<kKeyCarNumber>.data(), nullptr,
     Member<&W::car_number_frame>},
    {F::kTrainTypeFrame, K::kFrame, kKeyLabel<kKeyTrainType>.data(), nullptr,
     Member<&W::train_type_frame>},
    {F::kStartModeLabel, K::kLabel, "Anzeigemodus:", nullptr, Member<&W::start_mode_label>},
    {F::kStartStationField, K::kPlain, nullptr, kKeyStartStation.data(),
     Member<&W::start_station_field>},
    {F::kStartStationLabel, K::kLabel, kKeyLabel<kKeyStartStation>.data(), nullptr,
     Member<&W::start_station_label>},
    {F::kEndStationField, K::kPlain, nullptr, kKeyEndStation.data(), Member<&W::end_station_field>},
    {F::kEndModeLabel, K::kLabel, "Anzeigemodus:", nullptr, Member<&W::end_mode_label>},
    {F::kEndStationLabel, K::kLabel, kKeyLabel<kKeyEndStation>.data(), nullptr,
     Member<&W::end_station_label>},
    {F::kDccAnalogFrame, K::kFrame, kKeyLabel<kKeyDccAnalog>.data(), nullptr,
     Member<&W::dcc_analog_frame>},
    {F::kDccAddressSpin, K::kPlain, nullptr, kKeyDccAddress.data(), Member<&W::dcc_address_spin>},
    {F::kDccAddressLabel, K::kLabel, kKeyLabel<kKeyDccAddress>.data(), nullptr,
     Member<&W::dcc_address_label>},
    {F::kResetButton, K::kButton, "Reset", nullptr, Member<&W::reset_button>},
    {F::kDisplayLabel, K::kLabel, "Display:", nullptr, Member<&W::display_label>},
    {F::kInvertDirectionCheck, K::kCheck, kKeyInvertDirection.data(), nullptr,
     Member<&W::invert_direction_check>},
}};

// The table is indexed by FormControl, as the layout is.
constexpr bool InLayoutOrder() {
  for (size_t i = 0; i < kControls.size(); ++i) {
    if (static_cast<size_t>(kControls[i].control) != i) return false;
  }
  return true;
}
static_assert(InLayoutOrder());

void InitControl(Gtk::Widget& widget, ControlKind kind, const char* text) {
  switch (kind) {
    case ControlKind::kFrame:
      dynamic_cast<Gtk::Frame&>(widget).set_label(text);
      break;
    case ControlKind::kLabel:
    case ControlKind::kRightLabel:
      InitLabel(dynamic_cast<Gtk::Label&>(widget), text, kind == ControlKind::kRightLabel);
      break;
    case ControlKind::kPreviewLabel: {
      auto& label = dynamic_cast<Gtk::Label&>(widget);
      InitLabel(label, text);
      SetPreviewFont(label);
      break;
    }
    case ControlKind::kPreviewRunning: {
      auto& running = dynamic_cast<PreviewText&>(widget);
      running.set_text(text);
      running.SetFont(PreviewFont());
      break;
    }
    case ControlKind::kPicture:
      widget.set_halign(Gtk::ALIGN_START);
      widget.set_valign(Gtk::ALIGN_START);
      break;
    case ControlKind::kCombo:
      InitCombo(dynamic_cast<Gtk::ComboBox&>(widget));
      break;
    case ControlKind::kCheck:
      InitCheck(dynamic_cast<Gtk::CheckButton&>(widget), text);
      break;
    case ControlKind::kButton:
      dynamic_cast<Gtk::Button&>(widget).set_label(text);
      break;
    case ControlKind::kPlain:
      break;
  }
}

// How wide `text` is laid out in `font` at `resolution`, in pixels.
int TextWidth(const Glib::RefPtr<Pango::Context>& context, double resolution,
              const Pango::FontDescription& font, const Glib::ustring& text) {
  pango_cairo_context_set_resolution(context->gobj(), resolution);
  const Glib::RefPtr<Pango::Layout> layout = Pango::Layout::create(context);
  layout->set_font_description(font);
  layout->set_text(text);
  int width = 0, height = 0;
  layout->get_pixel_size(width, height);
  return width;
}

}  // namespace

double FormTextGrowth() {
  GdkScreen* screen = gdk_screen_get_default();
  const double resolution = gdk_screen_get_resolution(screen);
  if (!(resolution > kStandardResolution)) return 1.0;
  const Glib::RefPtr<Pango::Context> context = Glib::wrap(gdk_pango_context_get_for_screen(screen));
  const Pango::FontDescription desktop_font(
      Gtk::Settings::get_default()->property_gtk_font_name().get_value());
  double growth = resolution / kStandardResolution;
  const auto grow_for = [&](const Pango::FontDescription& font, const Glib::ustring& text) {
    const int standard = TextWidth(context, kStandardResolution, font, text);
    if (standard > 0) {
      growth = std::max(growth, static_cast<double>(TextWidth(context, resolution, font, text)) /
                                    standard);
    }
  };
  for (const ControlEntry& entry : kControls) {
    if (entry.text == nullptr || *entry.text == '\0') continue;
    const bool preview =
        entry.kind == ControlKind::kPreviewLabel || entry.kind == ControlKind::kPreviewRunning;
    grow_for(preview ? PreviewFont() : desktop_font, entry.text);
  }
  // A list is as wide as its widest entry; the others have room to spare.
  const auto grow_for_list = [&](const auto& entries) {
    Glib::ustring widest;
    int widest_width = -1;
    for (std::string_view entry : entries) {
      const Glib::ustring text{std::string(entry)};
      const int width = TextWidth(context, kStandardResolution, desktop_font, text);
      if (width > widest_width) {
        widest = text;
        widest_width = width;
      }
    }
    grow_for(desktop_font, widest);
  };
  grow_for_list(kDccAnalogEntries);
  grow_for_list(kTrainTypeEntries);
  grow_for_list(kStartModeEntries);
  grow_for_list(kEndModeEntries);
  return growth;
}

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
  // so a later one lies above an earlier one. A child outside the area being
  // redrawn is skipped: a preview tick redraws one line of text, not the form.
  double clip_left = 0, clip_top = 0, clip_right = 0, clip_bottom = 0;
  cr->get_clip_extents(clip_left, clip_top, clip_right, clip_bottom);
  for (const Placement& placement : placements_) {
    if (!placement.widget->get_visible()) continue;
    const Gdk::Rectangle& rect = placement.rect;
    if (rect.get_x() >= clip_right || rect.get_x() + rect.get_width() <= clip_left ||
        rect.get_y() >= clip_bottom || rect.get_y() + rect.get_height() <= clip_top) {
      continue;
    }
    cr->save();
    cr->rectangle(rect.get_x(), rect.get_y(), rect.get_width(), rect.get_height());
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

bool FormArea::on_focus(Gtk::DirectionType direction) {
  const bool forward = direction == Gtk::DIR_TAB_FORWARD;
  if (tab_order_.empty() || (!forward && direction != Gtk::DIR_TAB_BACKWARD)) {
    return Gtk::Fixed::on_focus(direction);
  }
  // Each control of the form is one stop (a combo box with its entry too;
  // the spin fields' arrows take no focus), so Tab moves on to the next.
  Gtk::Widget* current = get_focus_child();
  const auto at = std::find(tab_order_.begin(), tab_order_.end(), current);
  const auto size = static_cast<std::ptrdiff_t>(tab_order_.size());
  std::ptrdiff_t index = at == tab_order_.end() ? (forward ? -1 : size) : at - tab_order_.begin();
  for (index += forward ? 1 : -1; index >= 0 && index < size; index += forward ? 1 : -1) {
    Gtk::Widget* next = tab_order_[static_cast<size_t>(index)];
    if (next->get_visible() && next->is_sensitive() && next->child_focus(direction)) return true;
  }
  return false;
}

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
  BuildControls(PlatformFormLayout(toolbar_height_, form_height, factor_));
  form_area.set_size_request(width, form_height);
  show_all();
}

Gtk::Widget& MainWindow::control(FormControl control) {
  return kControls[static_cast<size_t>(control)].widget(*this);
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

void MainWindow::BuildControls(const FormLayout& layout) {
  form_layout_ = layout;
  form_area.get_style_context()->add_class("zw-form");
  for (size_t i = 0; i < kControls.size(); ++i) {
    const ControlEntry& entry = kControls[i];
    Gtk::Widget& widget = entry.widget(*this);
    InitControl(widget, entry.kind, entry.text);
    if (entry.accessible_name) {
      auto* spin = dynamic_cast<NumericSpinField*>(&widget);
      Gtk::Widget& named = spin ? static_cast<Gtk::Widget&>(spin->entry()) : widget;
      named.get_accessible()->set_name(entry.accessible_name);
    }
    const FormRect& rect = layout[i];
    form_area.Place(widget, rect.x, rect.y, rect.width, rect.height);
  }
  for (NumericSpinField* spin :
       {&car_number_spin, &start_time_spin, &end_time_spin, &dcc_address_spin}) {
    spin->ShowArrows(factor_);
  }
  std::vector<Gtk::Widget*> tab_order;
  for (const FormControl tab_stop : TabOrder()) tab_order.push_back(&control(tab_stop));
  form_area.SetTabOrder(std::move(tab_order));
  dcc_analog_combo.set_tooltip_text(kDccAnalogTooltip);
  port_combo.get_entry()->set_width_chars(1);
  port_combo.SetDescriptionGap(ScaleLength(12, factor_));
  // "Display:" is 52 pixels wide in DejaVu Sans 10 but inks only 50 of them,
  // one blank column on either side: centred on its 50-pixel box, all its ink
  // lies inside the box, where left-aligned the colon would run into
  // ResetButton.
  display_label.set_xalign(0.5f);
}

}  // namespace zielwerk

// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/ui/form_controls.h"

#include <gtkmm/settings.h>
#include <pango/pangocairo.h>
#include <pangomm/attrlist.h>

#include <algorithm>
#include <array>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/layout/window_placement.h"
#include "core/settings/settings_keys.h"
#include "core/text/font_families.h"

namespace zielwerk {
namespace {

constexpr const char* kDccAnalogTooltip =
    "Aus = Laufschrift wird nicht umgekehrt, DCC/Analog = Laufschrift wird entsprechend der "
    "Fahrtrichtung umgekehrt, Automatisch = Umschaltung DCC/Analog automatisch";

// The preview's texts: 14 points bold, in the first of its families found.
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
  Gtk::Widget& (*widget)(FormControls&);
};

template <auto member>
Gtk::Widget& Member(FormControls& controls) {
  return controls.*member;
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
using C = FormControls;

constexpr std::array<ControlEntry, kFormControlCount> kControls = {{
    {F::kDisplayFrame, K::kFrame, "Display", nullptr, Member<&C::display_frame>},
    {F::kPreviewStartText, K::kPreviewLabel, "St. Moritz", nullptr, Member<&C::preview_start_text>},
    {F::kPreviewScrollText, K::kPreviewRunning, "Lauftext", nullptr,
     Member<&C::preview_scroll_text>},
    {F::kPreviewEndText, K::kPreviewLabel, "Tirano", nullptr, Member<&C::preview_end_text>},
    {F::kCarNumberSpin, K::kPlain, nullptr, kKeyCarNumber.data(), Member<&C::car_number_spin>},
    {F::kTrainPictureImage, K::kPicture, nullptr, nullptr, Member<&C::train_picture_image>},
    {F::kStartModeCombo, K::kCombo, nullptr, "Modus Lauftext einblenden",
     Member<&C::start_mode_combo>},
    {F::kStartTimeSpin, K::kPlain, nullptr, "Anzeigedauer Anfang", Member<&C::start_time_spin>},
    {F::kStartTimeLabel, K::kRightLabel, "Anzeigedauer [ms]:", nullptr,
     Member<&C::start_time_label>},
    {F::kEndTimeLabel, K::kRightLabel, "Anzeigedauer [ms]:", nullptr, Member<&C::end_time_label>},
    {F::kEndModeCombo, K::kCombo, nullptr, "Modus Lauftext ausblenden", Member<&C::end_mode_combo>},
    {F::kEndTimeSpin, K::kPlain, nullptr, "Anzeigedauer Ende", Member<&C::end_time_spin>},
    {F::kHideCarNumberCheck, K::kCheck, kKeyHideCarNumber.data(), nullptr,
     Member<&C::hide_car_number_check>},
    {F::kScrollTextField, K::kPlain, nullptr, "Lauftext", Member<&C::scroll_text_field>},
    {F::kScrollTextLabel, K::kLabel, "Lauftext (Zwischenstationen - durch Bindestriche getrennt):",
     nullptr, Member<&C::scroll_text_label>},
    {F::kDccAnalogCombo, K::kCombo, nullptr, kKeyDccAnalog.data(), Member<&C::dcc_analog_combo>},
    {F::kTrainTypeCombo, K::kCombo, nullptr, kKeyTrainType.data(), Member<&C::train_type_combo>},
    {F::kPreviewCarNumberText, K::kPreviewLabel, "", nullptr,
     Member<&C::preview_car_number_text>},
    {F::kPortFrame, K::kFrame, "COM-Port", nullptr, Member<&C::port_frame>},
    {F::kPortCombo, K::kCombo, nullptr, "COM-Port", Member<&C::port_combo>},
    {F::kPortButton, K::kButton, "Öffnen", nullptr, Member<&C::port_button>},
    {F::kStartModeFrame, K::kFrame, "Modus Lauftext einblenden:", nullptr,
     Member<&C::start_mode_frame>},
    {F::kEndModeFrame, K::kFrame, "Modus Lauftext ausblenden:", nullptr,
     Member<&C::end_mode_frame>},
    {F::kCarNumberFrame, K::kFrame, kKeyLabel<kKeyCarNumber>.data(), nullptr,
     Member<&C::car_number_frame>},
    {F::kTrainTypeFrame, K::kFrame, kKeyLabel<kKeyTrainType>.data(), nullptr,
     Member<&C::train_type_frame>},
    {F::kStartModeLabel, K::kLabel, "Anzeigemodus:", nullptr, Member<&C::start_mode_label>},
    {F::kStartStationField, K::kPlain, nullptr, kKeyStartStation.data(),
     Member<&C::start_station_field>},
    {F::kStartStationLabel, K::kLabel, kKeyLabel<kKeyStartStation>.data(), nullptr,
     Member<&C::start_station_label>},
    {F::kEndStationField, K::kPlain, nullptr, kKeyEndStation.data(), Member<&C::end_station_field>},
    {F::kEndModeLabel, K::kLabel, "Anzeigemodus:", nullptr, Member<&C::end_mode_label>},
    {F::kEndStationLabel, K::kLabel, kKeyLabel<kKeyEndStation>.data(), nullptr,
     Member<&C::end_station_label>},
    {F::kDccAnalogFrame, K::kFrame, kKeyLabel<kKeyDccAnalog>.data(), nullptr,
     Member<&C::dcc_analog_frame>},
    {F::kDccAddressSpin, K::kPlain, nullptr, kKeyDccAddress.data(), Member<&C::dcc_address_spin>},
    {F::kDccAddressLabel, K::kLabel, kKeyLabel<kKeyDccAddress>.data(), nullptr,
     Member<&C::dcc_address_label>},
    {F::kResetButton, K::kButton, "Reset", nullptr, Member<&C::reset_button>},
    {F::kDisplayLabel, K::kLabel, "Display:", nullptr, Member<&C::display_label>},
    {F::kInvertDirectionCheck, K::kCheck, kKeyInvertDirection.data(), nullptr,
     Member<&C::invert_direction_check>},
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
  combo.set_active(ShownListIndex(index, combo.get_model()->children().size()));
}

int SelectedEntry(const Gtk::ComboBox& combo) { return combo.get_active_row_number(); }

Gtk::Widget& FormControls::control(FormControl control) {
  return kControls[static_cast<size_t>(control)].widget(*this);
}

void FormControls::BuildControls(FormArea& area, const FormLayout& layout, double factor) {
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
    area.Place(widget, rect.x, rect.y, rect.width, rect.height);
  }
  for (NumericSpinField* spin :
       {&car_number_spin, &start_time_spin, &end_time_spin, &dcc_address_spin}) {
    spin->ShowArrows(factor);
  }
  std::vector<Gtk::Widget*> tab_order;
  for (const FormControl tab_stop : TabOrder()) tab_order.push_back(&control(tab_stop));
  area.SetTabOrder(std::move(tab_order));
  dcc_analog_combo.set_tooltip_text(kDccAnalogTooltip);
  port_combo.get_entry()->set_width_chars(1);
  port_combo.SetDescriptionGap(ScaleLength(12, factor));
  // "Display:" is 52 pixels wide in DejaVu Sans 10 but inks only 50 of them,
  // one blank column on either side: centred on its 50-pixel box, all its ink
  // lies inside the box, where left-aligned the colon would run into
  // ResetButton.
  display_label.set_xalign(0.5f);
}

}  // namespace zielwerk

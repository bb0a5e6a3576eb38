// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/ui/spin_field.h"

#include <gtkmm/stylecontext.h>

#include "core/layout/form_layout.h"
#include "core/settings/spin_rule.h"

namespace zielwerk {

void ArrowGlyph::SetHeight(int height) {
  height_ = height;
  set_size_request(2 * height - 1, height);
  queue_draw();
}

bool ArrowGlyph::on_draw(const Cairo::RefPtr<Cairo::Context>& cr) {
  const int width = 2 * height_ - 1;
  const int left = (get_allocated_width() - width) / 2;
  const int top = (get_allocated_height() - height_) / 2;
  const Gdk::RGBA colour = get_style_context()->get_color(get_state_flags());
  cr->set_source_rgba(colour.get_red(), colour.get_green(), colour.get_blue(), colour.get_alpha());
  // Row by row on whole pixels, so that the edges stay sharp steps.
  for (int row = 0; row < height_; ++row) {
    const int half = up_ ? row : height_ - 1 - row;
    cr->rectangle(left + height_ - 1 - half, top + row, 2 * half + 1, 1);
  }
  cr->fill();
  return true;
}

NumericSpinField::NumericSpinField(int64_t minimum, int64_t maximum)
    : Gtk::Box(Gtk::ORIENTATION_HORIZONTAL), minimum_(minimum), maximum_(maximum), value_(minimum) {
  get_style_context()->add_class("zw-spin");
  entry_.set_width_chars(1);
  entry_.set_hexpand(true);
  entry_.set_text(std::to_string(value_));
  pack_start(entry_, true, true);

  // The arrow is the button's only child, styled as the theme styles an
  // image button: set_image would wrap it in an alignment and a box, two
  // widgets more per button for the same picture.
  for (Gtk::Button* button : {&up_, &down_}) {
    button->get_style_context()->add_class("zw-spin-arrow");
    button->get_style_context()->add_class("image-button");
    button->set_can_focus(false);
    button->set_relief(Gtk::RELIEF_NONE);
    button->add(button == &up_ ? up_arrow_ : down_arrow_);
    arrows_.pack_start(*button, true, true);
  }
  up_.get_accessible()->set_name("Erhöhen");
  down_.get_accessible()->set_name("Verringern");
  arrows_.set_homogeneous(true);
  pack_start(arrows_, false, false);

  ShowArrows(1.0);
  entry_.signal_changed().connect(sigc::mem_fun(*this, &NumericSpinField::OnEntryChanged));
  up_.signal_clicked().connect([this] { Step(+1); });
  down_.signal_clicked().connect([this] { Step(-1); });
  UpdateArrows();
}

void NumericSpinField::ShowArrows(double factor) {
  for (ArrowGlyph* arrow : {&up_arrow_, &down_arrow_}) arrow->SetHeight(ScaleLength(4, factor));
}

std::string NumericSpinField::GetText() const { return entry_.get_text(); }

void NumericSpinField::SetText(const std::string& text) {
  const SpinText result = ApplySpinRule(text, minimum_, maximum_);
  if (result.value) value_ = *result.value;
  Show(result.shown);
  UpdateArrows();
}

void NumericSpinField::SetValue(int64_t value) { SetText(std::to_string(value)); }

void NumericSpinField::Show(const std::string& text) {
  if (entry_.get_text() == text) return;
  rewriting_ = true;
  entry_.set_text(text);
  entry_.set_position(-1);
  rewriting_ = false;
}

void NumericSpinField::OnEntryChanged() {
  if (rewriting_) return;
  const SpinText result = ApplySpinRule(entry_.get_text().raw(), minimum_, maximum_);
  if (result.value) value_ = *result.value;
  // The rule's text is shown at once, from inside the entry's own "changed"
  // signal: a typed 12 must read 9 before the next key arrives.
  Show(result.shown);
  UpdateArrows();
  control_event_.emit(ControlEventKind::kChange);
}

void NumericSpinField::Step(int delta) {
  const int64_t next = value_ + delta;
  if (next < minimum_ || next > maximum_) return;
  value_ = next;
  Show(std::to_string(value_));
  UpdateArrows();
  control_event_.emit(ControlEventKind::kStep);
}

void NumericSpinField::UpdateArrows() {
  up_.set_sensitive(value_ < maximum_);
  down_.set_sensitive(value_ > minimum_);
}

}  // namespace zielwerk

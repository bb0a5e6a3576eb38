// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/ui/form_area.h"

#include <algorithm>
#include <cstddef>

namespace zielwerk {

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

}  // namespace zielwerk

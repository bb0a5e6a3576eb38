// SPDX-License-Identifier: GPL-3.0-or-later
// The area the form's controls lie on: fixed rectangles in pixels, each
// control drawn within its own, and a Tab order of its own.
#pragma once

#include <gtkmm/fixed.h>

#include <utility>
#include <vector>

namespace zielwerk {

// Places its children at exactly the rectangles they were put at, whatever
// size the theme or their content asks for, and draws each within its
// rectangle: the form is laid out in fixed pixels.
class FormArea : public Gtk::Fixed {
 public:
  // Puts `widget` at (x, y) with the given size; widgets put later are drawn
  // above those put earlier.
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

}  // namespace zielwerk

// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/support/form_checks.h"

#include <cairomm/context.h>
#include <cairomm/surface.h>
#include <gtest/gtest.h>
#include <gtkmm/combobox.h>
#include <pango/pangocairo.h>

#include <algorithm>
#include <utility>
#include <vector>

#include "core/layout/form_layout.h"

namespace zielwerk::testing {
namespace {

// The labels a control shows: itself, a button's or check box's text, a
// frame's title.
std::vector<Gtk::Label*> LabelsIn(Gtk::Widget& widget) {
  std::vector<Gtk::Label*> labels;
  if (auto* label = dynamic_cast<Gtk::Label*>(&widget)) {
    if (!label->get_text().empty()) labels.push_back(label);
  } else if (auto* container = dynamic_cast<Gtk::Container*>(&widget)) {
    for (Gtk::Widget* child : container->get_children()) {
      for (Gtk::Label* label : LabelsIn(*child)) labels.push_back(label);
    }
  }
  return labels;
}

bool Inside(const FormRect& inner, const FormRect& outer) {
  return inner.x >= outer.x && inner.y >= outer.y &&
         inner.x + inner.width <= outer.x + outer.width &&
         inner.y + inner.height <= outer.y + outer.height;
}

// The pixels `layout` colours when drawn with its top-left corner at (0, 0),
// read from a drawing of it rather than from Pango's ink extents, which some
// font back ends (Windows') widen by a pixel on each side. Empty for a text
// that colours nothing.
Gdk::Rectangle DrawnExtent(const Glib::RefPtr<Pango::Layout>& layout) {
  const Pango::Rectangle ink = layout->get_pixel_ink_extents();
  constexpr int kMargin = 4;
  const int left = ink.get_x() - kMargin;
  const int top = ink.get_y() - kMargin;
  const auto surface = Cairo::ImageSurface::create(Cairo::FORMAT_A8, ink.get_width() + 2 * kMargin,
                                                   ink.get_height() + 2 * kMargin);
  const auto cr = Cairo::Context::create(surface);
  cr->translate(-left, -top);
  pango_cairo_show_layout(cr->cobj(), layout->gobj());
  surface->flush();
  int min_x = surface->get_width(), min_y = surface->get_height(), max_x = -1, max_y = -1;
  for (int y = 0; y < surface->get_height(); ++y) {
    const unsigned char* row = surface->get_data() + y * surface->get_stride();
    for (int x = 0; x < surface->get_width(); ++x) {
      if (row[x] == 0) continue;
      min_x = std::min(min_x, x);
      max_x = std::max(max_x, x);
      min_y = std::min(min_y, y);
      max_y = std::max(max_y, y);
    }
  }
  if (max_x < 0) return Gdk::Rectangle();
  return Gdk::Rectangle(left + min_x, top + min_y, max_x - min_x + 1, max_y - min_y + 1);
}

// What `layout` colours, drawn at (x, y), lies inside `box`, and it colours
// something.
void ExpectDrawnInside(const Glib::RefPtr<Pango::Layout>& layout, int x, int y,
                       const Gtk::Allocation& box) {
  const Gdk::Rectangle drawn = DrawnExtent(layout);
  EXPECT_GT(drawn.get_width(), 0);
  EXPECT_GE(x + drawn.get_x(), box.get_x());
  EXPECT_LE(x + drawn.get_x() + drawn.get_width(), box.get_x() + box.get_width());
  EXPECT_GE(y + drawn.get_y(), box.get_y());
  EXPECT_LE(y + drawn.get_y() + drawn.get_height(), box.get_y() + box.get_height());
}

}  // namespace

void ExpectEveryControlInItsScaledPlace(MainWindow& window) {
  const FormLayout& base = BaseFormLayout();
  const Gtk::Allocation area = window.form_area.get_allocation();
  for (size_t i = 0; i < kFormControlCount; ++i) {
    SCOPED_TRACE(i);
    const auto control = static_cast<FormControl>(i);
    const FormRect& place = window.place(control);
    // The base place times the factor, to the pixel that rounding gives.
    const double factor = window.factor();
    EXPECT_NEAR(place.x, base[i].x * factor, 0.5);
    EXPECT_NEAR(place.width, base[i].width * factor, 1);
    // Rows may lie elsewhere (a band above them, compacted gaps), so the
    // rounding of the height may fall either way.
    EXPECT_NEAR(place.height, base[i].height * factor, 1.5);
    EXPECT_GE(place.y, 0);
    EXPECT_LE(place.y + place.height, area.get_height());
    EXPECT_LE(place.x + place.width, area.get_width());
    for (size_t j = 0; j < kFormControlCount; ++j) {
      if (j != i && Inside(base[i], base[j])) {
        EXPECT_TRUE(Inside(place, window.place(static_cast<FormControl>(j)))) << "frame " << j;
      }
    }
    Gtk::Widget& widget = window.control(control);
    int x = -1, y = -1;
    ASSERT_TRUE(widget.translate_coordinates(window.form_area, 0, 0, x, y));
    EXPECT_EQ(x, place.x);
    EXPECT_EQ(y, place.y);
    EXPECT_EQ(widget.get_allocated_width(), place.width);
    EXPECT_EQ(widget.get_allocated_height(), place.height);
  }
}

void ExpectEveryTextFits(MainWindow& window) {
  int texts = 0;
  for (size_t i = 0; i < kFormControlCount; ++i) {
    SCOPED_TRACE(i);
    const auto control = static_cast<FormControl>(i);
    Gtk::Widget& widget = window.control(control);
    if (auto* combo = dynamic_cast<Gtk::ComboBox*>(&widget)) {
      int minimum = 0, natural = 0;
      combo->get_preferred_width(minimum, natural);
      EXPECT_LE(minimum, window.place(control).width);
      combo->get_preferred_height(minimum, natural);
      EXPECT_LE(minimum, window.place(control).height);
      continue;
    }
    const Gtk::Allocation box = widget.get_allocation();
    for (Gtk::Label* label : LabelsIn(widget)) {
      SCOPED_TRACE(label->get_text());
      ++texts;
      EXPECT_FALSE(pango_layout_is_ellipsized(label->get_layout()->gobj()));
      int x = 0, y = 0;
      label->get_layout_offsets(x, y);
      ExpectDrawnInside(label->get_layout(), x, y, box);
    }
  }
  EXPECT_EQ(texts, 23);
}

void ExpectPreviewLinesWhole(MainWindow& window) {
  const std::pair<Gtk::Widget*, Glib::RefPtr<Pango::Layout>> lines[] = {
      {&window.preview_start_text, window.preview_start_text.get_layout()},
      {&window.preview_scroll_text, window.preview_scroll_text.get_layout()},
      {&window.preview_end_text, window.preview_end_text.get_layout()}};
  int previous_bottom = 0;
  for (const auto& [widget, layout] : lines) {
    SCOPED_TRACE(layout->get_text());
    EXPECT_FALSE(pango_layout_is_ellipsized(layout->gobj()));
    EXPECT_EQ(layout->get_line_count(), 1);
    // A label says where its text starts; the running line draws its own
    // from its top-left corner.
    const Gtk::Allocation box = widget->get_allocation();
    int x = box.get_x(), y = box.get_y();
    if (auto* label = dynamic_cast<Gtk::Label*>(widget)) label->get_layout_offsets(x, y);
    ExpectDrawnInside(layout, x, y, box);
    const Gdk::Rectangle drawn = DrawnExtent(layout);
    EXPECT_GE(y + drawn.get_y(), previous_bottom) << "overlaps the line above";
    previous_bottom = y + drawn.get_y() + drawn.get_height();
  }
}

}  // namespace zielwerk::testing

// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/ui/preview_text.h"

#include <gtk/gtk.h>

#include "app/ui/window_blit.h"

namespace zielwerk {

PreviewText::PreviewText() {
  accessible_ = get_accessible();
  accessible_->set_role(Atk::ROLE_LABEL);
  line_ = &LineFor(text_);
}

const PreviewText::Line& PreviewText::LineFor(const std::string& text) {
  if (const auto kept = lines_.find(text); kept != lines_.end()) return kept->second;
  if (lines_.size() >= kMaxKeptLines) ForgetLines();
  Line line{create_pango_layout(text), Gdk::Rectangle()};
  line.layout->set_font_description(font_);
  Pango::Rectangle ink, logical;
  line.layout->get_pixel_extents(ink, logical);
  if (ink.get_width() > 0 && ink.get_height() > 0) {
    line.ink = Gdk::Rectangle(ink.get_x() - 1, ink.get_y() - 1, ink.get_width() + 2,
                              ink.get_height() + 2);
  }
  return lines_.emplace(text, std::move(line)).first->second;
}

void PreviewText::ForgetLines() {
  lines_.clear();
  line_ = nullptr;
}

void PreviewText::set_text(const std::string& text) {
  if (text == text_) return;
  // Only what the old and the new text cover changes: the rows above and
  // below the glyphs, where the neighbouring lines of the preview meet this
  // one, are left alone.
  Gdk::Rectangle changed = line_->ink;
  text_ = text;
  line_ = &LineFor(text_);
  if (changed.has_zero_area()) {
    changed = line_->ink;
  } else if (!line_->ink.has_zero_area()) {
    changed.join(line_->ink);
  }
  accessible_->set_name(text_);
  if (!changed.has_zero_area()) Repaint(changed);
}

std::optional<PreviewText::WindowSpot> PreviewText::SpotInWindow() {
  GtkWidget* self = GTK_WIDGET(gobj());
  GtkWidget* toplevel = gtk_widget_get_toplevel(self);
  GdkWindow* window = gtk_widget_get_window(toplevel);
  WindowSpot spot{toplevel, window, 0, 0, get_allocated_width(), get_allocated_height(), 1};
  if (!gtk_widget_is_toplevel(toplevel) || window == nullptr || spot.width <= 0 ||
      spot.height <= 0 ||
      !gtk_widget_translate_coordinates(self, toplevel, 0, 0, &spot.x, &spot.y)) {
    return std::nullopt;
  }
  spot.scale = gdk_window_get_scale_factor(window);
  return spot;
}

void PreviewText::Repaint(const Gdk::Rectangle& area) {
  // Queueing a redraw would, on every tick, run the window's frame cycle
  // (which on X11 asks the server for the window manager's state and sets the
  // frame counter twice), draw the window from the top down into a new
  // offscreen buffer and composite the glyphs there: a round trip and some
  // ten requests to the display server for one line of text. Instead the
  // text is put onto what lies beneath it, taken at GTK's last redraw of this
  // control, and the result copied to the window. Until there is such a
  // backdrop, or while the control cannot be drawn (hidden, the window
  // minimised), the area is left to GTK's next frame.
  const std::optional<WindowSpot> spot = SpotInWindow();
  if (!spot || !backdrop_current_ || backdrop_->get_width() != spot->width * spot->scale ||
      backdrop_->get_height() != spot->height * spot->scale || !get_is_drawable() ||
      !gdk_window_is_viewable(spot->window)) {
    queue_draw_area(area.get_x(), area.get_y(), area.get_width(), area.get_height());
    return;
  }
  bool inside = false;
  const Gdk::Rectangle part =
      Gdk::Rectangle(0, 0, spot->width, spot->height).intersect(area, inside);
  if (!inside) return;

  {
    const auto cr = Cairo::Context::create(canvas_);
    cr->rectangle(part.get_x(), part.get_y(), part.get_width(), part.get_height());
    cr->clip();
    cr->set_operator(Cairo::OPERATOR_SOURCE);
    cr->set_source(backdrop_, 0, 0);
    cr->paint();
    cr->set_operator(Cairo::OPERATOR_OVER);
    get_style_context()->render_layout(cr, 0, 0, line_->layout);
  }
  const int scale = spot->scale;
  const int x = spot->x + part.get_x();
  const int y = spot->y + part.get_y();
  const cairo_rectangle_int_t device_part{part.get_x() * scale, part.get_y() * scale,
                                          part.get_width() * scale, part.get_height() * scale};
  if (BlitToWindow(spot->window, canvas_->cobj(), device_part, x * scale, y * scale)) return;
  const cairo_rectangle_int_t window_part{x, y, part.get_width(), part.get_height()};
  cairo_region_t* region = cairo_region_create_rectangle(&window_part);
  GdkDrawingContext* context = gdk_window_begin_draw_frame(spot->window, region);
  cairo_t* cr = gdk_drawing_context_get_cairo_context(context);
  cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
  cairo_set_source_surface(cr, canvas_->cobj(), spot->x, spot->y);
  cairo_paint(cr);
  gdk_window_end_draw_frame(spot->window, context);
  cairo_region_destroy(region);
}

void PreviewText::TakeBackdrop() {
  backdrop_current_ = false;
  const std::optional<WindowSpot> spot = SpotInWindow();
  if (!spot) return;
  const int width = spot->width * spot->scale;
  const int height = spot->height * spot->scale;
  if (!backdrop_ || backdrop_->get_width() != width || backdrop_->get_height() != height) {
    backdrop_ = Cairo::ImageSurface::create(Cairo::FORMAT_RGB24, width, height);
    canvas_ = Cairo::ImageSurface::create(Cairo::FORMAT_RGB24, width, height);
    cairo_surface_set_device_scale(backdrop_->cobj(), spot->scale, spot->scale);
    cairo_surface_set_device_scale(canvas_->cobj(), spot->scale, spot->scale);
  }
  // The whole window drawn over the control's rectangle, everything in its
  // place and order but this control's text.
  const auto cr = Cairo::Context::create(backdrop_);
  cr->translate(-spot->x, -spot->y);
  cr->rectangle(spot->x, spot->y, spot->width, spot->height);
  cr->clip();
  drawing_backdrop_ = true;
  gtk_widget_draw(spot->toplevel, cr->cobj());
  drawing_backdrop_ = false;
  backdrop_current_ = true;
}

void PreviewText::LayOutAnew() {
  ForgetLines();
  line_ = &LineFor(text_);
  queue_draw();
}

void PreviewText::SetFont(const Pango::FontDescription& font) {
  font_ = font;
  LayOutAnew();
}

void PreviewText::on_style_updated() {
  Gtk::DrawingArea::on_style_updated();
  LayOutAnew();
}

bool PreviewText::on_draw(const Cairo::RefPtr<Cairo::Context>& cr) {
  if (drawing_backdrop_) return true;
  get_style_context()->render_layout(cr, 0, 0, line_->layout);
  // Whatever made GTK redraw this control (the window shown or uncovered, a
  // change of state, of the theme or of a neighbour) may have changed what
  // lies beneath the text too, so it is taken anew. Now is the moment: GTK
  // is drawing the window's frame, its layout is done.
  TakeBackdrop();
  return true;
}

}  // namespace zielwerk

// SPDX-License-Identifier: GPL-3.0-or-later
// The running line of the display preview: one line of text in the preview
// font, drawn without ever changing its size.
#pragma once

#include <atkmm/object.h>
#include <cairomm/surface.h>
#include <gtkmm/drawingarea.h>
#include <pangomm/fontdescription.h>
#include <pangomm/layout.h>

#include <optional>
#include <string>
#include <unordered_map>

namespace zielwerk {

// A label-like control for text that changes ten times a second, at the cost
// of one small copy to the window per change. A Gtk::Label asks the whole
// window for a new layout on every change; this control lays out each text
// once (the running line comes back to the same texts on every pass), keeps
// what the window shows beneath it, and on a change puts that and the new
// text straight onto the window over just the pixels the old and the new text
// cover. It reads as a label with its text as name to assistive technology.
class PreviewText : public Gtk::DrawingArea {
 public:
  PreviewText();

  // Shows `text` (valid UTF-8) from the top-left corner; an unchanged text
  // costs nothing.
  void set_text(const std::string& text);
  const std::string& get_text() const { return text_; }
  // The current text as laid out, drawn from the control's top-left corner.
  Glib::RefPtr<Pango::Layout> get_layout() const { return line_->layout; }
  void SetFont(const Pango::FontDescription& font);

 protected:
  bool on_draw(const Cairo::RefPtr<Cairo::Context>& cr) override;
  void on_style_updated() override;

 private:
  // A text laid out in the control's font, with the rectangle its glyphs
  // cover (widened by a pixel for antialiasing; empty for blanks only).
  struct Line {
    Glib::RefPtr<Pango::Layout> layout;
    Gdk::Rectangle ink;
  };
  // More texts than a running line of several hundred characters shows.
  static constexpr size_t kMaxKeptLines = 512;

  const Line& LineFor(const std::string& text);
  void ForgetLines();
  // Drops the kept layouts and lays the current text out again, after the
  // font or the style changed.
  void LayOutAnew();

  // Where the control lies in its window: the toplevel and its window, the
  // control's top-left corner there, its size, and the window's device
  // pixels per pixel.
  struct WindowSpot {
    GtkWidget* toplevel;
    GdkWindow* window;
    int x, y, width, height, scale;
  };
  // nullopt while the control has no place in a toplevel's window.
  std::optional<WindowSpot> SpotInWindow();
  // Shows the current text over `area` (in the control's coordinates) now.
  void Repaint(const Gdk::Rectangle& area);
  // Draws into `backdrop_` what the window shows beneath the text, in the
  // window's device pixels.
  void TakeBackdrop();

  std::string text_;
  const Line* line_ = nullptr;
  std::unordered_map<std::string, Line> lines_;
  Pango::FontDescription font_;
  // Kept at hand: asking the widget for it wraps it anew on every call.
  Glib::RefPtr<Atk::Object> accessible_;
  // The window beneath the control, without the text, and the control's
  // pixels being put together; both in device pixels.
  Cairo::RefPtr<Cairo::ImageSurface> backdrop_;
  Cairo::RefPtr<Cairo::ImageSurface> canvas_;
  bool backdrop_current_ = false;
  bool drawing_backdrop_ = false;
};

}  // namespace zielwerk

// The running line of the display preview: one line of text in the preview
// font, drawn without ever changing its size.
#pragma once

#include <gtkmm/drawingarea.h>
#include <pangomm/layout.h>

#include <string>

namespace zielwerk {

// A label-like control for text that changes ten times a second. A Gtk::Label
// asks the whole window for a new layout on every change; this control only
// redraws itself. It reads as a label with its text as name to assistive
// technology.
class PreviewText : public Gtk::DrawingArea {
 public:
  PreviewText();

  // Shows `text` (valid UTF-8) from the top-left corner; an unchanged text
  // costs nothing.
  void set_text(const std::string& text);
  const std::string& get_text() const { return text_; }
  void SetFont(const Pango::FontDescription& font);

 protected:
  bool on_draw(const Cairo::RefPtr<Cairo::Context>& cr) override;
  void on_style_updated() override;

 private:
  std::string text_;
  Glib::RefPtr<Pango::Layout> layout_;
};

}  // namespace zielwerk

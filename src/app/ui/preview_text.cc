#include "app/ui/preview_text.h"

#include <atkmm/object.h>

namespace zielwerk {

PreviewText::PreviewText() {
  layout_ = create_pango_layout("");
  get_accessible()->set_role(Atk::ROLE_LABEL);
}

void PreviewText::set_text(const std::string& text) {
  if (text == text_) return;
  text_ = text;
  layout_->set_text(text_);
  get_accessible()->set_name(text_);
  queue_draw();
}

void PreviewText::SetFont(const Pango::FontDescription& font) { layout_->set_font_description(font); }

void PreviewText::on_style_updated() {
  Gtk::DrawingArea::on_style_updated();
  layout_->context_changed();
}

bool PreviewText::on_draw(const Cairo::RefPtr<Cairo::Context>& cr) {
  get_style_context()->render_layout(cr, 0, 0, layout_);
  return true;
}

}  // namespace zielwerk

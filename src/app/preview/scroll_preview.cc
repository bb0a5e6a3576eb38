#include "app/preview/scroll_preview.h"

#include "app/preview/train_pictures.h"
#include "app/ui/main_window.h"
#include "core/preview/scroll_preview.h"

namespace zielwerk {
namespace {

std::string prepared_scroll_text;
PreviewState preview_state;

// Labels are only touched when their text changes, so a standing text costs
// no redraw at all.
void ShowText(Gtk::Label& label, const std::string& text) {
  if (label.get_text().raw() != text) label.set_text(text);
}

}  // namespace

const std::string& PreparedScrollText() { return prepared_scroll_text; }

void RebuildScrollPreview(ControlEventKind) {
  MainWindow& form = Form();
  const bool invert = form.invert_direction_check.get_active();
  const PreviewStations stations = PrepareStations(form.start_station_field.get_text().raw(),
                                                   form.end_station_field.get_text().raw(), invert);
  ShowText(form.preview_start_text, stations.start_text);
  ShowText(form.preview_end_text, stations.end_text);
  prepared_scroll_text = PrepareScrollText(form.scroll_text_field.get_text().raw(), invert);
}

void RefreshPreview(const std::string& picture_path) {
  ApplyPictureSetting(picture_path);
  RebuildScrollPreview(ControlEventKind::kChange);
}

void TickScrollPreview() {
  MainWindow& form = Form();
  const std::string start_time = form.start_time_spin.GetText();
  const std::string end_time = form.end_time_spin.GetText();
  const PreviewTickResult result =
      TickPreview(preview_state, PreviewTickInput{prepared_scroll_text,
                                                  SelectedEntry(form.start_mode_combo), start_time,
                                                  SelectedEntry(form.end_mode_combo), end_time});
  preview_state = result.next;
  form.preview_scroll_text.set_text(result.window);
}

}  // namespace zielwerk

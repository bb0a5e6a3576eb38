// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/preview/scroll_preview.h"

#include "app/preview/train_pictures.h"
#include "app/ui/main_window.h"
#include "core/preview/scroll_preview.h"

namespace zielwerk {
namespace {

std::string prepared_scroll_text;
PreviewState preview_state;

// What the tick reads of the form besides the prepared text: the two modes
// and time fields, copied whenever one of them changes, so that a tick reads
// no widget.
struct TickSettings {
  int start_mode = -1;
  std::string start_time;
  int end_mode = -1;
  std::string end_time;
};
TickSettings tick_settings;

void CopyTickSettings() {
  const MainWindow& form = Form();
  tick_settings = {SelectedEntry(form.start_mode_combo), form.start_time_spin.GetText(),
                   SelectedEntry(form.end_mode_combo), form.end_time_spin.GetText()};
}

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

void FollowTickSettings(MainWindow& form) {
  // Connected to the controls' own signals rather than through the user
  // event dispatch: a value the program sets (a settings file loaded, a
  // field brought into range) counts as much as one the user types.
  form.start_mode_combo.signal_changed().connect(sigc::ptr_fun(&CopyTickSettings));
  form.end_mode_combo.signal_changed().connect(sigc::ptr_fun(&CopyTickSettings));
  form.start_time_spin.entry().signal_changed().connect(sigc::ptr_fun(&CopyTickSettings));
  form.end_time_spin.entry().signal_changed().connect(sigc::ptr_fun(&CopyTickSettings));
  CopyTickSettings();
}

void TickScrollPreview() {
  const PreviewTickResult result = TickPreview(
      preview_state,
      PreviewTickInput{prepared_scroll_text, tick_settings.start_mode, tick_settings.start_time,
                       tick_settings.end_mode, tick_settings.end_time});
  preview_state = result.next;
  Form().preview_scroll_text.set_text(result.window);
}

}  // namespace zielwerk

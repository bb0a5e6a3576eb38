#include "app/settings/settings_file.h"

#include <glibmm/convert.h>

#include "app/preview/scroll_preview.h"
#include "app/preview/train_pictures.h"
#include "app/settings/form_rules.h"
#include "app/ui/main_window.h"
#include "core/ini/ini_store.h"
#include "core/settings/settings_keys.h"
#include "core/settings/settings_path.h"

namespace zielwerk {
namespace {

std::string current_settings_path = "Default.ini";

std::string ReadText(std::string_view key) { return ReadIniText(key, FormDefault(key)); }

int64_t ReadInteger(std::string_view key) {
  return ReadIniInteger(key, std::stoll(std::string(FormDefault(key))));
}

}  // namespace

const std::string& CurrentSettingsPath() { return current_settings_path; }

void SetCurrentSettingsPath(const std::string& path) {
  current_settings_path = path;
  // The real name stays for opening and saving; the title shows it as GLib
  // shows file names, so a name that is not UTF-8 cannot reach the window.
  Form().set_title(WindowTitle(Glib::filename_display_name(path).raw()));
}

void ReadSettingsFile() {
  MainWindow& form = Form();
  OpenIni(current_settings_path);
  form.dcc_address_spin.SetText(ReadText(kKeyDccAddress));
  SelectEntry(form.dcc_analog_combo, ReadInteger(kKeyDccAnalog));
  SelectEntry(form.train_type_combo, ReadInteger(kKeyTrainType));
  ApplyPictureSetting(ReadIniFileName(kKeyPicture, FormDefault(kKeyPicture)));
  form.start_station_field.set_text(ReadText(kKeyStartStation));
  form.scroll_text_field.set_text(ReadText(kKeyScrollText));
  form.end_station_field.set_text(ReadText(kKeyEndStation));
  SelectEntry(form.start_mode_combo, ReadInteger(kKeyStartMode));
  form.start_time_spin.SetText(ReadText(kKeyStartTime));
  SelectEntry(form.end_mode_combo, ReadInteger(kKeyEndMode));
  form.end_time_spin.SetText(ReadText(kKeyEndTime));
  form.car_number_spin.SetValue(ReadInteger(kKeyCarNumber));
  CopyCarNumberToPreview(ControlEventKind::kChange);
  form.hide_car_number_check.set_active(ReadInteger(kKeyHideCarNumber) != 0);
  form.invert_direction_check.set_active(ReadInteger(kKeyInvertDirection) != 0);
  RebuildScrollPreview(ControlEventKind::kChange);
  ApplyCarNumberRule(ControlEventKind::kChange);
  ApplyDccAddressRule(ControlEventKind::kChange);
  ApplyStartTimeRule(ControlEventKind::kChange);
  ApplyEndTimeRule(ControlEventKind::kChange);
  CloseIni();
}

void WriteSettingsFile() {
  MainWindow& form = Form();
  OpenIni(current_settings_path);
  WriteIniText(kKeyDccAddress, form.dcc_address_spin.GetText());
  WriteIniInteger(kKeyDccAnalog, SelectedEntry(form.dcc_analog_combo));
  WriteIniInteger(kKeyTrainType, SelectedEntry(form.train_type_combo));
  WriteIniText(kKeyStartStation, form.start_station_field.get_text().raw());
  WriteIniText(kKeyScrollText, form.scroll_text_field.get_text().raw());
  WriteIniText(kKeyEndStation, form.end_station_field.get_text().raw());
  WriteIniInteger(kKeyStartMode, SelectedEntry(form.start_mode_combo));
  WriteIniText(kKeyStartTime, form.start_time_spin.GetText());
  WriteIniInteger(kKeyEndMode, SelectedEntry(form.end_mode_combo));
  WriteIniText(kKeyEndTime, form.end_time_spin.GetText());
  WriteIniInteger(kKeyCarNumber, form.car_number_spin.GetValue());
  WriteIniInteger(kKeyHideCarNumber, form.hide_car_number_check.get_active() ? 1 : 0);
  WriteIniInteger(kKeyInvertDirection, form.invert_direction_check.get_active() ? 1 : 0);
  CloseIni();
}

}  // namespace zielwerk

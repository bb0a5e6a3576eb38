// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/settings/settings_file.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "app/preview/scroll_preview.h"
#include "app/settings/current_settings.h"
#include "app/settings/form_rules.h"
#include "app/ui/main_window.h"
#include "core/ini/ini_store.h"
#include "core/settings/form_values.h"
#include "core/settings/settings_keys.h"

namespace zielwerk {
namespace {

// The control that holds a form key's value: text keys use `text` and
// `set_text`, integer keys `number` and `set_number`.
struct FormField {
  std::string_view key;
  std::string (*text)(MainWindow&) = nullptr;
  void (*set_text)(MainWindow&, const std::string&) = nullptr;
  int64_t (*number)(MainWindow&) = nullptr;
  void (*set_number)(MainWindow&, int64_t) = nullptr;
};

template <NumericSpinField FormControls::*spin>
constexpr FormField SpinText(std::string_view key) {
  return {key, [](MainWindow& w) { return (w.*spin).GetText(); },
          [](MainWindow& w, const std::string& text) { (w.*spin).SetText(text); }};
}

template <NumericSpinField FormControls::*spin>
constexpr FormField SpinValue(std::string_view key) {
  return {key, nullptr, nullptr, [](MainWindow& w) { return (w.*spin).GetValue(); },
          [](MainWindow& w, int64_t value) { (w.*spin).SetValue(value); }};
}

template <Gtk::Entry FormControls::*field>
constexpr FormField Field(std::string_view key) {
  return {key, [](MainWindow& w) { return (w.*field).get_text().raw(); },
          [](MainWindow& w, const std::string& text) { (w.*field).set_text(text); }};
}

template <Gtk::ComboBoxText FormControls::*combo>
constexpr FormField Combo(std::string_view key) {
  return {key, nullptr, nullptr,
          [](MainWindow& w) -> int64_t { return SelectedEntry(w.*combo); },
          [](MainWindow& w, int64_t index) { SelectEntry(w.*combo, index); }};
}

template <Gtk::CheckButton FormControls::*check>
constexpr FormField Check(std::string_view key) {
  return {key, nullptr, nullptr,
          [](MainWindow& w) -> int64_t { return (w.*check).get_active() ? 1 : 0; },
          [](MainWindow& w, int64_t state) { (w.*check).set_active(state != 0); }};
}

// The form keys in the order of kSettingKeys.
constexpr std::array<FormField, kFormKeyCount> kFormFields = {{
    SpinText<&MainWindow::dcc_address_spin>(kKeyDccAddress),
    Combo<&MainWindow::dcc_analog_combo>(kKeyDccAnalog),
    Combo<&MainWindow::train_type_combo>(kKeyTrainType),
    Field<&MainWindow::start_station_field>(kKeyStartStation),
    Field<&MainWindow::scroll_text_field>(kKeyScrollText),
    Field<&MainWindow::end_station_field>(kKeyEndStation),
    Combo<&MainWindow::start_mode_combo>(kKeyStartMode),
    SpinText<&MainWindow::start_time_spin>(kKeyStartTime),
    Combo<&MainWindow::end_mode_combo>(kKeyEndMode),
    SpinText<&MainWindow::end_time_spin>(kKeyEndTime),
    SpinValue<&MainWindow::car_number_spin>(kKeyCarNumber),
    Check<&MainWindow::hide_car_number_check>(kKeyHideCarNumber),
    Check<&MainWindow::invert_direction_check>(kKeyInvertDirection),
}};

// Each field names its key and is bound the way the key is stored.
constexpr bool FieldsMatchKeys() {
  for (size_t i = 0; i < kFormFields.size(); ++i) {
    const bool text = kSettingKeys[i].kind == SettingKind::kText;
    if (kFormFields[i].key != kSettingKeys[i].key || (kFormFields[i].text != nullptr) != text) {
      return false;
    }
  }
  return true;
}
static_assert(FieldsMatchKeys());

}  // namespace

void ReadSettingsFile() {
  MainWindow& form = Form();
  OpenIni(CurrentSettingsPath());
  const FormValues values = ReadFormValues();
  for (size_t i = 0; i < kFormFields.size(); ++i) {
    const FormField& field = kFormFields[i];
    if (kSettingKeys[i].kind == SettingKind::kText) {
      field.set_text(form, values[i].text);
    } else {
      field.set_number(form, values[i].number);
    }
  }
  const std::string picture_path = ReadIniFileName(kKeyPicture, FormDefault(kKeyPicture));
  const bool is_text = IniFileIsText();
  CloseIni();
  // Setting the controls raised no control event: the preview and the rules
  // follow the new values here.
  RefreshPreview(picture_path);
  ApplyFormRules();
  if (!is_text) form.SetStatusText(std::string(MessageText(Message::kSettingsNotText)));
}

FormValues ShownFormValues() {
  MainWindow& form = Form();
  FormValues values;
  for (size_t i = 0; i < kFormFields.size(); ++i) {
    const FormField& field = kFormFields[i];
    if (kSettingKeys[i].kind == SettingKind::kText) {
      values[i].text = field.text(form);
    } else {
      values[i].number = field.number(form);
    }
  }
  return values;
}

SaveResult WriteSettingsFile(SettingsWrite occasion) {
  // The store decides on the file as it is now, not as it was when read.
  OpenIni(CurrentSettingsPath(), occasion == SettingsWrite::kByUser ? IniWriteBack::kExplicitSave
                                                                    : IniWriteBack::kGuarded);
  const FormValues values = ShownFormValues();
  for (size_t i = 0; i < kFormKeyCount; ++i) {
    const SettingKey& key = kSettingKeys[i];
    if (key.kind == SettingKind::kText) {
      WriteIniText(key.key, values[i].text);
    } else {
      WriteIniInteger(key.key, values[i].number);
    }
  }
  return CloseIni();
}


}  // namespace zielwerk

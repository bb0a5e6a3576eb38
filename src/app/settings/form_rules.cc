// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/settings/form_rules.h"

#include "app/ui/main_window.h"

namespace zielwerk {

void ApplyDccAddressRule(ControlEventKind) {
  const int mode = SelectedEntry(Form().dcc_analog_combo);
  if (mode == 0 || mode == 2) Form().dcc_address_spin.set_sensitive(false);
  if (mode == 1 || mode == 3) Form().dcc_address_spin.set_sensitive(true);
}

void ApplyStartTimeRule(ControlEventKind) {
  const int mode = SelectedEntry(Form().start_mode_combo);
  if (mode != 0 && mode != 1) return;
  Form().start_time_spin.set_sensitive(mode == 0);
  Form().start_time_label.set_sensitive(mode == 0);
}

void ApplyEndTimeRule(ControlEventKind) {
  const int mode = SelectedEntry(Form().end_mode_combo);
  if (mode != 0 && mode != 1) return;
  Form().end_time_spin.set_sensitive(mode == 0);
  Form().end_time_label.set_sensitive(mode == 0);
}

void ApplyCarNumberRule(ControlEventKind) {
  MainWindow& form = Form();
  const bool hidden = form.hide_car_number_check.get_active();
  form.preview_car_number_text.hide();
  // Showing again puts the number back in front of a newly set train picture.
  if (!hidden) form.preview_car_number_text.show();
  form.car_number_spin.set_sensitive(!hidden);
}

void CopyCarNumberToPreview(ControlEventKind) {
  Form().preview_car_number_text.set_text(Form().car_number_spin.GetText());
}

void ApplyFormRules() {
  const auto kind = ControlEventKind::kChange;
  CopyCarNumberToPreview(kind);
  ApplyCarNumberRule(kind);
  ApplyDccAddressRule(kind);
  ApplyStartTimeRule(kind);
  ApplyEndTimeRule(kind);
}

}  // namespace zielwerk

// SPDX-License-Identifier: GPL-3.0-or-later
// What the form shows for a settings file: each key's stored value as its
// control takes it (a spin field brings a number into its range, a list
// shows no entry for an index it lacks, a check box is on or off). The
// window and the command-line sender read a file through this one rule.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "settings/settings_keys.h"

namespace zielwerk {

// The ranges of the form's four spin fields.
struct SpinRange {
  int64_t minimum;
  int64_t maximum;
};
inline constexpr SpinRange kCarNumberRange{1, 9};
inline constexpr SpinRange kShowTimeRange{1, 9999};
inline constexpr SpinRange kDccAddressRange{1, 127};

// The index a selection list of `count` entries shows for the stored
// `index`: the index itself, or -1 (no entry) when the list has no such entry.
int ShownListIndex(int64_t index, size_t count);

// One control's value: a text key's in `text`, an integer key's in `number`.
struct FormValue {
  std::string text;
  int64_t number = 0;
};

// The form keys' values in the order of kSettingKeys.
using FormValues = std::array<FormValue, kFormKeyCount>;

// The values the form shows for the file open in the INI store (see
// OpenIni); a key without a line gives its form default. The spin fields'
// texts follow ApplySpinRule (an empty text stays empty), so these are the
// texts the settings command carries.
FormValues ReadFormValues();

// The value of `key`, one of the form keys.
const FormValue& FormValueOf(const FormValues& values, std::string_view key);

}  // namespace zielwerk

// SPDX-License-Identifier: GPL-3.0-or-later
// The command texts sent to the display (settings and route), and the
// transfers that carry them, the picture's rows and the reset pulse.
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "link/transfer_queue.h"
#include "settings/form_values.h"

namespace zielwerk {

// The values of the form that the settings command carries. Combo boxes give
// their selected index (-1 for none), check boxes 0 or 1, and the three spin
// fields marked "text" the text they show (empty after the user deleted it).
struct SettingsCommandFields {
  int car_number = 1;             // CarNumberSpin's value
  int hide_car_number = 0;        // HideCarNumberCheck
  int train_type = 0;             // TrainTypeCombo
  int start_mode = 0;             // StartModeCombo
  std::string start_time_text = "1000";  // StartTimeSpin's text
  int end_mode = 0;               // EndModeCombo
  std::string end_time_text = "1000";    // EndTimeSpin's text
  int dcc_analog = 0;             // DccAnalogCombo
  std::string dcc_address_text = "4";    // DccAddressSpin's text
  int invert_direction = 0;       // InvertDirectionCheck
};

// The settings command's fields as the form shows them for `values`.
SettingsCommandFields SettingsFieldsOf(const FormValues& values);

// `text` right-aligned in `width` characters, filled on the left with "0";
// a longer text keeps its first `width` characters; "" gives `width` zeros.
std::string PaddedField(std::string_view text, size_t width);

// "!" followed by the ten fields: car number, hide flag, train type and
// run-in mode in decimal, run-in time padded to 4, run-out mode, run-out time
// padded to 4, direction source, DCC address padded to 3, invert flag. With
// the defaults above: "!100010000100000040". A -1 makes it one character longer.
std::string SettingsCommand(const SettingsCommandFields& fields);

// `text` with every "ä" replaced by "#", "ö" by "$" and "ü" by "%"; the
// upper-case umlauts and all other characters stay as they are.
std::string SubstituteUmlauts(std::string_view text);

// The route command: start station, "-", the prepared scroll text, "-", end
// station, with the umlauts substituted. The stations are taken unchanged.
std::string ScrollTextCommand(std::string_view start_station,
                              std::string_view prepared_scroll_text,
                              std::string_view end_station);

// Whether the display takes `command` as a route text: its first character
// has a code of 65 ("A") or more, which every non-ASCII character has. False
// for the empty text.
bool IsAcceptableScrollTextCommand(std::string_view command);

// The settings transfer: one exchange of SettingsCommand(`fields`).
LinkJob SettingsJob(const SettingsCommandFields& fields);

// The route transfer: one exchange of the ScrollTextCommand; nullopt when
// the display would refuse its first character (then nothing is sent,
// whether the port is open or not).
std::optional<LinkJob> ScrollTextJob(std::string_view start_station,
                                     std::string_view prepared_scroll_text,
                                     std::string_view end_station);

// The picture transfer: one exchange per row command, in order, each shown
// as "Bild wird gesendet: Zeile k von n" while it waits for its reply.
LinkJob PictureJob(std::span<const std::string> row_commands);

// The reset: DTR on for kResetPulse, then off; nothing is written.
LinkJob ResetJob();

}  // namespace zielwerk

// SPDX-License-Identifier: GPL-3.0-or-later
// The fourteen keys of a settings file, with how each is stored and what the
// form takes when the key is missing, and the entries of the four selection
// lists whose indices the file stores. Reader, writer, print-out and the
// command description share them.
#pragma once

#include <array>
#include <cstddef>
#include <string_view>

#include "messages/messages.h"

namespace zielwerk {

enum class SettingKind { kText, kInteger };

struct SettingKey {
  std::string_view key;
  SettingKind kind;
  std::string_view form_default;  // decimal text for integer keys
};

// Each key is a string literal, so its data() is a C string as well.
inline constexpr std::string_view kKeyDccAddress = "DCC-Adresse";
inline constexpr std::string_view kKeyDccAnalog = "DCC/Analog";
inline constexpr std::string_view kKeyTrainType = "Zugtyp";
inline constexpr std::string_view kKeyStartStation = "Anfangsstation";
inline constexpr std::string_view kKeyScrollText = "Scrollstring";
inline constexpr std::string_view kKeyEndStation = "Endstation";
inline constexpr std::string_view kKeyStartMode = "Modus Anfang";
inline constexpr std::string_view kKeyStartTime = "Zeit Anfang";
inline constexpr std::string_view kKeyEndMode = "Modus Ende";
inline constexpr std::string_view kKeyEndTime = "Zeit Ende";
inline constexpr std::string_view kKeyCarNumber = "Wagennummer";
inline constexpr std::string_view kKeyHideCarNumber = "keine Wagennummer anzeigen";
inline constexpr std::string_view kKeyInvertDirection = "Fahrtrichtung invertieren";
inline constexpr std::string_view kKeyPicture = "Bild";

// The application config file, in the working folder, and its keys.
inline constexpr std::string_view kAppConfigPath = "Zielstell.ini";
inline constexpr std::string_view kKeyWindowX = "Fensterposition X";
inline constexpr std::string_view kKeyWindowY = "Fensterposition Y";
inline constexpr std::string_view kKeySettingsFile = "Einstellungen";
inline constexpr std::string_view kKeyPort = "COM";
inline constexpr std::string_view kKeyPortName = "COM-Name";

inline constexpr std::string_view kNoPicturePath = "kein_BILD.bmp";
// What the status bar and the print-out say where no custom picture is chosen.

// Whether the value of "Bild" names a custom picture: any value that holds
// kNoPicturePath anywhere (exact case) names none, so "/x/kein_BILD.bmp.old"
// names none either.
constexpr bool NamesCustomPicture(std::string_view picture_path) {
  return picture_path.find(kNoPicturePath) == std::string_view::npos;
}

// The entries of the selection lists, by the index the file stores.
inline constexpr std::array<std::string_view, 4> kDccAnalogEntries = {"Aus", "DCC", "Analog",
                                                                      "Automatisch"};
inline constexpr std::array<std::string_view, 4> kTrainTypeEntries = {
    "BERNINA EXPRESS", "GLACIER EXPRESS", "REGIO EXPRESS", "Bild Zugtyp"};
inline constexpr std::array<std::string_view, 2> kStartModeEntries = {"Reinstampfen",
                                                                      "Reinlaufen"};
inline constexpr std::array<std::string_view, 2> kEndModeEntries = {"Stehenbleiben",
                                                                    "Rauslaufen"};

// In the order the settings writer writes them; "Bild" last, as it is written
// only when a custom picture is chosen. The first kFormKeyCount keys are those
// of the form's controls.
inline constexpr size_t kFormKeyCount = 13;
inline constexpr std::array<SettingKey, kFormKeyCount + 1> kSettingKeys = {{
    {kKeyDccAddress, SettingKind::kText, "4"},
    {kKeyDccAnalog, SettingKind::kInteger, "0"},
    {kKeyTrainType, SettingKind::kInteger, "0"},
    {kKeyStartStation, SettingKind::kText, "St. Moritz"},
    {kKeyScrollText, SettingKind::kText,
     "Pontresina-Morteratsch-Ospizio Bernina-Alp Gr\xC3\xBCm-Poschiavo-Brusio"},
    {kKeyEndStation, SettingKind::kText, "Tirano"},
    {kKeyStartMode, SettingKind::kInteger, "0"},
    {kKeyStartTime, SettingKind::kText, "1000"},
    {kKeyEndMode, SettingKind::kInteger, "0"},
    {kKeyEndTime, SettingKind::kText, "1000"},
    {kKeyCarNumber, SettingKind::kInteger, "1"},
    {kKeyHideCarNumber, SettingKind::kInteger, "0"},
    {kKeyInvertDirection, SettingKind::kInteger, "0"},
    {kKeyPicture, SettingKind::kText, kNoPicturePath},
}};

// The form's default for `key` (one of the constants above).
constexpr std::string_view FormDefault(std::string_view key) {
  for (const SettingKey& entry : kSettingKeys) {
    if (entry.key == key) return entry.form_default;
  }
  return {};
}

}  // namespace zielwerk

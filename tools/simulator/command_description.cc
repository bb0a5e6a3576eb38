// SPDX-License-Identifier: GPL-3.0-or-later
#include "simulator/command_description.h"

#include <cstdio>

#include "picture/picture_bits.h"
#include "settings/settings_keys.h"
#include "text/utf8.h"

namespace zielwerk {
namespace {

constexpr size_t kRowDigits = static_cast<size_t>(kDisplayPictureWidth) / 4;

// Reads a decimal field ("0" to "9", or "-" and a digit) at `at`.
bool TakeDecimal(std::string_view command, size_t& at, int& value) {
  bool negative = false;
  if (at < command.size() && command[at] == '-') {
    negative = true;
    ++at;
  }
  if (at >= command.size() || command[at] < '0' || command[at] > '9') return false;
  value = command[at] - '0';
  if (negative) value = -value;
  ++at;
  return true;
}

bool TakeFixed(std::string_view command, size_t& at, size_t width, std::string& value) {
  if (command.size() - at < width) return false;
  value = std::string(command.substr(at, width));
  at += width;
  return true;
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

template <size_t N>
std::string Named(int value, const std::array<std::string_view, N>& names) {
  std::string text = std::to_string(value);
  if (value == -1) return text + " (keiner gewählt)";
  if (value < 0 || static_cast<size_t>(value) >= N) return text + " (unbekannt)";
  return text + " (" + std::string(names[static_cast<size_t>(value)]) + ")";
}

std::string Field(std::string_view key, std::string_view value) {
  return std::string(key) + ": " + std::string(value);
}

std::vector<std::string> DescribeSettings(const SettingsCommandFields& fields) {
  constexpr std::array<std::string_view, 2> kShown = {"angezeigt", "ausgeblendet"};
  constexpr std::array<std::string_view, 2> kNoYes = {"nein", "ja"};
  return {
      "Einstellungen",
      Field(kKeyCarNumber, std::to_string(fields.car_number)),
      Field(kKeyHideCarNumber, Named(fields.hide_car_number, kShown)),
      Field(kKeyTrainType, Named(fields.train_type, kTrainTypeEntries)),
      Field(kKeyStartMode, Named(fields.start_mode, kStartModeEntries)),
      Field(kKeyStartTime, ReadableBytes(fields.start_time_text) + " ms"),
      Field(kKeyEndMode, Named(fields.end_mode, kEndModeEntries)),
      Field(kKeyEndTime, ReadableBytes(fields.end_time_text) + " ms"),
      Field(kKeyDccAnalog, Named(fields.dcc_analog, kDccAnalogEntries)),
      Field(kKeyDccAddress, ReadableBytes(fields.dcc_address_text)),
      Field(kKeyInvertDirection, Named(fields.invert_direction, kNoYes)),
  };
}

}  // namespace

std::optional<SettingsCommandFields> ParseSettingsCommand(std::string_view command) {
  if (command.empty() || command.front() != '!') return std::nullopt;
  SettingsCommandFields fields;
  size_t at = 1;
  const bool complete = TakeDecimal(command, at, fields.car_number) &&
                        TakeDecimal(command, at, fields.hide_car_number) &&
                        TakeDecimal(command, at, fields.train_type) &&
                        TakeDecimal(command, at, fields.start_mode) &&
                        TakeFixed(command, at, 4, fields.start_time_text) &&
                        TakeDecimal(command, at, fields.end_mode) &&
                        TakeFixed(command, at, 4, fields.end_time_text) &&
                        TakeDecimal(command, at, fields.dcc_analog) &&
                        TakeFixed(command, at, 3, fields.dcc_address_text) &&
                        TakeDecimal(command, at, fields.invert_direction);
  if (!complete || at != command.size()) return std::nullopt;
  return fields;
}

std::optional<std::array<std::string, 2>> DecodePictureRowCommand(std::string_view command) {
  if (command.size() != 1 + 2 * kRowDigits || command[0] < '0' || command[0] > '6') {
    return std::nullopt;
  }
  std::array<std::string, 2> rows;
  for (size_t row = 0; row < 2; ++row) {
    rows[row].reserve(kDisplayPictureWidth);
    for (size_t digit = 0; digit < kRowDigits; ++digit) {
      const int nibble = HexValue(command[1 + row * kRowDigits + digit]);
      if (nibble < 0) return std::nullopt;
      for (int bit = 3; bit >= 0; --bit) rows[row] += (nibble >> bit) & 1 ? '#' : '.';
    }
  }
  return rows;
}

std::string RestoreUmlauts(std::string_view text) {
  std::string result;
  result.reserve(text.size() + text.size() / 4);
  for (char c : text) {
    if (c == '#') {
      result += "\xC3\xA4";
    } else if (c == '$') {
      result += "\xC3\xB6";
    } else if (c == '%') {
      result += "\xC3\xBC";
    } else {
      result += c;
    }
  }
  return result;
}

std::string ReadableBytes(std::string_view bytes) {
  const std::string text = SanitizeUtf8(bytes);
  std::string result;
  result.reserve(text.size());
  for (char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F) {
      char escaped[5];
      std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
      result += escaped;
    } else {
      result += c;
    }
  }
  return result;
}

std::vector<std::string> DescribeCommandLine(std::string_view line) {
  if (line.empty()) return {"Leere Zeile"};
  const auto first = static_cast<unsigned char>(line.front());
  if (first == '!') {
    if (auto fields = ParseSettingsCommand(line)) return DescribeSettings(*fields);
    return {"Fehlerhafter Einstellungsbefehl: " + ReadableBytes(line)};
  }
  if (first >= '0' && first <= '6') {
    if (auto rows = DecodePictureRowCommand(line)) {
      const int pair = first - '0';
      return {"Bildzeilen " + std::to_string(2 * pair) + " und " + std::to_string(2 * pair + 1),
              rows->at(0), rows->at(1)};
    }
    return {"Fehlerhafter Bildzeilenbefehl: " + ReadableBytes(line)};
  }
  if (first >= 'A') return {"Lauftext: " + ReadableBytes(RestoreUmlauts(line))};
  return {"Unbekannter Befehl: " + ReadableBytes(line)};
}

}  // namespace zielwerk

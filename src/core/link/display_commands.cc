// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/display_commands.h"


namespace zielwerk {
namespace {

// Number of bytes the first `count` UTF-8 characters of `text` take (all of
// it when it has fewer), so that cutting never splits a character.
size_t BytesOfCharacters(std::string_view text, size_t count) {
  size_t at = 0;
  for (size_t characters = 0; at < text.size() && characters < count; ++characters) {
    ++at;
    while (at < text.size() && (static_cast<unsigned char>(text[at]) & 0xC0) == 0x80) ++at;
  }
  return at;
}

size_t CharacterCount(std::string_view text) {
  size_t count = 0;
  for (char c : text) {
    if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++count;
  }
  return count;
}

}  // namespace

SettingsCommandFields SettingsFieldsOf(const FormValues& values) {
  const auto number = [&values](std::string_view key) {
    return static_cast<int>(FormValueOf(values, key).number);
  };
  const auto text = [&values](std::string_view key) { return FormValueOf(values, key).text; };
  SettingsCommandFields fields;
  fields.car_number = number(kKeyCarNumber);
  fields.hide_car_number = number(kKeyHideCarNumber);
  fields.train_type = number(kKeyTrainType);
  fields.start_mode = number(kKeyStartMode);
  fields.start_time_text = text(kKeyStartTime);
  fields.end_mode = number(kKeyEndMode);
  fields.end_time_text = text(kKeyEndTime);
  fields.dcc_analog = number(kKeyDccAnalog);
  fields.dcc_address_text = text(kKeyDccAddress);
  fields.invert_direction = number(kKeyInvertDirection);
  return fields;
}

std::string PaddedField(std::string_view text, size_t width) {
  const size_t length = CharacterCount(text);
  if (length >= width) return std::string(text.substr(0, BytesOfCharacters(text, width)));
  return std::string(width - length, '0') + std::string(text);
}

std::string SettingsCommand(const SettingsCommandFields& fields) {
  std::string command = "!";
  command += std::to_string(fields.car_number);
  command += std::to_string(fields.hide_car_number);
  command += std::to_string(fields.train_type);
  command += std::to_string(fields.start_mode);
  command += PaddedField(fields.start_time_text, 4);
  command += std::to_string(fields.end_mode);
  command += PaddedField(fields.end_time_text, 4);
  command += std::to_string(fields.dcc_analog);
  command += PaddedField(fields.dcc_address_text, 3);
  command += std::to_string(fields.invert_direction);
  return command;
}

std::string SubstituteUmlauts(std::string_view text) {
  std::string result;
  result.reserve(text.size());
  for (size_t at = 0; at < text.size(); ++at) {
    if (text[at] == '\xC3' && at + 1 < text.size()) {
      const char second = text[at + 1];
      const char substitute = second == '\xA4' ? '#' : second == '\xB6' ? '$' : second == '\xBC' ? '%' : 0;
      if (substitute != 0) {
        result += substitute;
        ++at;
        continue;
      }
    }
    result += text[at];
  }
  return result;
}

std::string ScrollTextCommand(std::string_view start_station,
                              std::string_view prepared_scroll_text,
                              std::string_view end_station) {
  std::string joined(start_station);
  joined += '-';
  joined += prepared_scroll_text;
  joined += '-';
  joined += end_station;
  return SubstituteUmlauts(joined);
}

bool IsAcceptableScrollTextCommand(std::string_view command) {
  return !command.empty() && static_cast<unsigned char>(command.front()) >= 'A';
}

LinkJob SettingsJob(const SettingsCommandFields& fields) {
  return {LinkStep{LinkStep::Kind::kExchange, SettingsCommand(fields),
                   std::string(MessageText(Message::kSendingSettings))}};
}

std::optional<LinkJob> ScrollTextJob(std::string_view start_station,
                                     std::string_view prepared_scroll_text,
                                     std::string_view end_station) {
  std::string command = ScrollTextCommand(start_station, prepared_scroll_text, end_station);
  if (!IsAcceptableScrollTextCommand(command)) return std::nullopt;
  return LinkJob{LinkStep{LinkStep::Kind::kExchange, std::move(command),
                          std::string(MessageText(Message::kSendingRoute))}};
}

LinkJob PictureJob(std::span<const std::string> row_commands) {
  LinkJob job;
  const std::string rows = std::to_string(row_commands.size());
  for (size_t row = 0; row < row_commands.size(); ++row) {
    job.push_back(LinkStep{LinkStep::Kind::kExchange, row_commands[row],
                           ComposeMessage(Message::kSendingPictureRow,
                                         {std::to_string(row + 1), rows})});
  }
  return job;
}

LinkJob ResetJob() { return {LinkStep{LinkStep::Kind::kResetPulse, {}, {}}}; }

}  // namespace zielwerk

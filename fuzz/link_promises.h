// SPDX-License-Identifier: GPL-3.0-or-later
// What the reply decoding and the command-line description promise for any
// bytes that come over the serial line.
#pragma once

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "simulator/command_description.h"
#include "core/link/command_exchange.h"
#include "core/link/display_commands.h"
#include "core/text/utf8.h"

namespace zielwerk::fuzzing {

// The status text for any answer is valid UTF-8, one line, free of zero bytes,
// and a well-formed first line passes unchanged. Returns the broken promise or
// nullptr.
inline const char* BrokenReplyPromise(std::string_view reply) {
  const std::string text = DecodeReply(reply);
  if (!IsValidUtf8(text)) return "the status text is valid UTF-8";
  if (text.find('\n') != std::string::npos) return "the status text is one line";
  if (text.find('\0') != std::string::npos) return "the status text has no zero byte";
  if (text.size() > 3 * reply.size()) return "a bad byte grows to one U+FFFD at most";
  const std::string_view first_line = reply.substr(0, reply.find_first_of(std::string_view("\n\0", 2)));
  if (IsValidUtf8(first_line) && text != first_line) {
    return "a well-formed first line is shown unchanged";
  }
  return nullptr;
}

// Any received line is described in printable UTF-8 lines, picture rows have
// 160 pixels, and the fields of a settings command make a command that parses
// to the same fields (compared for ASCII lines only: the padded fields count
// characters, the parser bytes). Returns the broken promise or nullptr.
inline const char* BrokenDescriptionPromise(std::string_view line) {
  const std::vector<std::string> description = DescribeCommandLine(line);
  if (description.empty()) return "every line is described";
  for (const std::string& shown : description) {
    if (!IsValidUtf8(shown)) return "a description line is valid UTF-8";
    for (char c : shown) {
      const auto byte = static_cast<unsigned char>(c);
      if (byte < 0x20 || byte == 0x7F) return "a description line has no control character";
    }
  }

  if (const auto rows = DecodePictureRowCommand(line)) {
    for (const std::string& row : *rows) {
      if (row.size() != 160) return "a picture row has 160 pixels";
      if (row.find_first_not_of("#.") != std::string::npos) return "a pixel is # or .";
    }
  }

  const auto fields = ParseSettingsCommand(line);
  const bool ascii = std::all_of(line.begin(), line.end(),
                                 [](char c) { return static_cast<unsigned char>(c) < 0x80; });
  if (fields && ascii) {
    const auto again = ParseSettingsCommand(SettingsCommand(*fields));
    if (!again) return "a parsed settings command can be built again";
    if (again->car_number != fields->car_number ||
        again->hide_car_number != fields->hide_car_number ||
        again->train_type != fields->train_type || again->start_mode != fields->start_mode ||
        again->start_time_text != fields->start_time_text ||
        again->end_mode != fields->end_mode || again->end_time_text != fields->end_time_text ||
        again->dcc_analog != fields->dcc_analog ||
        again->dcc_address_text != fields->dcc_address_text ||
        again->invert_direction != fields->invert_direction) {
      return "the rebuilt settings command carries the same fields";
    }
  }
  return nullptr;
}

}  // namespace zielwerk::fuzzing

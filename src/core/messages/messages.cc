// SPDX-License-Identifier: GPL-3.0-or-later
#include "messages/messages.h"

namespace zielwerk {

std::string ComposeMessage(Message id, std::initializer_list<std::string_view> values) {
  const std::string_view text = MessageText(id);
  std::string result;
  result.reserve(text.size());
  for (size_t at = 0; at < text.size();) {
    // "{N}" with one digit N from 1 to the number of values.
    if (text[at] == '{' && at + 2 < text.size() && text[at + 2] == '}' && text[at + 1] >= '1' &&
        static_cast<size_t>(text[at + 1] - '0') <= values.size()) {
      result += values.begin()[text[at + 1] - '1'];
      at += 3;
      continue;
    }
    result += text[at++];
  }
  return result;
}

std::string Quoted(std::string_view text) {
  return "\xE2\x80\x9E" + std::string(text) + "\xE2\x80\x9C";
}

}  // namespace zielwerk

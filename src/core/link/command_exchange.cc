// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/command_exchange.h"

#include <algorithm>
#include <array>

#include "text/utf8.h"

namespace zielwerk {

std::string DecodeReply(std::string_view reply_bytes) {
  std::string_view text = reply_bytes.substr(0, reply_bytes.find('\0'));
  text = text.substr(0, text.find('\n'));
  return SanitizeUtf8(text);
}

std::string CommandLine(std::string_view command) {
  // A line break inside a text field would split the command, and the display
  // would take the second half for a command of its own.
  std::string line(command);
  std::replace_if(line.begin(), line.end(), [](char c) { return c == '\n' || c == '\r'; }, ' ');
  line += '\n';
  return line;
}

std::string WriteErrorStatus(int error_number) {
  return ComposeMessage(Message::kWriteError, {std::to_string(error_number)});
}

Acknowledgement ReadAcknowledgement(SerialPort& port) {
  std::array<char, kReplyBufferSize> reply{};
  const size_t waiting = port.WaitingBytes();
  if (waiting == 0) return {std::string(MessageText(Message::kNoAcknowledge)), false};
  const size_t wanted = std::min(waiting, reply.size() - 1);
  const size_t received = port.Read(std::span<char>(reply.data(), wanted));

  // The tail of an over-long answer belongs to this command; left queued it
  // would pass for the acknowledgement of the next one.
  size_t to_drop = waiting - wanted;
  std::array<char, 256> scratch;
  while (to_drop > 0) {
    const size_t dropped = port.Read(std::span<char>(scratch.data(), std::min(to_drop, scratch.size())));
    if (dropped == 0) break;
    to_drop -= dropped;
  }

  if (received == 0) return {};
  return {ComposeMessage(Message::kReceived, {DecodeReply(std::string_view(reply.data(), received))}),
          true};
}

}  // namespace zielwerk

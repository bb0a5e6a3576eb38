// SPDX-License-Identifier: GPL-3.0-or-later
// One exchange with the display: the line a command goes out as and the
// status text of the acknowledgement that comes back. TransferQueue runs
// exchanges as the steps of a transfer.
#pragma once

#include <chrono>
#include <cstddef>
#include <string>
#include <string_view>

#include "link/serial_port.h"
#include "messages/messages.h"

namespace zielwerk {

// The fixed result texts of an exchange; an answer gives Message::kReceived,
// a failed write Message::kWriteError, and a read that delivered nothing
// although bytes were waiting the empty text.

// The fixed pause between writing a command and looking for the answer.
inline constexpr std::chrono::milliseconds kAcknowledgeWait{500};

// The reply buffer; one byte of it always stays zero as the text's end.
inline constexpr size_t kReplyBufferSize = 128;

// The text shown for the bytes of an answer: everything before the first zero
// byte, of that the part before the first line feed (a carriage return before
// it stays), with ill-formed UTF-8 replaced by U+FFFD.
std::string DecodeReply(std::string_view reply_bytes);

// The line that goes on the wire for `command`: the command and a line feed.
// Line feeds and carriage returns inside `command` go out as blanks, so a
// command is always one line.
std::string CommandLine(std::string_view command);

// The status of a write the driver did not take whole: "Error " and the
// port's error number.
std::string WriteErrorStatus(int error_number);

// What `port` has received once the acknowledgement wait is over, as the
// status text: Message::kNoAcknowledge when nothing arrived, "Empfangen: "
// and DecodeReply of the answer, the empty text when bytes were waiting but
// the read gave none; `answered` only for the second. Of an answer longer
// than 127 bytes the rest of what was waiting is read and dropped; bytes
// arriving later stay queued for the next exchange.
struct Acknowledgement {
  std::string status;
  bool answered = false;
};
Acknowledgement ReadAcknowledgement(SerialPort& port);

}  // namespace zielwerk

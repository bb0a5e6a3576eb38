// SPDX-License-Identifier: GPL-3.0-or-later
// zielwerk-senden: a settings file's transfers to the display without a
// window, through the same commands, waits and texts as the window's.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "sender/send_request.h"

namespace zielwerk {

// Exit statuses of the sender.
inline constexpr int kSendAnswered = 0;  // every command was answered
inline constexpr int kSendFailed = 1;    // a port, file, refusal or silence
inline constexpr int kSendWrongCall = 2;

// The whole program on `arguments` (those after its name): a wrong call
// explained to `err` (kSendWrongCall), --help to `out`, else RunSender.
int SenderMain(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err);

// Carries out `request` in the current folder: the status texts go to `out`
// one a line as they arise, what keeps a command from going out to `err`.
// Reads Zielstell.ini and the settings file, never writes either.
int RunSender(const SendRequest& request, std::ostream& out, std::ostream& err);

}  // namespace zielwerk

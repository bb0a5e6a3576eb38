// SPDX-License-Identifier: GPL-3.0-or-later
// What a call of zielwerk-senden asks for, read from its arguments.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zielwerk {

// The transfers the sender can make, in the order it makes them.
enum class SendPart { kReset, kSettings, kRoute, kPicture };

struct SendRequest {
  bool help = false;
  bool list = false;  // --liste: show the ports, send nothing
  std::optional<std::string> port;           // -p; else Zielstell.ini's
  std::optional<std::string> settings_file;  // else Zielstell.ini's, else Default.ini
  // --nur, in sending order without repeats; nullopt: the settings, the
  // route and the picture when the file selects one.
  std::optional<std::vector<SendPart>> parts;
  std::optional<int> car_number;  // --wagennummer
};

struct ParsedSendArguments {
  std::optional<SendRequest> request;  // nullopt for a wrong call
  std::string error;                   // why, for a wrong call
};

// Reads the arguments after the program's name. "--port=X" and "-p X",
// "--nur=LISTE" and "--nur LISTE" are the same; "--" ends the options.
ParsedSendArguments ParseSendArguments(const std::vector<std::string>& arguments);

// The text of --help.
extern const std::string_view kSendUsage;

}  // namespace zielwerk

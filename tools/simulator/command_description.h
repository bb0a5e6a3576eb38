// SPDX-License-Identifier: GPL-3.0-or-later
// Reading command lines back as the display receives them, in readable form:
// what the display simulator prints for every line it gets.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "link/display_commands.h"

namespace zielwerk {

// The fields of a settings command ("!" and ten fields, as SettingsCommand
// writes them); nullopt when `command` is not one. The padded fields keep
// their zeros ("0500", "004").
std::optional<SettingsCommandFields> ParseSettingsCommand(std::string_view command);

// The two picture rows a picture row command (a digit 0 to 6 and 80
// hexadecimal digits) carries, each as 160 characters: "#" for a dark pixel,
// "." for a light one, leftmost pixel first. nullopt when malformed.
std::optional<std::array<std::string, 2>> DecodePictureRowCommand(std::string_view command);

// `text` with "#", "$" and "%" shown as the "ä", "ö" and "ü" they stand for.
std::string RestoreUmlauts(std::string_view text);

// `bytes` as printable UTF-8: ill-formed sequences as U+FFFD, control
// characters as \xNN.
std::string ReadableBytes(std::string_view bytes);

// One command line (without its line feed) as readable lines: a title line,
// then the settings field by field ("Zeit Anfang: 0500 ms"), the route with its umlauts, or the two
// picture rows. Unknown or malformed lines give one line showing their bytes.
std::vector<std::string> DescribeCommandLine(std::string_view line);

}  // namespace zielwerk

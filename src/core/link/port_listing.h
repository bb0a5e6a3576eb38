// Listing the serial devices under /dev for the port field.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zielwerk {

// The warning shown at start-up when no device was listed.
inline constexpr std::string_view kNoPortWarningTitle = "W A R N U N G";
inline constexpr std::string_view kNoPortWarningText = "Es wurde kein COM-Port gefunden";

// The device names in the output of "ls -1 /dev", in its order: of every
// line, the part before its first blank (a tab belongs to the name), kept
// when it begins with "tty" (so "tty" itself, tty0, ttyS0, ttyUSB0 and the
// like). A name that is not valid UTF-8 is left out: the port field could
// neither show it nor give it back for opening.
std::vector<std::string> ParsePortListing(std::string_view listing);

// Runs `argv[0]`, looked up along PATH, with the arguments `argv` (no shell)
// and LC_ALL=C in its environment, and returns everything it wrote to its
// standard output once it has ended; its standard error is discarded.
// nullopt when the program cannot be started.
std::optional<std::string> CaptureProgramOutput(const std::vector<std::string>& argv);

// The serial device names of this machine, from "ls -1 /dev"; nullopt when
// "ls" cannot be started.
std::optional<std::vector<std::string>> ListSerialPortNames();

}  // namespace zielwerk

// SPDX-License-Identifier: GPL-3.0-or-later
// Listing the serial ports of the machine for the port field: "ls -1 /dev"
// on Linux (port_listing_posix.cc), "chgport /query" and else the registry on
// Windows (port_listing_win32.cc).
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zielwerk {

// Which names of a listing are ports: those that begin with `prefix` (exact
// case) and, when `max_length` is not 0, have at most that many bytes.
struct PortNameRule {
  std::string_view prefix;
  size_t max_length = 0;
};

// Linux: every /dev entry beginning with "tty" (tty itself, tty0, ttyS0,
// ttyUSB0 and the like).
inline constexpr PortNameRule kTtyDeviceNames{"tty", 0};
// Windows: COM1 to COM99 as "chgport /query" names them; longer names such as
// COM100 are left out.
inline constexpr PortNameRule kComPortNames{"COM", 5};

// The port names in `listing`, in its order: of every line (ended by LF or
// CR LF), the part before its first blank (a tab belongs to the name), kept
// when `rule` takes it. A name that is not valid UTF-8 is left out: the port
// field could neither show it nor give it back for opening.
std::vector<std::string> ParsePortListing(std::string_view listing, PortNameRule rule);

// How long the program waits for a program started to list the ports: one
// that has not ended by then is ended, and the listing counts as not made.
inline constexpr std::chrono::milliseconds kChildProgramLimit{2000};

// Runs `argv[0]` with the arguments `argv` (no shell): a path with a folder
// as it stands, a bare name looked up along PATH (on Windows after the
// program's own folder, the working folder and the system folders),
// and returns everything it wrote to its standard output once it has ended;
// its standard error is discarded and its standard input is empty. On Linux
// the child gets LC_ALL=C; on Windows it opens no console window. nullopt
// when the program cannot be started, or has not ended within `limit` of the
// wait for it (it is then killed).
std::optional<std::string> CaptureProgramOutput(const std::vector<std::string>& argv,
                                                std::chrono::milliseconds limit = kChildProgramLimit);

// The serial port names of this machine as the start-up lists them: on Linux
// from "ls -1 /dev"; on Windows from "chgport /query" of the system folder
// (%SystemRoot%\System32), or, when chgport cannot be started there (not
// every edition has it) or names no port, as ReadSerialPortNames. nullopt
// when no source could be read at all, also when the program did not end
// within kChildProgramLimit.
std::optional<std::vector<std::string>> ListSerialPortNames();

// The same names read straight from the system, without starting a program,
// for the list about to open: on Linux the entries of /dev, in the order ls
// gives them; on Windows the registry's list of serial ports
// (HARDWARE\DEVICEMAP\SERIALCOMM) in byte order. nullopt when it cannot be
// read.
std::optional<std::vector<std::string>> ReadSerialPortNames();

// A port as the open port list shows it: the name that is opened, what the
// system says the device is (empty when it says nothing), and whether it is
// a USB serial adapter, which a first start selects.
struct PortEntry {
  std::string name;
  std::string description;
  bool usb = false;
  bool operator==(const PortEntry&) const = default;
};

// `names` with what the system says about each: on Linux the USB
// manufacturer and product of ttyUSB* and ttyACM* adapters (from sysfs), which
// are the USB adapters; on Windows the friendly name of the Device Manager,
// and a USB adapter is a port whose hardware ID is a USB one. Reads no more
// than the few small files or registry values of the ports listed.
std::vector<PortEntry> DescribeSerialPorts(const std::vector<std::string>& names);

// Whether a Windows hardware ID ("USB\VID_0403&PID_6001",
// "FTDIBUS\COMPORT&VID_0403&PID_6001") names a USB device: it comes from
// the USB bus or carries a USB vendor ID.
bool IsUsbHardwareId(std::string_view hardware_id);

// The description in a Windows friendly name: "USB Serial Port (COM3)"
// gives "USB Serial Port" for COM3; a name without the port's own suffix is
// kept whole.
std::string FriendlyNameDescription(std::string_view friendly_name, std::string_view port);

// What the port field shows at start-up: `index` is the entry selected (-1
// for none) and `text` the field's text.
struct PortChoice {
  int index = -1;
  std::string text;
  bool operator==(const PortChoice&) const = default;
};

// The port chosen at start-up from the stored name and, for a file written
// before names were stored, the stored index: the entry with `stored_name`;
// a name the list lacks (an adapter unplugged, a typed "pts/3") is shown as
// typed, never as another device. Without a stored name the entry at
// `stored_index`, none when the index names no entry. When neither is stored
// (a first start), the list's first USB adapter, else its first entry.
PortChoice ChoosePort(const std::vector<PortEntry>& ports,
                      const std::optional<std::string>& stored_name,
                      std::optional<int64_t> stored_index);

// The port ChoosePort chooses from `ports` for what the application config
// open in the INI store remembers (see OpenIni): the port is found again by
// its name, as its place in the list changes when adapters come and go; only
// a file from before names were kept has the place alone, and a first start
// has neither.
PortChoice RememberedPort(const std::vector<PortEntry>& ports);

// Lets the next ListSerialPortNames() take a listing begun now, so that the
// lister ("ls" on Linux, chgport on Windows) runs while the caller goes on;
// the child gets the environment of this moment, and its time limit counts
// from now. Calling it again before the listing is taken changes nothing.
void StartListingSerialPorts();

}  // namespace zielwerk

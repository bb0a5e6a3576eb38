// SPDX-License-Identifier: GPL-3.0-or-later
// Why a serial port would not open, in words a user can act on.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "link/serial_port.h"

namespace zielwerk {

enum class PortOpenProblem {
  kMissing,       // no such device: the adapter is not plugged in
  kBusy,          // another program holds the device
  kNoPermission,  // this user may not open the device
  kNotSerial,     // the name is no serial device (a file, a folder)
  kOther,         // anything else, told by the system's error number
};

struct PortOpenFailure {
  PortOpenProblem problem = PortOpenProblem::kOther;
  PortResult result;
  // kNoPermission on Linux: the group whose members may open the device
  // ("dialout"), empty when joining a group would not help.
  std::string group;
  // The user is a member of `group`, but this session began before.
  bool group_needs_login = false;
};

// The group that owns a device, as the advice on a refused open needs it.
struct DeviceGroup {
  std::string name;          // empty when the system names none
  bool session_has = false;  // this session runs with the group
  bool account_has = false;  // the user's account lists it: the next login has it
};

// The group owning `device_path` that a user could join to open it; nullopt
// when there is none worth joining (root's group) or the device cannot be
// looked at.
using DeviceGroupLookup = std::optional<DeviceGroup> (*)(const std::string& device_path);

struct PortErrorKind {
  int error_number;
  PortOpenProblem problem;
};

// What the system's errors of a failed open mean, one table per system
// (port_open_failure_posix.cc, port_open_failure_win32.cc).
struct PortOpenErrors {
  // The open's own check that refuses what is no character device.
  std::string_view not_serial_call;
  // Every other error by its number; one not listed is kOther.
  std::span<const PortErrorKind> kinds;
  // Asked on kNoPermission; nullptr where devices have no groups (Windows,
  // which refuses a port another program holds with "access denied").
  DeviceGroupLookup group_of = nullptr;
};
extern const PortOpenErrors kPortOpenErrors;

// What the failed open of `device_path` with `result` means (errno on Linux,
// the Win32 error on Windows), by `errors`.
PortOpenFailure ExplainPortOpenFailure(const std::string& device_path, const PortResult& result,
                                       const PortOpenErrors& errors = kPortOpenErrors);

// The status text for the failed open of the port the field shows as
// `shown_name`: Message::kPortOpenFailed with the reason and what to do.
std::string PortOpenFailedStatus(const PortOpenFailure& failure, std::string_view shown_name);

}  // namespace zielwerk

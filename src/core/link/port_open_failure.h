// SPDX-License-Identifier: GPL-3.0-or-later
// Why a serial port would not open, in words a user can act on.
#pragma once

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

// What the failed open of `device_path` with `result` means (errno on Linux,
// the Win32 error on Windows, where a port another program holds answers
// "access denied").
PortOpenFailure ExplainPortOpenFailure(const std::string& device_path, const PortResult& result);

// The status text for the failed open of the port the field shows as
// `shown_name`: Message::kPortOpenFailed with the reason and what to do.
std::string PortOpenFailedStatus(const PortOpenFailure& failure, std::string_view shown_name);

}  // namespace zielwerk

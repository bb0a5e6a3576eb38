// SPDX-License-Identifier: GPL-3.0-or-later
// What the Linux port listing reads from sysfs, open to the Linux suites.
// Only *_posix.cc files include this header.
#pragma once

#include <string>
#include <string_view>

namespace zielwerk {

// What sysfs under `sysfs_root` ("/sys") says of the USB adapter behind the
// tty `name`: "manufacturer product" of the nearest USB device above
// class/tty/<name>/device (the product alone when it already names its
// maker), empty for a name that is no USB adapter or has no such strings.
std::string UsbPortDescription(const std::string& sysfs_root, std::string_view name);

}  // namespace zielwerk

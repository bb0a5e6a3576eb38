// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/port_open_failure.h"

#include <windows.h>

namespace zielwerk {
namespace {

constexpr PortErrorKind kWin32ErrorKinds[] = {
    {ERROR_FILE_NOT_FOUND, PortOpenProblem::kMissing},
    {ERROR_PATH_NOT_FOUND, PortOpenProblem::kMissing},
    {ERROR_INVALID_NAME, PortOpenProblem::kMissing},
    {ERROR_BAD_PATHNAME, PortOpenProblem::kMissing},
    {ERROR_DEV_NOT_EXIST, PortOpenProblem::kMissing},
    {ERROR_BAD_UNIT, PortOpenProblem::kMissing},
    // Windows opens a port for one program at a time; any other open is
    // refused with "access denied".
    {ERROR_ACCESS_DENIED, PortOpenProblem::kBusy},
    {ERROR_SHARING_VIOLATION, PortOpenProblem::kBusy},
    {ERROR_BUSY, PortOpenProblem::kBusy},
};

}  // namespace

const PortOpenErrors kPortOpenErrors{"GetFileType", kWin32ErrorKinds, nullptr};

}  // namespace zielwerk

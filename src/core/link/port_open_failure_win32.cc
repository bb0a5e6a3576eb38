// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/port_open_failure.h"

#include <windows.h>

namespace zielwerk {

PortOpenFailure ExplainPortOpenFailure(const std::string&, const PortResult& result) {
  PortOpenFailure failure;
  failure.result = result;
  if (result.failed_call == "GetFileType") {
    failure.problem = PortOpenProblem::kNotSerial;
    return failure;
  }
  switch (static_cast<DWORD>(result.error_number)) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_DEV_NOT_EXIST:
    case ERROR_BAD_UNIT:
      failure.problem = PortOpenProblem::kMissing;
      break;
    // Windows opens a port for one program at a time; any other open is
    // refused with "access denied".
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_BUSY:
      failure.problem = PortOpenProblem::kBusy;
      break;
    default:
      failure.problem = PortOpenProblem::kOther;
      break;
  }
  return failure;
}

}  // namespace zielwerk

// SPDX-License-Identifier: GPL-3.0-or-later
// What the Win32 error of a failed open means: Windows opens a port for one
// program at a time and refuses any other with "access denied".
#include "core/link/port_open_failure.h"

#include <windows.h>

#include "support/test_files.h"

namespace zielwerk {
namespace {

using P = PortOpenProblem;

TEST(ExplainPortOpenFailureTest, TellsTheProblemByTheWin32Error) {
  const std::pair<PortResult, PortOpenProblem> cases[] = {
      {{false, ERROR_ACCESS_DENIED, "CreateFileW"}, P::kBusy},
      {{false, ERROR_SHARING_VIOLATION, "CreateFileW"}, P::kBusy},
      {{false, ERROR_FILE_NOT_FOUND, "CreateFileW"}, P::kMissing},
      {{false, ERROR_INVALID_NAME, "CreateFileW"}, P::kMissing},
      {{false, ERROR_BAD_DEVICE, "GetFileType"}, P::kNotSerial},
      {{false, ERROR_GEN_FAILURE, "CreateFileW"}, P::kOther},
  };
  for (const auto& [result, problem] : cases) {
    SCOPED_TRACE(result.error_number);
    EXPECT_EQ(ExplainPortOpenFailure("\\\\.\\COM3", result).problem, problem);
  }
}

TEST(ExplainPortOpenFailureTest, PortThatIsNotThereIsMissing) {
  SerialPort port;
  const std::string path = PortDevicePath("COM98");
  const PortResult refused = port.Open(path);
  ASSERT_FALSE(refused.ok);
  EXPECT_EQ(ExplainPortOpenFailure(path, refused).problem, P::kMissing) << refused.error_number;
}

}  // namespace
}  // namespace zielwerk

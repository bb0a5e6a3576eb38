// SPDX-License-Identifier: GPL-3.0-or-later
// What a user reads when a port would not open on Windows, which opens a port
// for one program at a time and refuses any other with "access denied".
#include "core/link/port_open_failure.h"

#include <windows.h>

#include <string>

#include "support/test_files.h"

namespace zielwerk {
namespace {

TEST(PortOpenFailedStatusTest, SaysWhatEachKindOfFailureMeans) {
  const struct {
    PortResult result;
    const char* shown;
    std::string status;
  } cases[] = {
      {{false, ERROR_ACCESS_DENIED, "CreateFileW"}, "COM3", "COM3 ist von einem anderen Programm belegt"},
      {{false, ERROR_FILE_NOT_FOUND, "CreateFileW"}, "COM7", "COM7 fehlt (Adapter eingesteckt?)"},
      {{false, ERROR_BAD_DEVICE, "GetFileType"}, "NUL", "NUL ist keine serielle Schnittstelle"},
      {{false, ERROR_GEN_FAILURE, "CreateFileW"}, "COM4", "Systemfehler 31 (CreateFileW)"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.shown);
    EXPECT_EQ(PortOpenFailedStatus(ExplainPortOpenFailure(PortDevicePath(c.shown), c.result), c.shown),
              "Serielle Schnittstelle konnte nicht geöffnet werden: " + c.status);
  }
}

TEST(ExplainPortOpenFailureTest, PortThatIsNotThereIsMissing) {
  SerialPort port;
  const std::string path = PortDevicePath("COM98");
  const PortResult refused = port.Open(path);
  ASSERT_FALSE(refused.ok);
  EXPECT_EQ(ExplainPortOpenFailure(path, refused).problem, PortOpenProblem::kMissing)
      << refused.error_number;
}

}  // namespace
}  // namespace zielwerk

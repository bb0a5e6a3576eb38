// SPDX-License-Identifier: GPL-3.0-or-later
// What a user reads when a port would not open on Windows, which opens a port
// for one program at a time and refuses any other with "access denied".
#include "core/link/port_open_failure.h"

#include <windows.h>

#include <string>

#include "support/test_files.h"

namespace zielwerk {
namespace {

// Windows refuses a port another program holds with "access denied": the
// user reads that it is taken, not that access is lacking.
TEST(PortOpenFailedStatusTest, AccessDeniedMeansTakenByAnotherProgram) {
  EXPECT_EQ(PortOpenFailedStatus(ExplainPortOpenFailure(PortDevicePath("COM3"),
                                                        {false, ERROR_ACCESS_DENIED, "CreateFileW"}),
                                 "COM3"),
            "Serielle Schnittstelle konnte nicht geöffnet werden: COM3 ist von einem anderen Programm belegt");
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

// SPDX-License-Identifier: GPL-3.0-or-later
// The status of a port that would not open when the port field is empty.
#include "core/link/port_open_failure.h"

#include "support/test_files.h"

namespace zielwerk {
namespace {

// An empty field opens the device folder itself, whatever the system made of
// that.
TEST(PortOpenFailedStatusTest, EmptyFieldSaysThatNoPortWasGiven) {
  for (const PortOpenProblem problem : {PortOpenProblem::kNotSerial, PortOpenProblem::kMissing}) {
    EXPECT_EQ(PortOpenFailedStatus(PortOpenFailure{problem, {false, 2, "open"}, {}, false}, ""),
              "Serielle Schnittstelle konnte nicht geöffnet werden: kein Port angegeben");
  }
}

}  // namespace
}  // namespace zielwerk

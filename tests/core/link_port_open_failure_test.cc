// SPDX-License-Identifier: GPL-3.0-or-later
// The status of a port that would not open: an empty field, a failure of no
// known kind.
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

// A failure of no known kind names the system's number and the call.
TEST(PortOpenFailedStatusTest, OtherFailureNamesTheNumberAndTheCall) {
  EXPECT_EQ(PortOpenFailedStatus(PortOpenFailure{PortOpenProblem::kOther, {false, 40, "open"}, {}, false},
                                 "ttyS4"),
            "Serielle Schnittstelle konnte nicht geöffnet werden: Systemfehler 40 (open)");
}

}  // namespace
}  // namespace zielwerk

// SPDX-License-Identifier: GPL-3.0-or-later
// The status of a port that would not open: the fixed text, then the reason
// with what to do.
#include "core/link/port_open_failure.h"

#include <string>
#include <utility>

#include "support/test_files.h"

namespace zielwerk {
namespace {

struct FailureCase {
  const char* name;
  PortOpenFailure failure;
  const char* shown;
  std::string reason;
};

class PortOpenFailedStatusTest : public ::testing::TestWithParam<FailureCase> {};

TEST_P(PortOpenFailedStatusTest, AddsTheReasonToTheFixedText) {
  EXPECT_EQ(PortOpenFailedStatus(GetParam().failure, GetParam().shown),
            "Serielle Schnittstelle konnte nicht geöffnet werden: " + GetParam().reason);
}

using P = PortOpenProblem;

PortOpenFailure Failure(P problem, std::string group = {}, bool needs_login = false,
                        PortResult result = {}) {
  return PortOpenFailure{problem, result, std::move(group), needs_login};
}

INSTANTIATE_TEST_SUITE_P(
    Reasons, PortOpenFailedStatusTest,
    ::testing::Values(
        FailureCase{"Missing", Failure(P::kMissing), "ttyUSB0",
                    "ttyUSB0 fehlt (Adapter eingesteckt?)"},
        FailureCase{"Busy", Failure(P::kBusy), "COM3",
                    "COM3 ist von einem anderen Programm belegt"},
        FailureCase{"NotInTheGroup", Failure(P::kNoPermission, "dialout"), "ttyUSB0",
                    "kein Zugriff ohne Gruppe „dialout“ – Benutzer in die Gruppe aufnehmen, "
                    "dann neu anmelden"},
        FailureCase{"JoinedSinceLogin", Failure(P::kNoPermission, "dialout", true), "ttyACM0",
                    "kein Zugriff ohne Gruppe „dialout“ – nach der Aufnahme einmal ab- und "
                    "wieder anmelden"},
        FailureCase{"NoGroupToJoin", Failure(P::kNoPermission), "ttyS0",
                    "kein Zugriff auf ttyS0"},
        FailureCase{"NotSerial", Failure(P::kNotSerial), "../home/a.txt",
                    "../home/a.txt ist keine serielle Schnittstelle"},
        FailureCase{"Other", Failure(P::kOther, {}, false, {false, 71, "open"}), "ttyS4",
                    "Systemfehler 71 (open)"},
        // An empty field opens the device folder itself, whatever that gives.
        FailureCase{"NothingTyped", Failure(P::kNotSerial), "", "kein Port angegeben"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace zielwerk

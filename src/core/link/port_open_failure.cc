#include "link/port_open_failure.h"

namespace zielwerk {
namespace {

std::string Reason(const PortOpenFailure& failure, const std::string& name) {
  switch (failure.problem) {
    case PortOpenProblem::kMissing:
      return name + " ist nicht vorhanden (Adapter eingesteckt?)";
    case PortOpenProblem::kBusy:
      return name + " wird von einem anderen Programm benutzt";
    case PortOpenProblem::kNoPermission:
      if (failure.group.empty()) return "keine Berechtigung für " + name;
      if (failure.group_needs_login) {
        return "keine Berechtigung für " + name + " – nach der Aufnahme in die Gruppe „" +
               failure.group + "“ neu anmelden";
      }
      return "keine Berechtigung für " + name + " – Benutzer in die Gruppe „" + failure.group +
             "“ aufnehmen und neu anmelden";
    case PortOpenProblem::kNotSerial:
      return name + " ist keine serielle Schnittstelle";
    case PortOpenProblem::kOther:
      break;
  }
  std::string reason = "Systemfehler " + std::to_string(failure.result.error_number);
  if (!failure.result.failed_call.empty()) {
    reason += " (" + std::string(failure.result.failed_call) + ")";
  }
  return reason;
}

}  // namespace

std::string PortOpenFailedStatus(const PortOpenFailure& failure, std::string_view shown_name) {
  // An empty field names the device folder itself ("/dev/"), whatever the
  // system made of it.
  const std::string reason =
      shown_name.empty() ? "kein Port angegeben" : Reason(failure, std::string(shown_name));
  return std::string(kStatusPortOpenFailed) + ": " + reason;
}

}  // namespace zielwerk

#include "link/port_open_failure.h"

namespace zielwerk {
namespace {

std::string Reason(const PortOpenFailure& failure, const std::string& name) {
  // The bar shows some thirty characters after the fixed text; what matters
  // most comes first, the rest is in the bar's tooltip.
  switch (failure.problem) {
    case PortOpenProblem::kMissing:
      return name + " fehlt (Adapter eingesteckt?)";
    case PortOpenProblem::kBusy:
      return name + " ist von einem anderen Programm belegt";
    case PortOpenProblem::kNoPermission:
      if (failure.group.empty()) return "kein Zugriff auf " + name;
      if (failure.group_needs_login) {
        return "kein Zugriff ohne Gruppe „" + failure.group +
               "“ – nach der Aufnahme einmal ab- und wieder anmelden";
      }
      return "kein Zugriff ohne Gruppe „" + failure.group +
             "“ – Benutzer in die Gruppe aufnehmen, dann neu anmelden";
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

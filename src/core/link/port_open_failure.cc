// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/port_open_failure.h"

#include "messages/messages.h"

namespace zielwerk {
namespace {

std::string Reason(const PortOpenFailure& failure, const std::string& name) {
  // The bar shows some thirty characters after the fixed text; what matters
  // most comes first, the rest is in the bar's tooltip.
  switch (failure.problem) {
    case PortOpenProblem::kMissing:
      return ComposeMessage(Message::kPortMissing, {name});
    case PortOpenProblem::kBusy:
      return ComposeMessage(Message::kPortBusy, {name});
    case PortOpenProblem::kNoPermission:
      if (failure.group.empty()) return ComposeMessage(Message::kPortNoAccess, {name});
      return ComposeMessage(
          failure.group_needs_login ? Message::kPortLogInAgain : Message::kPortJoinGroup,
          {failure.group});
    case PortOpenProblem::kNotSerial:
      return ComposeMessage(Message::kPortNotSerial, {name});
    case PortOpenProblem::kOther:
      break;
  }
  return ComposeMessage(Message::kPortSystemError, {std::to_string(failure.result.error_number),
                                                   failure.result.failed_call});
}

}  // namespace

std::string PortOpenFailedStatus(const PortOpenFailure& failure, std::string_view shown_name) {
  // An empty field names the device folder itself ("/dev/"), whatever the
  // system made of it.
  return ComposeMessage(Message::kPortOpenFailed,
                       {shown_name.empty() ? std::string(MessageText(Message::kPortNoName))
                                           : Reason(failure, std::string(shown_name))});
}

}  // namespace zielwerk

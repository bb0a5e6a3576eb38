// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/port_open_failure.h"

#include <algorithm>

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

PortOpenFailure ExplainPortOpenFailure(const std::string& device_path, const PortResult& result,
                                       const PortOpenErrors& errors) {
  PortOpenFailure failure;
  failure.result = result;
  if (result.failed_call == errors.not_serial_call) {
    failure.problem = PortOpenProblem::kNotSerial;
    return failure;
  }
  const auto kind =
      std::find_if(errors.kinds.begin(), errors.kinds.end(),
                   [&](const PortErrorKind& k) { return k.error_number == result.error_number; });
  if (kind != errors.kinds.end()) failure.problem = kind->problem;
  if (failure.problem != PortOpenProblem::kNoPermission || errors.group_of == nullptr) {
    return failure;
  }
  // A group this session already has would not help.
  if (const std::optional<DeviceGroup> owner = errors.group_of(device_path);
      owner && !owner->session_has) {
    failure.group = owner->name;
    failure.group_needs_login = !owner->name.empty() && owner->account_has;
  }
  return failure;
}

std::string PortOpenFailedStatus(const PortOpenFailure& failure, std::string_view shown_name) {
  // An empty field names the device folder itself ("/dev/"), whatever the
  // system made of it.
  return ComposeMessage(Message::kPortOpenFailed,
                       {shown_name.empty() ? std::string(MessageText(Message::kPortNoName))
                                           : Reason(failure, std::string(shown_name))});
}

}  // namespace zielwerk

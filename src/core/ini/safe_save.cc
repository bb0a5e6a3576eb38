// SPDX-License-Identifier: GPL-3.0-or-later
#include "ini/safe_save.h"

namespace zielwerk {
namespace {

std::function<void()>& BeforeReplaceHook() {
  static std::function<void()> hook;
  return hook;
}

}  // namespace

std::string SaveFailureReason(const SaveResult& result) {
  if (result.ok) return {};
  if (result.error_number == 0 && result.failed_call == kNotReadCall) {
    return std::string(MessageText(Message::kSaveNotRead));
  }
  if (const std::optional<Message> reason = KnownSaveFailure(result.error_number)) {
    return std::string(MessageText(*reason));
  }
  return ComposeMessage(Message::kSaveOtherError,
                       {std::to_string(result.error_number), result.failed_call});
}

void SetBeforeReplaceHookForTesting(std::function<void()> hook) {
  BeforeReplaceHook() = std::move(hook);
}

void RunBeforeReplaceHook() {
  if (BeforeReplaceHook()) BeforeReplaceHook()();
}

}  // namespace zielwerk

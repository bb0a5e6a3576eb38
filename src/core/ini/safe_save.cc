#include "ini/safe_save.h"

namespace zielwerk {
namespace {

std::function<void()>& BeforeReplaceHook() {
  static std::function<void()> hook;
  return hook;
}

}  // namespace

void SetBeforeReplaceHookForTesting(std::function<void()> hook) {
  BeforeReplaceHook() = std::move(hook);
}

void RunBeforeReplaceHook() {
  if (BeforeReplaceHook()) BeforeReplaceHook()();
}

}  // namespace zielwerk

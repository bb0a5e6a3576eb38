// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/ui/control_events.h"

namespace zielwerk {
namespace {
int program_code_depth = 0;
}  // namespace

bool ProgramCodeRunning() { return program_code_depth > 0; }

void RunProgramCode(const std::function<void()>& code) {
  struct Depth {
    Depth() { ++program_code_depth; }
    ~Depth() { --program_code_depth; }
  } depth;
  code();
}

void DispatchUserEvent(const std::function<void()>& code) {
  if (!ProgramCodeRunning()) RunProgramCode(code);
}

}  // namespace zielwerk

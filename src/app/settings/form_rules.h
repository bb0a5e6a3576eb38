// SPDX-License-Identifier: GPL-3.0-or-later
// Rules that enable, disable, hide and show controls according to the
// choices beside them. They change control states, never values.
#pragma once

#include "app/ui/control_events.h"

namespace zielwerk {

void ApplyDccAddressRule(ControlEventKind kind);
void ApplyStartTimeRule(ControlEventKind kind);
void ApplyEndTimeRule(ControlEventKind kind);
void ApplyCarNumberRule(ControlEventKind kind);
void CopyCarNumberToPreview(ControlEventKind kind);

// All of the above, for a form whose values were set from the program.
void ApplyFormRules();

}  // namespace zielwerk

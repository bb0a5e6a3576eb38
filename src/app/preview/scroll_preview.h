// The live preview of the display's running text.
#pragma once

#include "app/ui/control_events.h"

namespace zielwerk {

// Rebuilds the station texts and the prepared scroll text from the form.
void RebuildScrollPreview(ControlEventKind kind);
// Advances the running 14-character window by one timer tick.
void TickScrollPreview();

}  // namespace zielwerk

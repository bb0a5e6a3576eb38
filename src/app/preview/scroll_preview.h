// The live preview of the display's running text.
#pragma once

#include <string>

#include "app/ui/control_events.h"

namespace zielwerk {

// The trimmed, possibly reversed scroll text that the preview runs and the
// scroll-text transfer sends; rebuilt by RebuildScrollPreview.
const std::string& PreparedScrollText();

// Rebuilds the station texts and the prepared scroll text from the form.
void RebuildScrollPreview(ControlEventKind kind);
// Advances the running 14-character window by one timer tick.
void TickScrollPreview();

}  // namespace zielwerk

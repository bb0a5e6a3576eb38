// SPDX-License-Identifier: GPL-3.0-or-later
// The live preview of the display's running text.
#pragma once

#include <string>

#include "app/ui/control_events.h"

namespace zielwerk {

class MainWindow;

// The trimmed, possibly reversed scroll text that the preview runs and the
// scroll-text transfer sends; rebuilt by RebuildScrollPreview.
const std::string& PreparedScrollText();

// Rebuilds the station texts and the prepared scroll text from the form.
void RebuildScrollPreview(ControlEventKind kind);
// Shows newly loaded settings in the preview: loads the custom picture
// (slot 3) from `picture_path`, shows the selected train type's picture and
// rebuilds the running text.
void RefreshPreview(const std::string& picture_path);
// Keeps the tick's copy of the mode and time fields of `form` up to date from
// now on; called once the form is filled.
void FollowTickSettings(MainWindow& form);
// Advances the running 14-character window by one timer tick.
void TickScrollPreview();

}  // namespace zielwerk

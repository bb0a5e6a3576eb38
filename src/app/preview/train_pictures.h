// SPDX-License-Identifier: GPL-3.0-or-later
// The four picture slots and the train-type picture in the preview.
#pragma once

#include <string>

#include "app/ui/control_events.h"

namespace zielwerk {

// Loads the three standard train pictures into slots 0 to 2.
void LoadStandardPictures();
// Loads slot 3 (the custom picture) from `picture_path` and shows the picture
// of the selected train type; part of reading a settings file.
void ApplyPictureSetting(const std::string& picture_path);
// Shows the picture of the selected train type (on a change only).
void ShowTrainPicture(ControlEventKind kind);
void LoadTrainPictureCommand();

}  // namespace zielwerk

// SPDX-License-Identifier: GPL-3.0-or-later
// The settings file in use: its path, the window title that names it, and
// how a failed save of it is told.
#pragma once

#include <string>

#include "core/ini/safe_save.h"

namespace zielwerk {

// The path of the settings file in use, as stored (relative or absolute).
const std::string& CurrentSettingsPath();
// Replaces the path and gives the window the title that names it.
void SetCurrentSettingsPath(const std::string& path);

// Says in the status bar why a save the user asked for failed; nothing for
// a save that succeeded.
void ShowSaveFailure(const SaveResult& result);

}  // namespace zielwerk

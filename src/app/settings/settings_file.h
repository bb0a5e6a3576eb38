// SPDX-License-Identifier: GPL-3.0-or-later
// Moving the settings between the form and the settings file in use.
#pragma once

#include "core/ini/safe_save.h"
#include "core/settings/form_values.h"

namespace zielwerk {

// Who asks for the settings to be written.
enum class SettingsWrite {
  kByUser,      // "Speichern", "Speichern als": written whatever the file holds
  kAtShutDown,  // the close: a file not read as text is left as it stands
};

// Fills the form from the file at CurrentSettingsPath (current_settings.h);
// missing keys take their defaults, so a load always replaces the whole form.
// A file that is not text gives the defaults and says so in the status bar.
void ReadSettingsFile();
// What the form shows now, key by key as a settings file would hold it.
FormValues ShownFormValues();

// Writes the thirteen form keys into the file at CurrentSettingsPath,
// keeping everything else the file holds, and returns how the save went.
// At shut-down a file that is not text is not written: the user's file
// outweighs the form, and the close cannot stop to ask.
SaveResult WriteSettingsFile(SettingsWrite occasion);

}  // namespace zielwerk

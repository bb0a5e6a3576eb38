// Moving the settings between the form and the settings file in use.
#pragma once

#include <string>

namespace zielwerk {

// The path of the settings file in use, as stored (relative or absolute).
const std::string& CurrentSettingsPath();
// Replaces the path and gives the window the title that names it.
void SetCurrentSettingsPath(const std::string& path);

// Fills the form from the file at CurrentSettingsPath; missing keys take
// their defaults, so a load always replaces the whole form.
void ReadSettingsFile();
// Writes the thirteen form keys into the file at CurrentSettingsPath,
// keeping everything else the file holds. Silent when it cannot be written.
void WriteSettingsFile();

}  // namespace zielwerk

#include "app/settings/settings_commands.h"

#include "app/settings/settings_file.h"

namespace zielwerk {

void LoadSettingsCommand() {}

void SaveSettingsCommand() { WriteSettingsFile(); }

void SaveSettingsAsCommand() {}

void PrintSettingsCommand() {}

}  // namespace zielwerk

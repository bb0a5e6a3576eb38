// The file commands of the "Datei" menu and the print-out.
#pragma once

namespace zielwerk {

void LoadSettingsCommand();
void SaveSettingsCommand();
void SaveSettingsAsCommand();
void PrintSettingsCommand();

}  // namespace zielwerk

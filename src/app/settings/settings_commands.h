// SPDX-License-Identifier: GPL-3.0-or-later
// The file commands of the "Datei" menu and the print-out.
#pragma once

#include <string>

namespace zielwerk {

void LoadSettingsCommand();
void SaveSettingsCommand();
void SaveSettingsAsCommand();
// Shows the print dialog and prints the settings file in use on one page
// (or writes it to a PDF file, as the dialog offers). Cancel prints nothing.
void PrintSettingsCommand();

// For tests: makes PrintSettingsCommand write the page to `pdf_path` without
// a dialog; an empty path restores the dialog.
void SetPrintExportForTesting(const std::string& pdf_path);

}  // namespace zielwerk

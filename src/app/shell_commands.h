// SPDX-License-Identifier: GPL-3.0-or-later
// The shell's own commands: exit, help and about.
#pragma once

namespace zielwerk {

// Ends the main loop exactly as a close request does.
void ExitCommand();
// Opens the help page in the desktop's browser; silent when that fails.
void HelpCommand();
// Shows the about box.
void AboutCommand();

}  // namespace zielwerk

// SPDX-License-Identifier: GPL-3.0-or-later
// Start-up, the main loop and shut-down.
#pragma once

#include <string_view>

#include "core/messages/messages.h"

namespace zielwerk {

// The status bar's text at start-up when "Zielstell.ini" is not text (see
// IniFileIsText); the program then starts from its defaults.

// The whole program: initialises GTK with the command line, starts up, runs
// the main loop until a close request or "Beenden", shuts down. Returns 0.
int RunZielwerk(int argc, char** argv);

// Start-up after GTK is initialised: reads "Zielstell.ini", builds and shows
// the window, fills the lists, loads the settings and starts the preview
// timer. Used by RunZielwerk and by the window tests.
void StartUp();
// Closes the port, saves the settings and rewrites "Zielstell.ini" (either
// file only when it is text); the window is released afterwards.
void ShutDown();

}  // namespace zielwerk

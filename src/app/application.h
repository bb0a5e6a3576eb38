// Start-up, the main loop, shut-down, and the shell's own commands.
#pragma once

namespace zielwerk {

// The whole program: initialises GTK with the command line, starts up, runs
// the main loop until a close request or "Beenden", shuts down. Returns 0.
int RunZielwerk(int argc, char** argv);

// Start-up after GTK is initialised: reads "Zielstell.ini", builds and shows
// the window, fills the lists, loads the settings and starts the preview
// timer. Used by RunZielwerk and by the window tests.
void StartUp();
// Closes the port, saves the settings and rewrites "Zielstell.ini"; the
// window is released afterwards.
void ShutDown();

// Ends the main loop exactly as a close request does.
void ExitCommand();
// Opens the help page in the desktop's browser; silent when that fails.
void HelpCommand();
// Shows the about box.
void AboutCommand();

}  // namespace zielwerk

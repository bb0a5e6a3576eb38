// What the program asks of the desktop it runs on: desktop_posix.cc for an
// X11 session on Linux, desktop_win32.cc for Windows.
#pragma once

#include <string>

namespace zielwerk {

// Before GTK starts: on Linux the X11 backend is chosen (GDK_BACKEND=x11) and
// GDK's OpenGL set-up is left out (GDK_GL=disable); Windows has one backend
// and sets up OpenGL only on demand, so nothing happens there.
void PrepareToolkitEnvironment();
// Once GTK has started: the environment is the user's again, so programs
// started from here (the browser, "ls") do not inherit those choices.
void RestoreToolkitEnvironment();

// Calls `request_close` from the main loop whenever the session asks the
// program to end (SIGTERM, SIGINT, SIGHUP on Linux). On Windows the session's
// requests arrive as close requests of the window, so nothing is watched.
void WatchSessionEnd(void (*request_close)());

// Opens `url` in the desktop's browser and returns at once: "xdg-open" found
// along PATH, started detached, on Linux; the shell's "open" verb on Windows.
// Silent when that fails.
void OpenInBrowser(const std::string& url);

}  // namespace zielwerk

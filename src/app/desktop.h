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

// The resolution, in dots per inch, at which the desktop wants the window's
// texts laid out, counted in the window's own pixels (GTK may draw each of
// them as several device pixels). On Linux GTK's screen resolution, which
// follows Xft.dpi, GNOME's text scaling and GDK_DPI_SCALE (and is already
// divided by GDK_SCALE). On Windows the system DPI divided by the whole
// factor GTK scales windows by, so that 250 % leaves 1.25 for the form on
// top of GTK's 2 (where GTK itself lays texts out at 96 dpi). Needs GTK
// started.
double TextResolution();

// Opens `url` in the desktop's browser and returns at once: "xdg-open" found
// along PATH, started detached, on Linux; the shell's "open" verb on Windows.
// Silent when that fails.
void OpenInBrowser(const std::string& url);

}  // namespace zielwerk

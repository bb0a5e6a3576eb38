// SPDX-License-Identifier: GPL-3.0-or-later
// What the program asks of the desktop it runs on: desktop_posix.cc for an
// X11 session on Linux, desktop_win32.cc for Windows.
#pragma once

#include <string>
#include <string_view>

namespace Gtk {
class Window;
}

namespace zielwerk {

// Before GTK starts: on Linux the X11 backend is chosen (GDK_BACKEND=x11) and
// GDK's OpenGL set-up is left out (GDK_GL=disable); on Windows GDK's tablet
// input is (GDK_WIN32_TABLET_INPUT_API=none).
void PrepareToolkitEnvironment();
// Once GTK has started: the environment is the user's again, so programs
// started from here (the browser, "ls") do not inherit those choices.
void RestoreToolkitEnvironment();

// Once GTK has started: the theme follows the desktop's high-contrast mode
// where GTK would not see it. On Windows, with high contrast on, GTK's own
// HighContrast theme (HighContrastInverse for a scheme with dark windows)
// takes Adwaita's place, unless GTK_THEME names a theme of the user's. On
// Linux the desktop hands GTK its theme itself, and nothing happens here.
void FollowHighContrast();

// Ends the program when the desktop session asks it to. On Linux SIGTERM,
// SIGINT and SIGHUP call `request_close` from the main loop. On Windows a
// hidden window of the program's own takes the session's messages: a close
// request (an installer asking the program to make way) calls `request_close`;
// the end of the session (log-off, shut-down, an installer's Restart Manager)
// calls `shut_down` at once and then ends the process with status 0, since
// Windows may end it as soon as that message is answered, before the main
// loop could be left. Called once, before the start-up.
void WatchSessionEnd(void (*request_close)(), void (*shut_down)());

// Lets the taskbar treat `window` as the installed program's: it carries
// `app_id`, the application ID of the program's Start-menu entry, and a window
// pinned to the taskbar starts this program file again under the name
// `name`. Needs the window realized. Nothing happens on Linux, where the
// desktop entry does this.
void ShowAsInstalledProgram(Gtk::Window& window, std::string_view app_id, std::string_view name);

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
// False when that could not be started (on Linux, what xdg-open does next is
// not waited for).
bool OpenInBrowser(const std::string& url);

// Opens the local HTML file at the absolute `path` the same way: on Linux as
// its file: URL, on Windows by its path.
bool OpenLocalPage(const std::string& path);

}  // namespace zielwerk

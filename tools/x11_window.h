// SPDX-License-Identifier: GPL-3.0-or-later
// Reading the properties of another program's X11 window: its title, process
// id and window type. Shared by zielwerk-window-wait and the program tests.
#pragma once

#include <X11/Xlib.h>

#include <string>

namespace zielwerk {

// The bytes of the window property `name` of type `wanted_type` (at most
// `max_items` items; 32-bit items come back as longs, as Xlib hands them),
// or empty when the window has no such property.
std::string ReadWindowProperty(Display* display, Window window, const char* name,
                               Atom wanted_type, long max_items);

// The window's title: _NET_WM_NAME, else WM_NAME; empty when it has none.
std::string WindowTitle(Display* display, Window window);

}  // namespace zielwerk

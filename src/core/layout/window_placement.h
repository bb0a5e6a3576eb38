// SPDX-License-Identifier: GPL-3.0-or-later
// Where the main window opens and how large: the scale of its form follows the
// resolution the desktop lays its texts out with, within the monitor it opens
// on, and a stored position that has left every monitor is brought back.
#pragma once

#include <span>

#include "layout/form_layout.h"

namespace zielwerk {

// The resolution, in dots per inch, at which the form's sizes hold as they
// are (factor 1).
inline constexpr double kStandardResolution = 96.0;

// A rectangle of the screen, in the desktop's pixels.
using ScreenRect = FormRect;

// A monitor as the desktop reports it: all of it, and the part that panels
// and task bars leave to windows.
struct Monitor {
  ScreenRect geometry;
  ScreenRect work_area;
};

struct WindowPlacement {
  int x = 0;
  int y = 0;
  double factor = 1.0;

  bool operator==(const WindowPlacement&) const = default;
};

// Where the main window opens, stored at (x, y) (its frame's top-left corner)
// with a client area of width x height at factor 1, on a desktop whose texts
// are `text_factor` times as large as at the standard resolution, with
// `monitors` (the primary one first).
//
// The position stays exactly as stored while enough of the title bar to
// grab it (40 pixels across, half its height) lies in one monitor's work
// area; otherwise (a monitor unplugged since, a position stored while Windows
// had the window minimised at -32000) the window goes to (20, 20) of the
// primary monitor's work area. The factor is
// `text_factor`, but no larger than lets the window with its frame fit into
// the work area of the monitor it opens on, and never below 1: the form is
// never drawn smaller than its standard size. Without monitors the position
// stays and only the text size counts.
WindowPlacement PlaceMainWindow(int x, int y, int width, int height, double text_factor,
                                std::span<const Monitor> monitors);

}  // namespace zielwerk

// SPDX-License-Identifier: GPL-3.0-or-later
// What the simulated display holds from the command lines it has received:
// the settings, the route, the 160 x 14 picture, and its running text, moved
// on by the same tick as the program's own preview.
#pragma once

#include <array>
#include <bitset>
#include <string>
#include <string_view>

#include "link/display_commands.h"
#include "picture/picture_bits.h"
#include "preview/scroll_preview.h"

namespace zielwerk {

// The route as the display took it from a route command: the text before
// the first "-", the text between it and the last "-", and the text after
// the last "-", with "#", "$" and "%" read as umlauts. A station that holds a
// hyphen itself cannot be told apart on the line; it is split like this too.
struct DisplayRoute {
  std::string start_station;
  std::string scroll_text;
  std::string end_station;

  friend bool operator==(const DisplayRoute&, const DisplayRoute&) = default;
};

// The route command's parts; a text without "-" is all start station, one
// with a single "-" has an empty scroll text. Ill-formed UTF-8 becomes U+FFFD.
DisplayRoute ParseRouteCommand(std::string_view command);

enum class DisplayLineKind { kSettings, kRoute, kPictureRows, kMalformed, kUnknown, kEmpty };

// What one received line was, for the simulator's status line: its kind and
// a short German description ("Bildzeilen 4 und 5", "Lauftext „Chur--Arosa“").
struct DisplayLineSummary {
  DisplayLineKind kind = DisplayLineKind::kEmpty;
  std::string text;
};

class DisplayState {
 public:
  // Takes one command line (without its line feed) as the display would: a
  // settings command replaces the settings, a route command the route, a
  // picture row command its two rows at once. Malformed, unknown and empty
  // lines change nothing but the line count.
  DisplayLineSummary TakeLine(std::string_view line);

  // One 100 ms tick of the running text, computed exactly as the program's
  // preview computes it from the same values: the received scroll text (sent
  // already prepared) with the received modes and times.
  void Tick();

  const SettingsCommandFields& settings() const { return settings_; }
  const DisplayRoute& route() const { return route_; }
  long lines_received() const { return lines_received_; }

  // Whether the picture lights the LED at (x, y); false outside 160 x 14.
  bool PictureDot(int x, int y) const;
  // The window of the running text after the last tick ("" before the first).
  const std::string& window() const { return window_; }
  // The two stations as shown: stripped of outer hyphens, and swapped when
  // the settings invert the direction.
  PreviewStations Stations() const;
  // The car number as shown; "" when the settings hide it.
  std::string CarNumberText() const;

 private:
  SettingsCommandFields settings_;
  DisplayRoute route_;
  std::array<std::bitset<kDisplayPictureWidth>, kDisplayPictureHeight> picture_{};
  PreviewState preview_;
  std::string window_;
  long lines_received_ = 0;
};

}  // namespace zielwerk

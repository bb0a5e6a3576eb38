// SPDX-License-Identifier: GPL-3.0-or-later
// The scroll-text preview without a window: preparing the station and scroll
// texts from the form, and the 100 ms tick that moves a 14-character window
// through the scroll text. The window procedures keep the state and the
// prepared text and hand them in; nothing here keeps state of its own.
//
// Texts are UTF-8; every length, position and window counts UTF-16 code units,
// as the display does, so "Alp Grüm" is 8 long and a window never splits an
// umlaut.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace zielwerk {

inline constexpr int64_t kPreviewWindowWidth = 14;  // a text this long or shorter stands still
inline constexpr int64_t kPreviewPadding = 13;      // blanks of a run-in or run-out
inline constexpr int64_t kPreviewTickMilliseconds = 100;
inline constexpr char kScrollFieldSeparator = '-';

// Indices of the entries of the two mode combos; -1 means no entry selected.
inline constexpr int kStartModeStamp = 0;  // "Reinstampfen": stand still at the start
inline constexpr int kStartModeRunIn = 1;  // "Reinlaufen": come in from the right edge
inline constexpr int kEndModeStop = 0;     // "Stehenbleiben": stand still at the end
inline constexpr int kEndModeRunOut = 1;   // "Rauslaufen": run out at the left edge

// What the start and end station labels of the preview show.
struct PreviewStations {
  std::string start_text;
  std::string end_text;
};

// The two station texts, each stripped of its leading and trailing hyphens
// (inner hyphens and all blanks stay); with `invert` the end station is shown
// at the start and the start station at the end.
PreviewStations PrepareStations(std::string_view start_station, std::string_view end_station,
                                bool invert);

// The scroll text as the preview shows it and the display receives it: outer
// hyphens stripped, then outer blanks (U+0020 only); with `invert` the order
// of its hyphen-separated fields is reversed, empty fields and the blanks
// beside a separator included. Any number of fields is reversed.
std::string PrepareScrollText(std::string_view scroll_text, bool invert);

// The value of a time field's text: leading blanks and tabs skipped, then an
// optional "+" or "-", then decimal digits up to the first other character,
// or after "$" hexadecimal, after "%" binary digits. A text without digits is
// 0; values beyond the 64-bit range are held at its ends.
int64_t ParsePreviewInteger(std::string_view text);

// Where the window stands: the 1-based position of its first character in the
// padded text, and the ticks spent so far in the current pause. Both are wide
// enough that any text reaches its end and any time value ends its pause.
struct PreviewState {
  int64_t position = 1;
  int64_t pause_ticks = 0;

  friend bool operator==(const PreviewState&, const PreviewState&) = default;
};

// What one tick reads from the form. The views must outlive the call.
struct PreviewTickInput {
  std::string_view prepared;  // the prepared scroll text, never padded by the caller
  int start_mode = kStartModeStamp;
  std::string_view start_time_text;
  int end_mode = kEndModeStop;
  std::string_view end_time_text;
};

struct PreviewTickResult {
  std::string window;  // valid UTF-8 whenever the prepared text is
  PreviewState next;
};

// One tick of the preview: the window to show for `state` and the state for
// the next tick. A text of at most 14 characters is shown whole and leaves the
// state as it is. Otherwise the text gets 13 blanks in front for "Reinlaufen"
// and behind for "Rauslaufen"; the window shows the 14 characters from the
// position (fewer near the end, none beyond it; a position below 1 counts as
// 1), stays at the first and last position for time / 100 + 1 ticks when that
// end stands still, and starts again at position 1 after the last. A surrogate
// pair cut by the window's edge shows as U+FFFD. The tick reads the text in
// place and never builds the padded text.
PreviewTickResult TickPreview(const PreviewState& state, const PreviewTickInput& input);

}  // namespace zielwerk

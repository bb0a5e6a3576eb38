// SPDX-License-Identifier: GPL-3.0-or-later
// What the preview tick promises for any text, modes, time fields and state.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "core/preview/scroll_preview.h"
#include "core/text/utf8.h"

namespace zielwerk::fuzzing {

// One tick's input taken from bytes, so that any byte string is a case:
// byte 0 holds the invert flag (bit 0) and the two mode indices -1 to 2
// (bits 1-2 and 3-4); bytes 1-8 and 9-16 the position and the pause ticks
// (little-endian; missing bytes count as zero); the rest is the start time
// field, a line feed, the end time field, a line feed, and the scroll text.
struct PreviewCase {
  bool invert = false;
  int start_mode = kStartModeStamp;
  int end_mode = kEndModeStop;
  PreviewState state;
  std::string start_time;
  std::string end_time;
  std::string text;
};

inline PreviewCase ReadPreviewCase(std::string_view bytes) {
  unsigned char head[17] = {};
  if (!bytes.empty()) std::memcpy(head, bytes.data(), std::min(bytes.size(), sizeof head));
  bytes.remove_prefix(std::min(bytes.size(), sizeof head));
  const auto little_endian = [&](size_t at) {
    uint64_t value = 0;
    for (size_t i = 8; i-- > 0;) value = value << 8 | head[at + i];
    return static_cast<int64_t>(value);
  };
  PreviewCase c;
  c.invert = head[0] & 1;
  c.start_mode = (head[0] >> 1 & 3) - 1;
  c.end_mode = (head[0] >> 3 & 3) - 1;
  c.state.position = little_endian(1);
  c.state.pause_ticks = little_endian(9);
  const size_t first_break = std::min(bytes.find('\n'), bytes.size());
  c.start_time = bytes.substr(0, first_break);
  bytes.remove_prefix(std::min(first_break + 1, bytes.size()));
  const size_t second_break = std::min(bytes.find('\n'), bytes.size());
  c.end_time = bytes.substr(0, second_break);
  bytes.remove_prefix(std::min(second_break + 1, bytes.size()));
  c.text = bytes;
  return c;
}

// From any state the window is valid UTF-8 of at most 14 UTF-16 units (the
// text itself when that short, with the state kept), and the next position
// lies on the cycle 1 to last; on the cycle every window is exactly 14 units.
inline const char* BrokenTickPromise(const PreviewState& state, const PreviewTickInput& input,
                                     const PreviewTickResult& result) {
  if (!IsValidUtf8(result.window)) return "the window is valid UTF-8";
  const int64_t length = static_cast<int64_t>(Utf16Length(input.prepared));
  if (length <= kPreviewWindowWidth) {
    if (result.window != input.prepared) return "a short text is shown whole";
    if (result.next != state) return "a short text keeps the state";
    return nullptr;
  }
  const int64_t window_length = static_cast<int64_t>(Utf16Length(result.window));
  if (window_length > kPreviewWindowWidth) return "the window is at most 14 units";
  const int64_t last = length + (input.start_mode == kStartModeRunIn ? kPreviewPadding : 0) +
                       (input.end_mode == kEndModeRunOut ? kPreviewPadding : 0) - kPreviewPadding;
  if (state.position >= 1 && state.position <= last && window_length != kPreviewWindowWidth) {
    return "a window on the cycle is 14 units";
  }
  if (result.next.position < 1 || result.next.position > last) {
    return "the next position is on the cycle";
  }
  return nullptr;
}

// The tick over the raw bytes (no crash; valid UTF-8 in gives valid UTF-8
// out), over the prepared text from the given state, and along 200 ticks of
// the cycle from the start with the pauses cut short. Returns the broken
// promise or nullptr.
inline const char* BrokenPreviewPromise(std::string_view bytes) {
  const PreviewCase c = ReadPreviewCase(bytes);
  PreviewTickInput input{c.text, c.start_mode, c.start_time, c.end_mode, c.end_time};
  const PreviewTickResult raw = TickPreview(c.state, input);
  if (IsValidUtf8(c.text)) {
    if (const char* broken = BrokenTickPromise(c.state, input, raw)) return broken;
  }

  const std::string prepared = PrepareScrollText(SanitizeUtf8(c.text), c.invert);
  if (!IsValidUtf8(prepared)) return "the prepared text is valid UTF-8";
  input.prepared = prepared;
  if (const char* broken = BrokenTickPromise(c.state, input, TickPreview(c.state, input))) {
    return broken;
  }

  const std::string start_time = c.start_time.substr(0, 4);
  const std::string end_time = c.end_time.substr(0, 4);
  input.start_time_text = start_time;
  input.end_time_text = end_time;
  PreviewState walk;
  for (int tick = 0; tick < 200; ++tick) {
    const PreviewTickResult result = TickPreview(walk, input);
    if (const char* broken = BrokenTickPromise(walk, input, result)) return broken;
    if (result.next.pause_ticks < 0) return "a pause counts up from zero";
    walk = result.next;
  }
  return nullptr;
}

}  // namespace zielwerk::fuzzing

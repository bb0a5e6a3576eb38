// SPDX-License-Identifier: GPL-3.0-or-later
// The serial line's speed as the display feels it. A pseudo-terminal hands
// over a whole command at once; the display at the end of a real line takes
// it byte by byte at 9600 baud, so a line is complete only when its last byte
// could have arrived, and no answer can come before that.
#pragma once

#include <chrono>
#include <cstddef>
#include <deque>
#include <optional>
#include <string>
#include <string_view>

namespace zielwerk {

inline constexpr long kDisplayBaud = 9600;
// 8N1: a start bit, eight data bits and a stop bit.
inline constexpr int kBitTimesPerByte = 10;
// A line keeps at most this many bytes; the rest of a longer one still takes
// its time on the line but is dropped, so a sender that never ends its line
// cannot fill the memory.
inline constexpr size_t kLongestPacedLine = 65536;

// How long one byte takes on a line of `baud`; zero for a baud of 0 or less
// (the line as fast as its device).
std::chrono::nanoseconds ByteTime(long baud);

// One command line taken off the line: its text without the line feed, and
// the moment its line feed had arrived.
struct PacedLine {
  std::string text;
  std::chrono::steady_clock::time_point complete;
};

// Cuts the bytes read from the line into command lines and dates each line
// by the line's speed. Time is handed in, so the pacing is a plain function
// of what was read and when.
class LinePacer {
 public:
  using Clock = std::chrono::steady_clock;

  explicit LinePacer(long baud = kDisplayBaud) : byte_time_(ByteTime(baud)) {}

  // Bytes that were read at `arrived`. Each takes one byte time, beginning
  // when the byte before it ended or at `arrived`, whichever is later. A
  // line's bytes beyond kLongestPacedLine are dropped.
  void Take(std::string_view bytes, Clock::time_point arrived);

  // The oldest line complete at `now`, or nullopt when none is.
  std::optional<PacedLine> NextLine(Clock::time_point now);

  // When the oldest line read so far will be complete; nullopt when no line
  // feed has been read.
  std::optional<Clock::time_point> NextDue() const;

 private:
  std::chrono::nanoseconds byte_time_;
  Clock::time_point line_free_{};  // when the last byte taken has arrived
  std::string partial_;            // bytes after the last line feed
  std::deque<PacedLine> lines_;
};

}  // namespace zielwerk

// SPDX-License-Identifier: GPL-3.0-or-later
// The display's end of the simulator's pseudo-terminal: reading the command
// lines at the line's speed, and answering each one after a delay.
#pragma once

#include <chrono>
#include <deque>
#include <optional>
#include <string>

#include "simulator/line_pacing.h"

namespace zielwerk {

// How the simulator answers a line, as the command line or the window sets it.
struct AnswerOptions {
  std::string text = "OK";
  bool crlf = false;     // end the answer with CR LF instead of LF
  long delay_ms = 50;    // from the moment the line was complete
  bool silent = false;   // never answer
};

// The pseudo-terminal the simulator plays the display on. The device end
// stays open for the simulator's whole run, never read: while the program
// closes and reopens the port, the display's end would otherwise see a hangup.
class SimulatorTerminal {
 public:
  SimulatorTerminal() = default;
  ~SimulatorTerminal();
  SimulatorTerminal(const SimulatorTerminal&) = delete;
  SimulatorTerminal& operator=(const SimulatorTerminal&) = delete;

  // Opens a fresh pair in raw mode at 9600 baud; on failure returns false and
  // sets `error` to the failed call and its reason.
  bool Open(std::string& error);

  int master() const { return master_; }
  int device() const { return device_; }
  // The name to type into Zielwerk's port field: "pts/3".
  const std::string& port_name() const { return port_name_; }

 private:
  int master_ = -1;
  int device_ = -1;
  std::string port_name_;
};

// What happened to one answer when it came due.
struct SentAnswer {
  std::string bytes;
  bool written = false;  // false: the write failed and the answer was dropped
  int error_number = 0;  // why it was dropped (EAGAIN: nobody reads the device)
};

// Reads command lines from the display's end of a line and writes the
// answers. Does not own the descriptor; makes it non-blocking.
class SimulatorLine {
 public:
  using Clock = std::chrono::steady_clock;

  SimulatorLine(int master, long baud);

  int master() const { return master_; }

  // Reads everything waiting. False when the line failed; `error_number` is
  // then the read's errno, or 0 for an end of file.
  bool ReadWaiting(Clock::time_point now, int& error_number);

  // The oldest line complete at `now`, with its answer queued by `options`
  // (due `delay_ms` after the line was complete); nullopt when none is.
  std::optional<PacedLine> NextLine(Clock::time_point now, const AnswerOptions& options);

  // Writes the oldest answer due at `now`; nullopt when none is due.
  std::optional<SentAnswer> SendNextAnswer(Clock::time_point now);

  // The next moment a line completes or an answer is due; nullopt when
  // nothing is waiting.
  std::optional<Clock::time_point> NextDue() const;
  bool AnswersPending() const { return !answers_.empty(); }

 private:
  struct PendingAnswer {
    Clock::time_point due;
    std::string bytes;
  };
  int master_;
  LinePacer pacer_;
  std::deque<PendingAnswer> answers_;
};

// Closing the display's end hangs the line up, which throws away answers the
// program has not read yet; so this waits until the last answer has reached
// the device's input queue and then until the program has read it, each for
// a bounded time.
void WaitUntilAnswersAreTaken(int device);

}  // namespace zielwerk

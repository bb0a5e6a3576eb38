// SPDX-License-Identifier: GPL-3.0-or-later
// Talking to the display without holding up the window: every transfer is a
// short sequence of steps (write a command, wait until 500 ms after the
// write, read what arrived; or pulse DTR), carried out whole before the next
// transfer begins. The caller owns the clock: it asks the queue to go on at
// the times the queue names, so the steps run on a main loop's timeouts, and
// tests run them without waiting.
#pragma once

#include <chrono>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "link/command_exchange.h"
#include "link/serial_port.h"

namespace zielwerk {

inline constexpr std::chrono::milliseconds kResetPulse{50};


// One step of a transfer.
struct LinkStep {
  enum class Kind {
    kExchange,    // write `command` and a line feed, then take the reply
    kResetPulse,  // DTR on, the pulse, DTR off; nothing is written
  };
  Kind kind = Kind::kExchange;
  std::string command;
  // The status text shown when the step begins on an open line ("Bild wird
  // gesendet: Zeile 3 von 7"); empty shows nothing.
  std::string status;
  bool operator==(const LinkStep&) const = default;
};

// A transfer: its steps in the order they go out.
using LinkJob = std::vector<LinkStep>;

class TransferQueue {
 public:
  using Clock = std::chrono::steady_clock;

  // Transfers on `port`, which must outlive the queue.
  explicit TransferQueue(SerialPort& port,
                         std::chrono::milliseconds acknowledge_wait = kAcknowledgeWait,
                         std::chrono::milliseconds reset_pulse = kResetPulse);

  // Queues `job` behind the transfers already there; a job equal to the
  // newest one still waiting (not yet begun) is not queued twice.
  void Add(LinkJob job);

  // What Advance has done: the status texts to show, in order, how many of
  // the steps it ended went without the display's answer (an exchange with
  // no reply or a failed write, any step on a closed port), and when to call
  // Advance again (nullopt: nothing is left to do).
  struct Outcome {
    std::vector<std::string> statuses;
    size_t unanswered = 0;
    std::optional<Clock::time_point> call_again_at;
  };

  // Carries the steps on as far as they go at `now`. An exchange on a closed
  // port reports Message::kLinkUnavailable and a reset Message::kResetPortClosed,
  // each at once; a step runs even when the one before it failed.
  Outcome Advance(Clock::time_point now);

  // Stops the running step (a pending write is abandoned, a DTR pulse ended)
  // and drops every waiting transfer. Reports nothing.
  void Cancel();

  // Whether no transfer is running or waiting.
  bool Idle() const { return jobs_.empty(); }

 private:
  enum class Phase { kBegin, kWriting, kAwaitingReply, kPulsing };

  void FinishStep();
  // When a write stalled at `now` gives up.
  Clock::time_point StallDeadline() const;

  SerialPort& port_;
  std::chrono::milliseconds acknowledge_wait_;
  std::chrono::milliseconds reset_pulse_;
  std::deque<LinkJob> jobs_;  // the front one is running
  size_t step_ = 0;
  Phase phase_ = Phase::kBegin;
  Clock::time_point due_;  // the reply's read or the pulse's end
  Clock::time_point progressed_at_;
  size_t backlog_ = 0;
};

// Runs `jobs` on `port` one after another to their end, sleeping between
// the steps, and hands each status text to `report` as it arises (null:
// none). Returns how many steps went without an answer. For programs
// without a main loop (the command-line sender) and for tests; the window
// runs its transfers through a TransferQueue on its main loop.
size_t RunLinkJobs(SerialPort& port, std::vector<LinkJob> jobs,
                   const std::function<void(const std::string&)>& report,
                   std::chrono::milliseconds acknowledge_wait = kAcknowledgeWait,
                   std::chrono::milliseconds reset_pulse = kResetPulse);

// Runs `job` as RunLinkJobs does and returns its last status text (empty
// when the job reported none).
std::string RunLinkJob(SerialPort& port, LinkJob job,
                       std::chrono::milliseconds acknowledge_wait = kAcknowledgeWait,
                       std::chrono::milliseconds reset_pulse = kResetPulse);

// Writes CommandLine(`command`) to `port`, waits `acknowledge_wait` from the
// write's end, and returns the status text: Message::kLinkUnavailable for a
// closed port (at once), WriteErrorStatus when the driver did not take the
// whole line, else ReadAcknowledgement. Blocks: the one-step job run by
// RunLinkJob, for tools and tests.
std::string CommandExchange(SerialPort& port, std::string_view command,
                            std::chrono::milliseconds acknowledge_wait = kAcknowledgeWait);

}  // namespace zielwerk

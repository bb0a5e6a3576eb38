// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/transfer_queue.h"

#include <algorithm>
#include <thread>
#include <utility>

namespace zielwerk {
namespace {

// How often a write the line does not take at once is tried again.
constexpr std::chrono::milliseconds kWriteRetry{10};

}  // namespace

TransferQueue::TransferQueue(SerialPort& port, std::chrono::milliseconds acknowledge_wait,
                             std::chrono::milliseconds reset_pulse)
    : port_(port), acknowledge_wait_(acknowledge_wait), reset_pulse_(reset_pulse) {}

void TransferQueue::Add(LinkJob job) {
  if (job.empty()) return;
  // A click repeated while its transfer still waits sends once.
  if (jobs_.size() > 1 && jobs_.back() == job) return;
  jobs_.push_back(std::move(job));
}

void TransferQueue::FinishStep() {
  phase_ = Phase::kBegin;
  if (++step_ < jobs_.front().size()) return;
  jobs_.pop_front();
  step_ = 0;
}

TransferQueue::Clock::time_point TransferQueue::StallDeadline() const {
  return progressed_at_ + WriteStallLimit(backlog_);
}

TransferQueue::Outcome TransferQueue::Advance(Clock::time_point now) {
  Outcome outcome;
  while (!jobs_.empty()) {
    const LinkStep& step = jobs_.front()[step_];
    switch (phase_) {
      case Phase::kBegin:
        if (!port_.IsOpen()) {
          outcome.statuses.emplace_back(step.kind == LinkStep::Kind::kExchange
                                            ? MessageText(Message::kLinkUnavailable)
                                            : MessageText(Message::kResetPortClosed));
          ++outcome.unanswered;
          FinishStep();
          continue;
        }
        if (!step.status.empty()) outcome.statuses.push_back(step.status);
        if (step.kind == LinkStep::Kind::kResetPulse) {
          // Devices without modem lines refuse the change; the reset is
          // reported all the same, as nothing else can be learnt about
          // whether the display restarted.
          port_.SetDtr(true);
          phase_ = Phase::kPulsing;
          due_ = now + reset_pulse_;
          continue;
        }
        switch (port_.StartWrite(CommandLine(step.command))) {
          case WriteProgress::kDone:
            phase_ = Phase::kAwaitingReply;
            due_ = now + acknowledge_wait_;
            break;
          case WriteProgress::kPending:
            phase_ = Phase::kWriting;
            progressed_at_ = now;
            backlog_ = port_.WriteBacklog();
            break;
          case WriteProgress::kFailed:
            outcome.statuses.push_back(WriteErrorStatus(port_.ErrorNumber()));
            ++outcome.unanswered;
            FinishStep();
            break;
        }
        continue;
      case Phase::kWriting: {
        const WriteProgress progress = port_.ContinueWrite();
        if (progress == WriteProgress::kDone) {
          // The wait counts from the moment the line has taken the command.
          phase_ = Phase::kAwaitingReply;
          due_ = now + acknowledge_wait_;
          continue;
        }
        if (progress == WriteProgress::kPending && port_.WriteBacklog() != backlog_) {
          backlog_ = port_.WriteBacklog();
          progressed_at_ = now;
        }
        if (progress == WriteProgress::kPending && now >= StallDeadline()) port_.AbandonWrite();
        if (progress == WriteProgress::kFailed || now >= StallDeadline()) {
          outcome.statuses.push_back(WriteErrorStatus(port_.ErrorNumber()));
          ++outcome.unanswered;
          FinishStep();
          continue;
        }
        outcome.call_again_at = std::min(now + kWriteRetry, StallDeadline());
        return outcome;
      }
      case Phase::kAwaitingReply:
        if (now < due_) {
          outcome.call_again_at = due_;
          return outcome;
        }
        {
          Acknowledgement reply = ReadAcknowledgement(port_);
          outcome.statuses.push_back(std::move(reply.status));
          if (!reply.answered) ++outcome.unanswered;
        }
        FinishStep();
        continue;
      case Phase::kPulsing:
        if (now < due_) {
          outcome.call_again_at = due_;
          return outcome;
        }
        port_.SetDtr(false);
        outcome.statuses.emplace_back(MessageText(Message::kDisplayReset));
        FinishStep();
        continue;
    }
  }
  return outcome;
}

void TransferQueue::Cancel() {
  if (!jobs_.empty()) {
    if (phase_ == Phase::kWriting) port_.AbandonWrite();
    if (phase_ == Phase::kPulsing) port_.SetDtr(false);
  }
  jobs_.clear();
  step_ = 0;
  phase_ = Phase::kBegin;
}

size_t RunLinkJobs(SerialPort& port, std::vector<LinkJob> jobs,
                   const std::function<void(const std::string&)>& report,
                   std::chrono::milliseconds acknowledge_wait,
                   std::chrono::milliseconds reset_pulse) {
  TransferQueue queue(port, acknowledge_wait, reset_pulse);
  // Added one by one behind each other: two equal jobs both run, as asked.
  size_t unanswered = 0;
  for (LinkJob& job : jobs) {
    queue.Add(std::move(job));
    for (;;) {
      const TransferQueue::Outcome outcome = queue.Advance(TransferQueue::Clock::now());
      if (report) {
        for (const std::string& status : outcome.statuses) report(status);
      }
      unanswered += outcome.unanswered;
      if (!outcome.call_again_at) break;
      std::this_thread::sleep_until(*outcome.call_again_at);
    }
  }
  return unanswered;
}

std::string RunLinkJob(SerialPort& port, LinkJob job, std::chrono::milliseconds acknowledge_wait,
                       std::chrono::milliseconds reset_pulse) {
  std::string last;
  std::vector<LinkJob> jobs;
  jobs.push_back(std::move(job));
  RunLinkJobs(
      port, std::move(jobs), [&last](const std::string& status) { last = status; },
      acknowledge_wait, reset_pulse);
  return last;
}

std::string CommandExchange(SerialPort& port, std::string_view command,
                            std::chrono::milliseconds acknowledge_wait) {
  return RunLinkJob(port, {LinkStep{LinkStep::Kind::kExchange, std::string(command), {}}},
                    acknowledge_wait);
}

}  // namespace zielwerk

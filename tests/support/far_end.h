// SPDX-License-Identifier: GPL-3.0-or-later
// The display's end of a pseudo-terminal line for the suites that talk to a
// program over it: keeps everything the program wrote and, when given a
// reply, writes it back as soon as a whole line has arrived.
#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <utility>

#include "support/pseudo_terminal.h"

namespace zielwerk::testing {

class FarEnd {
 public:
  explicit FarEnd(std::optional<std::string> reply = std::nullopt) : reply_(std::move(reply)) {
    if (line_.master() >= 0) reader_ = std::thread([this] { Serve(); });
  }
  ~FarEnd() { HangUp(); }

  // The name to type into the port field, "pts/N".
  std::string name() const { return line_.PortName(); }
  // The test's own descriptor of the device, kept open so that the program's
  // closing of the port does not hang up the line.
  int slave() const { return line_.slave(); }

  std::string Received() {
    std::lock_guard lock(mutex_);
    return received_;
  }
  std::string ReceivedAfter(std::chrono::milliseconds wait, size_t count) {
    const auto deadline = std::chrono::steady_clock::now() + wait;
    while (Received().size() < count && std::chrono::steady_clock::now() < deadline) {
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return Received();
  }

  // Closes the master side: the device is gone, as if unplugged.
  void HangUp() {
    stop_ = true;
    if (reader_.joinable()) reader_.join();
    line_.CloseMaster();
  }

 private:
  void Serve() {
    while (!stop_) {
      const std::string chunk = line_.ReadUntil(1, std::chrono::milliseconds(10));
      if (chunk.empty()) continue;
      {
        std::lock_guard lock(mutex_);
        received_ += chunk;
      }
      for (const char c : chunk) {
        if (c == '\n' && reply_ && !line_.Write(*reply_)) ADD_FAILURE() << "reply lost";
      }
    }
  }

  std::optional<std::string> reply_;
  PseudoTerminal line_;
  std::thread reader_;
  std::atomic<bool> stop_{false};
  std::mutex mutex_;
  std::string received_;
};

}  // namespace zielwerk::testing

// SPDX-License-Identifier: GPL-3.0-or-later
// A pseudo-terminal pair standing in for a serial device: the program under
// test opens the slave side by its path, the test plays the far end on the
// master side, by hand or through a FarEnd.
#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstddef>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <utility>

namespace zielwerk::testing {

class PseudoTerminal {
 public:
  // Opens a fresh pair with a non-blocking master. A pair that cannot be
  // opened fails the calling test; its descriptors are then -1 and its path "".
  PseudoTerminal();
  // Closes whichever ends are still open.
  ~PseudoTerminal();
  PseudoTerminal(const PseudoTerminal&) = delete;
  PseudoTerminal& operator=(const PseudoTerminal&) = delete;

  // The far end's descriptor, owned by this object; -1 once closed.
  int master() const { return master_; }
  // The test's own descriptor of the device, owned by this object; while it is
  // open, the program closing its port does not hang up the line. -1 once closed.
  int slave() const { return slave_; }
  // The device the program opens, "/dev/pts/N".
  const std::string& SlavePath() const { return slave_path_; }
  // The device as a user types it into the port field: SlavePath() without
  // its leading "/dev/".
  std::string PortName() const;

  // Closes the far end, as if the device were unplugged. Safe to call twice.
  void CloseMaster();
  // Closes the test's own descriptor of the device. Safe to call twice.
  void CloseSlave();

  // Puts the line into raw mode (no echo, no line editing, no output
  // translation) for whoever opens the device next; a failure fails the test.
  void MakeRaw();

  // What the program wrote, read from the master until at least `count` bytes
  // came or `limit` passed; even a zero limit takes what has already arrived.
  std::string ReadUntil(size_t count,
                        std::chrono::milliseconds limit = std::chrono::milliseconds(2000));
  // What the program wrote, read until the bytes end in a line feed or `limit`
  // passed. A read may take more than one line if they came together.
  std::string ReadLine(std::chrono::milliseconds limit = std::chrono::milliseconds(2000));
  // Everything the program wrote that has already arrived, without waiting.
  std::string ReadAvailable();

  // Writes `bytes` to the master as the far end's answer; true when all of
  // them were taken by one write.
  bool Write(std::string_view bytes);

 private:
  int master_ = -1;
  int slave_ = -1;
  std::string slave_path_;
};

// The display's end of a line: keeps everything the program wrote and, when
// given a reply, writes it back as soon as a whole line has arrived.
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

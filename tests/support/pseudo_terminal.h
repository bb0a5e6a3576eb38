// SPDX-License-Identifier: GPL-3.0-or-later
// A pseudo-terminal pair standing in for a serial device: the program under
// test opens the slave side by its path, the test plays the far end on the
// master side.
#pragma once

#include <chrono>
#include <cstddef>
#include <string>
#include <string_view>

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

}  // namespace zielwerk::testing

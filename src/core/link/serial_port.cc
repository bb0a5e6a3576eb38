// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/serial_port.h"

#include <algorithm>
#include <thread>

namespace zielwerk {

std::chrono::milliseconds WriteStallLimit(size_t backlog) {
  // 10 bit times per byte at 9600 baud: a little over a millisecond.
  return std::chrono::milliseconds(1500) +
         std::chrono::milliseconds(2) * static_cast<int64_t>(backlog);
}

size_t SerialPort::Write(std::string_view bytes) {
  if (!IsOpen()) return 0;
  WriteProgress progress = StartWrite(bytes);
  size_t backlog = WriteBacklog();
  auto progressed_at = std::chrono::steady_clock::now();
  while (progress == WriteProgress::kPending) {
    const auto now = std::chrono::steady_clock::now();
    if (WriteBacklog() != backlog) {
      backlog = WriteBacklog();
      progressed_at = now;
    } else if (now - progressed_at > WriteStallLimit(backlog)) {
      AbandonWrite();
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
    progress = ContinueWrite();
  }
  if (progress == WriteProgress::kDone) return bytes.size();
  // An abandoned write leaves no backlog; what was left when it stalled is
  // what the line did not take.
  backlog = std::max(backlog, WriteBacklog());
  return bytes.size() - std::min(backlog, bytes.size());
}

std::string SerialPort::LineAfterAbandonedWrite(std::string_view bytes) {
  std::string line;
  if (line_broken_ && IsOpen()) {
    line = "\n";
    line_broken_ = false;
  }
  line += bytes;
  return line;
}

SerialPort& SerialLink() {
  static SerialPort port;
  return port;
}

std::string PortDevicePath(std::string_view shown_text) {
  return std::string(kPortDevicePrefix) + std::string(shown_text);
}

}  // namespace zielwerk

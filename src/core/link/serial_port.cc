// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/serial_port.h"

namespace zielwerk {

std::string SerialPort::LineAfterAbandonedWrite(std::string_view bytes) {
  std::string line;
  if (line_broken_ && IsOpen()) {
    line.push_back('\n');
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

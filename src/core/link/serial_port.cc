#include "link/serial_port.h"

namespace zielwerk {

SerialPort::~SerialPort() { Close(); }

SerialPort& SerialLink() {
  static SerialPort port;
  return port;
}

std::string PortDevicePath(std::string_view shown_text) {
  return std::string(kPortDevicePrefix) + std::string(shown_text);
}

}  // namespace zielwerk

// The serial line to the car's display: one port, opened at 9600 baud 8N1
// without handshake, non-blocking for its whole life. The program has one
// such link, port 0, reached through SerialLink(). serial_port_posix.cc
// drives a tty through termios, serial_port_win32.cc a COM port through the
// Win32 communications calls.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace zielwerk {

// Outcome of a port operation that can fail: on failure the error number
// (errno, or GetLastError() on Windows) and the name of the system call that
// failed ("open", "fstat", "flock", "CreateFileW", ...).
struct PortResult {
  bool ok = false;
  int error_number = 0;
  std::string_view failed_call;
};

// Owns the descriptor (Windows: the handle) of one serial port and closes it
// when it goes away.
// Every operation on a closed port does nothing and returns 0 (or false).
class SerialPort {
 public:
  SerialPort() = default;
  ~SerialPort();
  SerialPort(const SerialPort&) = delete;
  SerialPort& operator=(const SerialPort&) = delete;

  // Closes a port already open, then opens `device_path` read-write,
  // close-on-exec and non-blocking, discards waiting input and sets 9600 baud
  // 8N1 raw. Fails (and leaves the port closed) when the path cannot be
  // opened, is not a character device, or is held by another open (exclusive
  // lock). A character device that takes no terminal attributes still opens.
  // On Windows the path is UTF-8 and the port is opened without sharing.
  PortResult Open(const std::string& device_path);

  // Closes the descriptor and forgets it; sends nothing, changes no modem line.
  void Close();

  bool IsOpen() const { return handle_ != kNoHandle; }

  // Hands all bytes to the driver, waiting for it when its buffer is full
  // (for at most about a second without progress). Returns the number of
  // bytes accepted; when that is fewer than given, ErrorNumber() says why.
  size_t Write(std::string_view bytes);

  // Number of bytes waiting in the input queue (FIONREAD, or the queue count
  // of ClearCommError); 0 on failure.
  size_t WaitingBytes();

  // One non-blocking read into `buffer`; the number of bytes delivered, 0
  // when nothing was waiting or the call failed.
  size_t Read(std::span<char> buffer);

  // Why the last write fell short: its errno on Linux; on Windows the
  // communication-error flags of ClearCommError, or the Win32 error of the
  // write when no flag is set. 0 after a write that took all bytes.
  int ErrorNumber() const { return error_number_; }

  // Switches the DTR modem line on or off (TIOCMGET and TIOCMSET, or
  // EscapeCommFunction). Fails on a closed port and on devices without modem
  // lines (a pseudo-terminal, also behind Wine's COM ports).
  PortResult SetDtr(bool on);

 private:
  // A descriptor on Linux, a HANDLE on Windows; both fit and both use -1 for
  // "none" (INVALID_HANDLE_VALUE).
  static constexpr std::intptr_t kNoHandle = -1;

  std::intptr_t handle_ = kNoHandle;
  int error_number_ = 0;
  bool exclusive_ = false;  // TIOCEXCL was set and must be taken back on close
};

// Port 0, the program's one link to the display; created closed on first use.
SerialPort& SerialLink();

// What goes before the name the port field shows: "/dev/" on Linux; on
// Windows the four characters of the Win32 device namespace, backslash,
// backslash, full stop, backslash (without them COM10 and above cannot be
// opened).
extern const std::string_view kPortDevicePrefix;

// The device path for the text that the port field shows: kPortDevicePrefix
// followed by that text unchanged (a typed "pts/3" opens /dev/pts/3).
std::string PortDevicePath(std::string_view shown_text);

}  // namespace zielwerk

// SPDX-License-Identifier: GPL-3.0-or-later
// The serial line to the car's display: one port, opened at 9600 baud 8N1
// without handshake, non-blocking for its whole life. The program has one
// such link, port 0, reached through SerialLink(). serial_port_posix.cc
// drives a tty through termios, serial_port_win32.cc a COM port through the
// Win32 communications calls.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
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

// How far a write has come: the driver took every byte, some wait until the
// line takes more, or the driver refused them.
enum class WriteProgress { kDone, kPending, kFailed };

// How long a write may wait without the driver taking a byte before it
// counts as failed: a second and a half, and two milliseconds for each of the
// `backlog` bytes still to go, twice the time a byte takes on the line at
// 9600 baud (Windows tells a write's progress only when it has gone out
// whole, so the allowance covers the whole line). The Windows port sets its
// driver's write timeout to the same rule.
inline constexpr std::chrono::milliseconds kWriteStallBase{1500};
inline constexpr std::chrono::milliseconds kWriteStallPerByte{2};
constexpr std::chrono::milliseconds WriteStallLimit(size_t backlog) {
  return kWriteStallBase + kWriteStallPerByte * static_cast<int64_t>(backlog);
}

// Owns the descriptor (Windows: the handle) of one serial port and closes it
// when it goes away.
// Every operation on a closed port does nothing and returns 0 (or false).
class SerialPort {
 public:
  SerialPort();
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

  // Begins handing `bytes` to the driver without waiting for the line (a
  // write still pending is abandoned first): kDone when the driver took them
  // all, kPending when the rest waits until the line takes more (see
  // ContinueWrite), kFailed when the driver refused them (ErrorNumber()).
  WriteProgress StartWrite(std::string_view bytes);
  // Hands on what the pending write has left, without waiting; kDone when
  // no write is pending.
  WriteProgress ContinueWrite();
  // Bytes of the latest write the driver has not taken (yet).
  size_t WriteBacklog() const;
  // Gives up a pending write; ErrorNumber() then tells that the line stalled.
  // What the driver has not sent yet is discarded and nothing of the write
  // stays behind; the next write begins with a line feed, which ends the
  // broken line so that the display drops it rather than join it to the
  // next command.
  void AbandonWrite();

  // Number of bytes waiting in the input queue (FIONREAD, or the queue count
  // of ClearCommError); 0 on failure.
  size_t WaitingBytes();

  // One non-blocking read into `buffer`; the number of bytes delivered, 0
  // when nothing was waiting or the call failed.
  size_t Read(std::span<char> buffer);

  // Why the last write fell short: its errno on Linux, the Win32 error of
  // the call that failed on Windows. 0 after a write that took all bytes.
  int ErrorNumber() const { return error_number_; }

  // Switches the DTR modem line on or off (TIOCMGET and TIOCMSET, or
  // EscapeCommFunction). Fails on a closed port and on devices without modem
  // lines (a pseudo-terminal, also behind Wine's COM ports).
  PortResult SetDtr(bool on);

 private:
  // A descriptor on Linux, a HANDLE on Windows; both fit and both use -1 for
  // "none" (INVALID_HANDLE_VALUE).
  static constexpr std::intptr_t kNoHandle = -1;

  // The latest write: its bytes and how many the driver has taken, and on
  // Windows the overlapped request in flight.
  struct PendingWrite;

  // `bytes` as the next write sends them: after an abandoned write, with the
  // line feed that ends the broken line in front.
  std::string LineAfterAbandonedWrite(std::string_view bytes);
  // Drops what the driver has not sent of the latest write and marks the
  // line broken.
  void DiscardUnsent();

  std::intptr_t handle_ = kNoHandle;
  int error_number_ = 0;
  bool exclusive_ = false;  // TIOCEXCL was set and must be taken back on close
  // A write was abandoned half-way and no line feed has ended that line yet;
  // kept over a close, as the display still holds the broken line.
  bool line_broken_ = false;
  std::unique_ptr<PendingWrite> write_;
};

// Port 0, the program's one link to the display; created closed on first use.
SerialPort& SerialLink();

// What goes before the name the port field shows: "/dev/" on Linux, "\\.\" on
// Windows (the Win32 device namespace, without which COM10 and above cannot
// be opened).
extern const std::string_view kPortDevicePrefix;

// The device path for the text that the port field shows: kPortDevicePrefix
// followed by that text unchanged (a typed "pts/3" opens /dev/pts/3, a typed
// "/dev/ttyUSB0" the missing /dev//dev/ttyUSB0).
std::string PortDevicePath(std::string_view shown_text);

}  // namespace zielwerk

// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/serial_port.h"

#include <windows.h>

#include <algorithm>
#include <optional>

#include "text/wide_text_win32.h"

namespace zielwerk {
namespace {

// The queue sizes the driver is asked for; a command line is at most a few
// hundred bytes.
constexpr DWORD kQueueBytes = 1024;

HANDLE AsHandle(std::intptr_t handle) { return reinterpret_cast<HANDLE>(handle); }

PortResult Failure(std::string_view call, DWORD error) {
  return PortResult{false, static_cast<int>(error), call};
}

// The number behind "Error N": the Win32 error of the call that failed. A
// write the driver's timeout ended early failed for want of time, so a
// failure never reads as "Error 0". The line's error flags (noise received)
// are no write's doing: WaitingBytes clears them where it reads them.
int WriteErrorNumber(DWORD write_error) {
  return static_cast<int>(write_error != ERROR_SUCCESS ? write_error : ERROR_TIMEOUT);
}

}  // namespace

const std::string_view kPortDevicePrefix = "\\\\.\\";

// The port is opened for overlapped I/O, so that a write returns while its
// bytes go out and the window goes on; the request and its event live here
// until the driver has finished with them.
struct SerialPort::PendingWrite {
  std::string bytes;
  size_t taken = 0;
  OVERLAPPED overlapped{};
  bool in_flight = false;

  PendingWrite() { overlapped.hEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr); }
  ~PendingWrite() {
    if (overlapped.hEvent) CloseHandle(overlapped.hEvent);
  }
  PendingWrite(const PendingWrite&) = delete;
  PendingWrite& operator=(const PendingWrite&) = delete;
};

SerialPort::SerialPort() : write_(std::make_unique<PendingWrite>()) {}

SerialPort::~SerialPort() { Close(); }

PortResult SerialPort::Open(const std::string& device_path) {
  Close();
  error_number_ = 0;
  const std::optional<std::wstring> wide_path = WideFromUtf8(device_path);
  if (!wide_path || wide_path->empty()) return Failure("CreateFileW", ERROR_INVALID_NAME);
  // No sharing: a second program (or a second open of ours) stays off the line.
  HANDLE port = CreateFileW(wide_path->c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                            OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr);
  if (port == INVALID_HANDLE_VALUE) return Failure("CreateFileW", GetLastError());

  // A file or a pipe would swallow the commands and never answer; only
  // character devices are ports.
  if (GetFileType(port) != FILE_TYPE_CHAR) {
    CloseHandle(port);
    return Failure("GetFileType", ERROR_BAD_DEVICE);
  }

  SetupComm(port, kQueueBytes, kQueueBytes);
  PurgeComm(port, PURGE_RXCLEAR);
  // A character device that is no serial line has no line settings; it still
  // counts as open, as on Linux. DTR and RTS go on as a Linux open raises them.
  DCB line{};
  line.DCBlength = sizeof line;
  if (GetCommState(port, &line)) {
    line.BaudRate = CBR_9600;
    line.ByteSize = 8;
    line.Parity = NOPARITY;
    line.StopBits = ONESTOPBIT;
    line.fBinary = TRUE;
    line.fParity = FALSE;
    line.fOutxCtsFlow = FALSE;
    line.fOutxDsrFlow = FALSE;
    line.fDtrControl = DTR_CONTROL_ENABLE;
    line.fDsrSensitivity = FALSE;
    line.fTXContinueOnXoff = TRUE;
    line.fOutX = FALSE;
    line.fInX = FALSE;
    line.fErrorChar = FALSE;
    line.fNull = FALSE;
    line.fRtsControl = RTS_CONTROL_ENABLE;
    line.fAbortOnError = FALSE;
    SetCommState(port, &line);
  }
  // Reads return at once with whatever is waiting, like a non-blocking read.
  COMMTIMEOUTS timeouts{};
  timeouts.ReadIntervalTimeout = MAXDWORD;
  timeouts.ReadTotalTimeoutMultiplier = 0;
  timeouts.ReadTotalTimeoutConstant = 0;
  // A write the driver has not finished by WriteStallLimit of its length
  // gives up in the driver, as the caller would give it up.
  timeouts.WriteTotalTimeoutMultiplier = static_cast<DWORD>(kWriteStallPerByte.count());
  timeouts.WriteTotalTimeoutConstant = static_cast<DWORD>(kWriteStallBase.count());
  SetCommTimeouts(port, &timeouts);

  handle_ = reinterpret_cast<std::intptr_t>(port);
  return PortResult{true, 0, {}};
}

void SerialPort::Close() {
  if (!IsOpen()) return;
  // The driver must be done with the request before its buffer goes.
  if (write_->in_flight) AbandonWrite();
  CloseHandle(AsHandle(handle_));
  handle_ = kNoHandle;
  write_->bytes.clear();
  write_->taken = 0;
}

WriteProgress SerialPort::StartWrite(std::string_view bytes) {
  if (write_->in_flight) AbandonWrite();
  write_->bytes = LineAfterAbandonedWrite(bytes);
  write_->taken = 0;
  error_number_ = 0;
  if (!IsOpen()) return WriteProgress::kFailed;
  if (write_->bytes.empty()) return WriteProgress::kDone;
  PendingWrite& pending = *write_;
  ResetEvent(pending.overlapped.hEvent);
  pending.overlapped.Offset = 0;
  pending.overlapped.OffsetHigh = 0;
  const DWORD wanted = static_cast<DWORD>(std::min<size_t>(pending.bytes.size(), 1 << 20));
  DWORD count = 0;
  if (!WriteFile(AsHandle(handle_), pending.bytes.data(), wanted, &count, &pending.overlapped) &&
      GetLastError() != ERROR_IO_PENDING) {
    error_number_ = WriteErrorNumber(GetLastError());
    return WriteProgress::kFailed;
  }
  pending.in_flight = true;
  return ContinueWrite();
}

WriteProgress SerialPort::ContinueWrite() {
  PendingWrite& pending = *write_;
  if (!pending.in_flight) {
    return pending.taken == pending.bytes.size() ? WriteProgress::kDone : WriteProgress::kFailed;
  }
  DWORD count = 0;
  if (!GetOverlappedResult(AsHandle(handle_), &pending.overlapped, &count, FALSE)) {
    const DWORD error = GetLastError();
    if (error == ERROR_IO_INCOMPLETE) return WriteProgress::kPending;
    pending.in_flight = false;
    pending.taken += count;
    error_number_ = WriteErrorNumber(error);
    return WriteProgress::kFailed;
  }
  pending.in_flight = false;
  pending.taken += count;
  if (pending.taken < pending.bytes.size()) {
    // The driver's write timeout ended the request early: the line stalled,
    // as when the caller gives up a write.
    DiscardUnsent();
    error_number_ = WriteErrorNumber(ERROR_SUCCESS);
    return WriteProgress::kFailed;
  }
  return WriteProgress::kDone;
}

size_t SerialPort::WriteBacklog() const { return write_->bytes.size() - write_->taken; }

void SerialPort::AbandonWrite() {
  PendingWrite& pending = *write_;
  if (!pending.in_flight) return;
  CancelIo(AsHandle(handle_));
  DWORD count = 0;
  GetOverlappedResult(AsHandle(handle_), &pending.overlapped, &count, TRUE);
  pending.in_flight = false;
  DiscardUnsent();
  error_number_ = WriteErrorNumber(ERROR_TIMEOUT);
}

void SerialPort::DiscardUnsent() {
  // What the driver still holds of the command is dropped with the rest, so
  // that nothing of it reaches the display after the next command has begun.
  PurgeComm(AsHandle(handle_), PURGE_TXABORT | PURGE_TXCLEAR);
  write_->taken = write_->bytes.size();
  line_broken_ = true;
}

size_t SerialPort::WaitingBytes() {
  if (!IsOpen()) return 0;
  DWORD flags = 0;
  COMSTAT status{};
  if (!ClearCommError(AsHandle(handle_), &flags, &status)) return 0;
  return status.cbInQue;
}

size_t SerialPort::Read(std::span<char> buffer) {
  if (!IsOpen() || buffer.empty()) return 0;
  const DWORD wanted = static_cast<DWORD>(std::min<size_t>(buffer.size(), 1 << 20));
  DWORD count = 0;
  OVERLAPPED overlapped{};
  overlapped.hEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  if (!overlapped.hEvent) return 0;
  // The read timeouts make the request end at once with what is waiting.
  if (!ReadFile(AsHandle(handle_), buffer.data(), wanted, &count, &overlapped) &&
      (GetLastError() != ERROR_IO_PENDING ||
       !GetOverlappedResult(AsHandle(handle_), &overlapped, &count, TRUE))) {
    count = 0;
  }
  CloseHandle(overlapped.hEvent);
  return count;
}

PortResult SerialPort::SetDtr(bool on) {
  if (!IsOpen()) return Failure({}, 0);
  if (!EscapeCommFunction(AsHandle(handle_), on ? SETDTR : CLRDTR)) {
    return Failure("EscapeCommFunction", GetLastError());
  }
  return PortResult{true, 0, {}};
}

}  // namespace zielwerk

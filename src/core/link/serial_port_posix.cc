// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/serial_port.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>

namespace zielwerk {
namespace {

PortResult Failure(std::string_view call, int error_number) {
  return PortResult{false, error_number, call};
}

int IoctlRetrying(int fd, unsigned long request, void* argument) {
  int result;
  do {
    result = ioctl(fd, request, argument);
  } while (result < 0 && errno == EINTR);
  return result;
}

}  // namespace

const std::string_view kPortDevicePrefix = "/dev/";

struct SerialPort::PendingWrite {
  std::string bytes;
  size_t taken = 0;
};

SerialPort::SerialPort() : write_(std::make_unique<PendingWrite>()) {}

SerialPort::~SerialPort() { Close(); }

PortResult SerialPort::Open(const std::string& device_path) {
  Close();
  error_number_ = 0;
  int fd;
  do {
    fd = open(device_path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) return Failure("open", errno);

  // A regular file or a FIFO would swallow the commands and never answer;
  // only character devices are ports.
  struct stat status;
  if (fstat(fd, &status) != 0) {
    const int error_number = errno;
    close(fd);
    return Failure("fstat", error_number);
  }
  if (!S_ISCHR(status.st_mode)) {
    close(fd);
    return Failure("fstat", ENODEV);
  }

  // The lock keeps a second program (or a second open of ours) off the line;
  // TIOCEXCL refuses later opens of the tty for callers without privileges.
  int lock_result;
  do {
    lock_result = flock(fd, LOCK_EX | LOCK_NB);
  } while (lock_result != 0 && errno == EINTR);
  if (lock_result != 0 && errno == EWOULDBLOCK) {
    close(fd);
    return Failure("flock", EWOULDBLOCK);
  }
  exclusive_ = IoctlRetrying(fd, TIOCEXCL, nullptr) == 0;

  tcflush(fd, TCIFLUSH);
  termios settings{};
  settings.c_iflag = IGNPAR;
  settings.c_oflag = 0;
  settings.c_cflag = B9600 | CS8 | CREAD | CLOCAL;
  settings.c_lflag = 0;
  settings.c_cc[VMIN] = 1;
  settings.c_cc[VTIME] = 0;
  cfsetispeed(&settings, B9600);
  cfsetospeed(&settings, B9600);
  // A character device that is no serial line refuses the attributes; it
  // still counts as open.
  while (tcsetattr(fd, TCSANOW, &settings) != 0 && errno == EINTR) {
  }

  handle_ = fd;
  return PortResult{true, 0, {}};
}

void SerialPort::Close() {
  if (!IsOpen()) return;
  const int fd = static_cast<int>(handle_);
  // The exclusive flag lives in the tty, which outlives this descriptor when
  // another descriptor holds it (a pseudo-terminal's far end): without taking
  // it back, our own next open would be refused.
  if (exclusive_) IoctlRetrying(fd, TIOCNXCL, nullptr);
  // close() is not retried: on Linux the descriptor is gone even after EINTR.
  close(fd);
  handle_ = kNoHandle;
  exclusive_ = false;
  write_->bytes.clear();
  write_->taken = 0;
}

WriteProgress SerialPort::StartWrite(std::string_view bytes) {
  write_->bytes = LineAfterAbandonedWrite(bytes);
  write_->taken = 0;
  error_number_ = 0;
  if (!IsOpen()) return WriteProgress::kFailed;
  return ContinueWrite();
}

WriteProgress SerialPort::ContinueWrite() {
  PendingWrite& pending = *write_;
  if (pending.taken == pending.bytes.size()) return WriteProgress::kDone;
  if (!IsOpen()) return WriteProgress::kFailed;
  const int fd = static_cast<int>(handle_);
  while (pending.taken < pending.bytes.size()) {
    const ssize_t count =
        write(fd, pending.bytes.data() + pending.taken, pending.bytes.size() - pending.taken);
    if (count > 0) {
      pending.taken += static_cast<size_t>(count);
      continue;
    }
    if (count < 0 && errno == EINTR) continue;
    if (count < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return WriteProgress::kPending;
    error_number_ = count < 0 ? errno : EIO;
    return WriteProgress::kFailed;
  }
  return WriteProgress::kDone;
}

size_t SerialPort::WriteBacklog() const { return write_->bytes.size() - write_->taken; }

void SerialPort::AbandonWrite() {
  if (WriteBacklog() == 0) return;
  // The driver's buffer stayed full: the line took nothing for too long.
  DiscardUnsent();
  error_number_ = EAGAIN;
}

void SerialPort::DiscardUnsent() {
  // What the driver still holds of the command is dropped with the rest, so
  // that nothing of it reaches the display after the next command has begun.
  if (IsOpen()) tcflush(static_cast<int>(handle_), TCOFLUSH);
  write_->taken = write_->bytes.size();
  line_broken_ = true;
}

size_t SerialPort::WaitingBytes() {
  if (!IsOpen()) return 0;
  int waiting = 0;
  if (IoctlRetrying(static_cast<int>(handle_), FIONREAD, &waiting) != 0 || waiting < 0) return 0;
  return static_cast<size_t>(waiting);
}

size_t SerialPort::Read(std::span<char> buffer) {
  if (!IsOpen() || buffer.empty()) return 0;
  ssize_t count;
  do {
    count = read(static_cast<int>(handle_), buffer.data(), buffer.size());
  } while (count < 0 && errno == EINTR);
  return count > 0 ? static_cast<size_t>(count) : 0;
}

PortResult SerialPort::SetDtr(bool on) {
  if (!IsOpen()) return Failure({}, 0);
  const int fd = static_cast<int>(handle_);
  int bits = 0;
  if (IoctlRetrying(fd, TIOCMGET, &bits) != 0) return Failure("TIOCMGET", errno);
  if (on) {
    bits |= TIOCM_DTR;
  } else {
    bits &= ~TIOCM_DTR;
  }
  if (IoctlRetrying(fd, TIOCMSET, &bits) != 0) return Failure("TIOCMSET", errno);
  return PortResult{true, 0, {}};
}

}  // namespace zielwerk

#include "link/serial_port.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>

namespace zielwerk {
namespace {

// How long a write waits for a full driver buffer to take more bytes before
// it gives up. At 9600 baud a kilobyte leaves the buffer in about a second.
constexpr std::chrono::milliseconds kWriteStallLimit{1500};

PortResult Failure(std::string_view call, int error_number) {
  return PortResult{false, error_number, call};
}

// Waits until the descriptor can take bytes again or `deadline` passes.
void WaitWritable(int fd, std::chrono::steady_clock::time_point deadline) {
  for (;;) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) return;
    pollfd entry{fd, POLLOUT, 0};
    const int ready = poll(&entry, 1, static_cast<int>(left.count()) + 1);
    if (ready >= 0 || errno != EINTR) return;
  }
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
}

size_t SerialPort::Write(std::string_view bytes) {
  if (!IsOpen()) return 0;
  const int fd = static_cast<int>(handle_);
  error_number_ = 0;
  size_t written = 0;
  auto deadline = std::chrono::steady_clock::now() + kWriteStallLimit;
  while (written < bytes.size()) {
    const ssize_t count = write(fd, bytes.data() + written, bytes.size() - written);
    if (count > 0) {
      written += static_cast<size_t>(count);
      deadline = std::chrono::steady_clock::now() + kWriteStallLimit;
      continue;
    }
    if (count < 0 && errno == EINTR) continue;
    if (count < 0 && (errno == EAGAIN || errno == EWOULDBLOCK) &&
        std::chrono::steady_clock::now() < deadline) {
      WaitWritable(fd, deadline);
      continue;
    }
    error_number_ = count < 0 ? errno : EIO;
    break;
  }
  return written;
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

// SPDX-License-Identifier: GPL-3.0-or-later
#include "simulator_line.h"

#include <fcntl.h>
#include <pty.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <string_view>
#include <thread>

namespace zielwerk {

SimulatorTerminal::~SimulatorTerminal() {
  if (device_ >= 0) close(device_);
  if (master_ >= 0) close(master_);
}

bool SimulatorTerminal::Open(std::string& error) {
  if (openpty(&master_, &device_, nullptr, nullptr, nullptr) != 0) {
    error = std::string("openpty fehlgeschlagen: ") + std::strerror(errno);
    master_ = device_ = -1;
    return false;
  }
  char path[PATH_MAX];
  if (ptsname_r(master_, path, sizeof path) != 0) {
    error = std::string("ptsname fehlgeschlagen: ") + std::strerror(errno);
    return false;
  }
  fcntl(master_, F_SETFD, FD_CLOEXEC);
  fcntl(device_, F_SETFD, FD_CLOEXEC);
  termios settings{};
  if (tcgetattr(device_, &settings) == 0) {
    cfmakeraw(&settings);
    cfsetispeed(&settings, B9600);
    cfsetospeed(&settings, B9600);
    tcsetattr(device_, TCSANOW, &settings);
  }
  std::string_view name = path;
  if (name.starts_with("/dev/")) name.remove_prefix(5);
  port_name_ = name;
  return true;
}

SimulatorLine::SimulatorLine(int master, long baud) : master_(master), pacer_(baud) {
  fcntl(master_, F_SETFL, fcntl(master_, F_GETFL) | O_NONBLOCK);
}

bool SimulatorLine::ReadWaiting(Clock::time_point now, int& error_number) {
  for (;;) {
    char chunk[512];
    const ssize_t count = read(master_, chunk, sizeof chunk);
    if (count > 0) {
      pacer_.Take(std::string_view(chunk, static_cast<size_t>(count)), now);
      continue;
    }
    if (count < 0 && errno == EINTR) continue;
    if (count < 0 && errno == EAGAIN) return true;
    error_number = count < 0 ? errno : 0;
    return false;
  }
}

std::optional<PacedLine> SimulatorLine::NextLine(Clock::time_point now,
                                                 const AnswerOptions& options) {
  std::optional<PacedLine> line = pacer_.NextLine(now);
  if (line && !options.silent) {
    // A display answers its lines in order, also when the delay was shortened
    // while an answer was still waiting.
    Clock::time_point due = line->complete + std::chrono::milliseconds(options.delay_ms);
    if (!answers_.empty()) due = std::max(due, answers_.back().due);
    answers_.push_back({due, options.text + (options.crlf ? "\r\n" : "\n")});
  }
  return line;
}

std::optional<SentAnswer> SimulatorLine::SendNextAnswer(Clock::time_point now) {
  if (answers_.empty() || answers_.front().due > now) return std::nullopt;
  SentAnswer sent{std::move(answers_.front().bytes), true, 0};
  answers_.pop_front();
  size_t written = 0;
  while (written < sent.bytes.size()) {
    const ssize_t count = write(master_, sent.bytes.data() + written, sent.bytes.size() - written);
    if (count > 0) {
      written += static_cast<size_t>(count);
    } else if (count < 0 && errno == EINTR) {
      continue;
    } else {
      // Nobody reads the device and its queue is full: the answer is lost,
      // as it would be on a real line.
      sent.written = false;
      sent.error_number = errno;
      break;
    }
  }
  return sent;
}

std::optional<SimulatorLine::Clock::time_point> SimulatorLine::NextDue() const {
  std::optional<Clock::time_point> due = pacer_.NextDue();
  if (!answers_.empty() && (!due || answers_.front().due < *due)) due = answers_.front().due;
  return due;
}

void WaitUntilAnswersAreTaken(int device) {
  const auto waiting = [device] {
    int count = 0;
    return ioctl(device, FIONREAD, &count) == 0 ? count : 0;
  };
  using Clock = std::chrono::steady_clock;
  auto deadline = Clock::now() + std::chrono::milliseconds(300);
  while (waiting() == 0 && Clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  deadline = Clock::now() + std::chrono::seconds(2);
  while (waiting() > 0 && Clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
}

}  // namespace zielwerk

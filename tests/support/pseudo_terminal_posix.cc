// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/pseudo_terminal.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <functional>
#include <limits>

namespace zielwerk::testing {
namespace {

using std::chrono::milliseconds;
using std::chrono::steady_clock;

// Reads from the non-blocking `fd` until `done` holds for the bytes so far or
// `limit` passed. Bytes already waiting are taken even when the limit is over.
std::string ReadFrom(int fd, const std::function<bool(const std::string&)>& done,
                     milliseconds limit) {
  std::string bytes;
  const auto deadline = steady_clock::now() + limit;
  while (!done(bytes)) {
    char chunk[4096];
    const ssize_t got = read(fd, chunk, sizeof chunk);
    if (got > 0) {
      bytes.append(chunk, static_cast<size_t>(got));
      continue;
    }
    const auto now = steady_clock::now();
    if (now >= deadline) break;
    const auto wait = std::chrono::ceil<milliseconds>(deadline - now).count();
    pollfd entry{fd, POLLIN, 0};
    poll(&entry, 1, static_cast<int>(std::min<decltype(wait)>(wait, INT_MAX)));
  }
  return bytes;
}

}  // namespace

PseudoTerminal::PseudoTerminal() {
  if (openpty(&master_, &slave_, nullptr, nullptr, nullptr) != 0) {
    ADD_FAILURE() << "openpty failed: errno " << errno;
    master_ = slave_ = -1;
    return;
  }
  char path[PATH_MAX];
  if (ptsname_r(master_, path, sizeof path) == 0) {
    slave_path_ = path;
  } else {
    ADD_FAILURE() << "ptsname_r failed: errno " << errno;
  }
  fcntl(master_, F_SETFL, fcntl(master_, F_GETFL) | O_NONBLOCK);
}

PseudoTerminal::~PseudoTerminal() {
  CloseMaster();
  CloseSlave();
}

std::string PseudoTerminal::PortName() const {
  constexpr std::string_view kDevFolder = "/dev/";
  if (!slave_path_.starts_with(kDevFolder)) return slave_path_;
  return slave_path_.substr(kDevFolder.size());
}

void PseudoTerminal::CloseMaster() {
  if (master_ >= 0) close(master_);
  master_ = -1;
}

void PseudoTerminal::CloseSlave() {
  if (slave_ >= 0) close(slave_);
  slave_ = -1;
}

void PseudoTerminal::MakeRaw() {
  termios settings{};
  if (tcgetattr(slave_, &settings) != 0) {
    ADD_FAILURE() << "tcgetattr failed: errno " << errno;
    return;
  }
  cfmakeraw(&settings);
  if (tcsetattr(slave_, TCSANOW, &settings) != 0) ADD_FAILURE() << "tcsetattr failed: errno " << errno;
}

std::string PseudoTerminal::ReadUntil(size_t count, milliseconds limit) {
  return ReadFrom(master_, [count](const std::string& bytes) { return bytes.size() >= count; }, limit);
}

std::string PseudoTerminal::ReadLine(milliseconds limit) {
  return ReadFrom(master_, [](const std::string& bytes) { return bytes.ends_with('\n'); }, limit);
}

std::string PseudoTerminal::ReadAvailable() {
  return ReadUntil(std::numeric_limits<size_t>::max(), milliseconds(0));
}

bool PseudoTerminal::Write(std::string_view bytes) {
  return write(master_, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
}

}  // namespace zielwerk::testing

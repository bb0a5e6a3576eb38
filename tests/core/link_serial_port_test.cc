// SPDX-License-Identifier: GPL-3.0-or-later
// The port layer over a real pseudo-terminal pair, whose slave side stands in
// for the serial device.
#include "core/link/serial_port.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <climits>
#include <string>
#include <thread>

#include "core/link/display_commands.h"
#include "support/pseudo_terminal.h"
#include "support/test_files.h"

namespace zielwerk {
namespace {

using std::chrono::milliseconds;
using std::chrono::steady_clock;
using testing::PseudoTerminal;

int OpenDescriptorCount() {
  int count = 0;
  DIR* folder = opendir("/proc/self/fd");
  while (dirent* entry = readdir(folder)) count += entry->d_name[0] != '.';
  closedir(folder);
  return count - 1;  // the folder's own descriptor
}

// The descriptor of this process other than `except` that is open on `path`.
int DescriptorOpenOn(const std::string& path, int except) {
  for (int fd = 0; fd < 1024; ++fd) {
    if (fd == except) continue;
    char target[PATH_MAX];
    const std::string link = "/proc/self/fd/" + std::to_string(fd);
    const ssize_t length = readlink(link.c_str(), target, sizeof target - 1);
    if (length > 0 && std::string(target, static_cast<size_t>(length)) == path) return fd;
  }
  return -1;
}

TEST(SerialPortTest, OpensRawNineSixHundredEightNOneNonBlockingCloseOnExec) {
  PseudoTerminal pty;
  SerialPort port;
  ASSERT_TRUE(port.Open(pty.SlavePath()).ok);
  EXPECT_TRUE(port.IsOpen());

  termios settings{};
  ASSERT_EQ(tcgetattr(pty.slave(), &settings), 0);
  EXPECT_EQ(cfgetispeed(&settings), B9600);
  EXPECT_EQ(cfgetospeed(&settings), B9600);
  EXPECT_EQ(settings.c_cflag & (CSIZE | PARENB | CSTOPB | CRTSCTS | CREAD | CLOCAL),
            static_cast<tcflag_t>(CS8 | CREAD | CLOCAL));
  EXPECT_EQ(settings.c_iflag, static_cast<tcflag_t>(IGNPAR));
  EXPECT_EQ(settings.c_oflag, 0u);
  EXPECT_EQ(settings.c_lflag, 0u);
  EXPECT_EQ(settings.c_cc[VMIN], 1);
  EXPECT_EQ(settings.c_cc[VTIME], 0);

  const int fd = DescriptorOpenOn(pty.SlavePath(), pty.slave());
  ASSERT_GE(fd, 0);
  EXPECT_TRUE(fcntl(fd, F_GETFD) & FD_CLOEXEC);
  EXPECT_TRUE(fcntl(fd, F_GETFL) & O_NONBLOCK);

  port.Close();
  EXPECT_FALSE(port.IsOpen());
  EXPECT_EQ(DescriptorOpenOn(pty.SlavePath(), pty.slave()), -1);
}

TEST(SerialPortTest, TypedPortNameOpensUnderDevAndStaleInputIsDiscarded) {
  PseudoTerminal pty;
  // A new pseudo-terminal is in line mode: the line end makes the bytes count.
  ASSERT_TRUE(pty.Write("stale\n"));
  int waiting = 0;
  for (int i = 0; i < 200 && waiting < 6; ++i) {
    std::this_thread::sleep_for(milliseconds(5));
    ioctl(pty.slave(), FIONREAD, &waiting);
  }
  ASSERT_EQ(waiting, 6);

  ASSERT_TRUE(pty.SlavePath().starts_with("/dev/"));
  SerialPort port;
  ASSERT_TRUE(port.Open(PortDevicePath(pty.PortName())).ok);
  EXPECT_EQ(port.WaitingBytes(), 0u);
}

struct RefusedPath {
  const char* name;
  const char* kind;  // what to create in the temporary folder
  std::string_view failed_call;
  int error_number;
};

class SerialPortRefusalTest : public ::testing::TestWithParam<RefusedPath> {};

TEST_P(SerialPortRefusalTest, FailsWithoutKeepingADescriptor) {
  const RefusedPath& c = GetParam();
  testing::TempDir folder;
  std::string path = folder.File("port");
  if (std::string_view(c.kind) == "file") {
    testing::WriteFileBytes(path, "not a port");
  } else if (std::string_view(c.kind) == "fifo") {
    ASSERT_EQ(mkfifo(path.c_str(), 0600), 0);
  } else if (std::string_view(c.kind) == "devdir") {
    path = PortDevicePath("");
  }
  const int descriptors_before = OpenDescriptorCount();
  SerialPort port;
  const PortResult result = port.Open(path);
  EXPECT_FALSE(result.ok);
  EXPECT_EQ(result.failed_call, c.failed_call);
  EXPECT_EQ(result.error_number, c.error_number);
  EXPECT_FALSE(port.IsOpen());
  EXPECT_EQ(port.StartWrite("x\n"), WriteProgress::kFailed);
  EXPECT_EQ(OpenDescriptorCount(), descriptors_before);
}

INSTANTIATE_TEST_SUITE_P(
    Paths, SerialPortRefusalTest,
    ::testing::Values(RefusedPath{"RegularFile", "file", "fstat", ENODEV},
                      RefusedPath{"Fifo", "fifo", "fstat", ENODEV},
                      RefusedPath{"EmptyPortFieldGivesDevFolder", "devdir", "open", EISDIR},
                      RefusedPath{"MissingDevice", "missing", "open", ENOENT}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SerialPortTest, CharacterDeviceThatIsNoSerialLineCountsAsOpen) {
  SerialPort port;
  ASSERT_TRUE(port.Open("/dev/null").ok);
  EXPECT_TRUE(port.IsOpen());
  EXPECT_EQ(port.StartWrite("!100010000100000040\n"), WriteProgress::kDone);
  EXPECT_EQ(port.ErrorNumber(), 0);
}

TEST(SerialPortTest, PortHeldByAnotherOpenIsRefusedUntilItIsClosed) {
  PseudoTerminal pty;
  SerialPort first;
  SerialPort second;
  ASSERT_TRUE(first.Open(pty.SlavePath()).ok);

  const PortResult refused = second.Open(pty.SlavePath());
  EXPECT_FALSE(refused.ok);
  // Without privileges the tty's exclusive mode refuses the open itself;
  // with them, the lock does.
  if (refused.failed_call == "open") {
    EXPECT_EQ(refused.error_number, EBUSY);
  } else {
    EXPECT_EQ(refused.failed_call, "flock");
    EXPECT_EQ(refused.error_number, EWOULDBLOCK);
  }
  EXPECT_FALSE(second.IsOpen());
  EXPECT_TRUE(first.IsOpen());

  first.Close();
  EXPECT_TRUE(second.Open(pty.SlavePath()).ok);
  second.Close();
  // Closing gives the tty back for the next open, also while the far end
  // keeps its own descriptor.
  EXPECT_TRUE(first.Open(pty.SlavePath()).ok);
}

TEST(SerialPortTest, OpeningAgainClosesThePortOpenBefore) {
  PseudoTerminal one;
  PseudoTerminal two;
  SerialPort port;
  ASSERT_TRUE(port.Open(one.SlavePath()).ok);
  ASSERT_TRUE(port.Open(two.SlavePath()).ok);
  EXPECT_EQ(DescriptorOpenOn(one.SlavePath(), one.slave()), -1);
  EXPECT_EQ(port.StartWrite("x"), WriteProgress::kDone);
  EXPECT_EQ(two.ReadUntil(1), "x");
}

TEST(SerialPortTest, ClosedPortDoesNothing) {
  SerialPort port;
  char buffer[8] = {};
  EXPECT_EQ(port.StartWrite("abc"), WriteProgress::kFailed);
  EXPECT_EQ(port.WaitingBytes(), 0u);
  EXPECT_EQ(port.Read(buffer), 0u);
  EXPECT_FALSE(port.SetDtr(true).ok);
  EXPECT_EQ(port.ErrorNumber(), 0);
  port.Close();
  EXPECT_FALSE(port.IsOpen());
}

TEST(SerialPortTest, WriteFailureAfterTheFarEndWentAwayKeepsItsErrno) {
  PseudoTerminal pty;
  SerialPort port;
  ASSERT_TRUE(port.Open(pty.SlavePath()).ok);
  pty.CloseSlave();
  pty.CloseMaster();
  EXPECT_EQ(port.StartWrite("!100010000100000040\n"), WriteProgress::kFailed);
  EXPECT_EQ(port.ErrorNumber(), EIO);
  EXPECT_TRUE(port.IsOpen());
}

TEST(SerialPortTest, DtrOnAPseudoTerminalFailsButTheResetIsReported) {
  PseudoTerminal pty;
  SerialPort port;
  ASSERT_TRUE(port.Open(pty.SlavePath()).ok);
  // A pseudo-terminal has no modem lines.
  const PortResult dtr = port.SetDtr(true);
  EXPECT_FALSE(dtr.ok);
  EXPECT_EQ(dtr.failed_call, "TIOCMGET");
  EXPECT_TRUE(dtr.error_number == ENOTTY || dtr.error_number == EINVAL) << dtr.error_number;

  const auto started = steady_clock::now();
  EXPECT_EQ(RunLinkJob(port, ResetJob()), "Display geresettet");
  EXPECT_GE(steady_clock::now() - started, kResetPulse);
  EXPECT_EQ(pty.ReadUntil(1, milliseconds(100)), "") << "the reset sends no bytes";
}

TEST(SerialPortTest, ResetOnAClosedPortReportsItAtOnce) {
  SerialPort port;
  const auto started = steady_clock::now();
  EXPECT_EQ(RunLinkJob(port, ResetJob()), "Fehler: Serielle Schnittstelle ist geschlossen");
  EXPECT_LT(steady_clock::now() - started, milliseconds(40));
}

}  // namespace
}  // namespace zielwerk

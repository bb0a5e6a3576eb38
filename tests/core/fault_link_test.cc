// SPDX-License-Identifier: GPL-3.0-or-later
// The serial link under faults: the far end going away, an answer in pieces,
// port names that are no ports, and the "ls" child not being there. After each
// fault the port must open again and carry an exchange.
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>

#include "core/link/port_listing.h"
#include "core/link/serial_port.h"
#include "core/link/transfer_queue.h"
#include "support/pseudo_terminal.h"
#include "support/test_files.h"

namespace zielwerk {
namespace {

using std::chrono::milliseconds;
using std::chrono::steady_clock;

const std::string kReceived = "Empfangen: ";

// A pseudo-terminal whose master side plays the display.
using FarEnd = testing::PseudoTerminal;

// The port opens on `far_end` and an exchange with an answer already waiting
// shows that answer.
void ExpectUsableOn(SerialPort& port, FarEnd& far_end) {
  port.Close();
  const PortResult opened = port.Open(far_end.SlavePath());
  ASSERT_TRUE(opened.ok) << opened.failed_call << " " << opened.error_number;
  ASSERT_TRUE(far_end.Write("Ok\n"));
  for (int i = 0; i < 400 && port.WaitingBytes() < 3; ++i) {
    std::this_thread::sleep_for(milliseconds(5));
  }
  EXPECT_EQ(CommandExchange(port, "!100010000100000040", milliseconds(0)), kReceived + "Ok");
  EXPECT_EQ(far_end.ReadLine(), "!100010000100000040\n");
}

TEST(LinkFaultTest, FarEndGoneBeforeTheWriteThenAFreshLineWorks) {
  SerialPort port;
  {
    FarEnd gone;
    ASSERT_TRUE(port.Open(gone.SlavePath()).ok);
    gone.CloseMaster();
    gone.CloseSlave();
    EXPECT_EQ(CommandExchange(port, "!100010000100000040", milliseconds(0)), "Error 5");
    EXPECT_EQ(CommandExchange(port, "Chur-Arosa", milliseconds(0)), "Error 5");
  }
  FarEnd fresh;
  ExpectUsableOn(port, fresh);
}

TEST(LinkFaultTest, FarEndGoneDuringTheWaitThenAFreshLineWorks) {
  SerialPort port;
  {
    FarEnd gone;
    ASSERT_TRUE(port.Open(gone.SlavePath()).ok);
    std::thread display([&] {
      gone.ReadLine();
      std::this_thread::sleep_for(milliseconds(100));
      gone.CloseMaster();
      gone.CloseSlave();
    });
    EXPECT_EQ(CommandExchange(port, "!100010000100000040"), "Keine Bestätigung empfangen");
    display.join();
    EXPECT_TRUE(port.IsOpen());
  }
  FarEnd fresh;
  ExpectUsableOn(port, fresh);
}

TEST(LinkFaultTest, AnswerInTwoPiecesWithinTheWaitIsShownWhole) {
  FarEnd display_end;
  SerialPort port;
  ASSERT_TRUE(port.Open(display_end.SlavePath()).ok);
  std::thread display([&] {
    display_end.ReadLine();
    display_end.Write("Empf");
    std::this_thread::sleep_for(milliseconds(150));
    display_end.Write("angen\n");
  });
  EXPECT_EQ(CommandExchange(port, "!100010000100000040"), kReceived + "Empfangen");
  display.join();
  ExpectUsableOn(port, display_end);
}

// Names typed into the port field that lead to no serial device. None opens,
// none creates, changes or feeds a file, and the same port opens a real line
// afterwards.
struct PortNameCase {
  const char* name;
  const char* kind;  // what the name leads to: "file", "fifo", "missing", "folder", "raw"
  const char* text;  // for "raw": the port field's text

  friend void PrintTo(const PortNameCase& c, std::ostream* out) { *out << c.name; }
};

class PortNameFaultTest : public ::testing::TestWithParam<PortNameCase> {};

TEST_P(PortNameFaultTest, RefusedWithoutTouchingAnythingAndThePortStaysUsable) {
  const PortNameCase& c = GetParam();
  testing::TempDir dir;
  const std::string kind = c.kind;
  const std::string target = dir.File("port");
  if (kind == "file") testing::WriteFileBytes(target, "not a port\n");
  if (kind == "fifo") {
    ASSERT_EQ(mkfifo(target.c_str(), 0600), 0);
  }
  if (kind == "folder") std::filesystem::create_directory(target);
  // "/dev/" + "../" + the temporary folder's absolute path without its "/".
  const std::string text = kind == "raw" ? c.text : ".." + target;
  // A reader on the FIFO would see anything written to it.
  const int fifo_reader = kind == "fifo" ? open(target.c_str(), O_RDONLY | O_NONBLOCK) : -1;

  SerialPort port;
  const PortResult result = port.Open(PortDevicePath(text));
  EXPECT_FALSE(result.ok);
  EXPECT_FALSE(port.IsOpen());
  EXPECT_EQ(CommandExchange(port, "!100010000100000040", milliseconds(0)), "Serielle Schnittstelle nicht verfügbar");

  if (kind == "file") {
    EXPECT_TRUE(testing::BytesEqual("not a port\n", testing::ReadFileBytes(target)));
  }
  if (kind == "missing") {
    EXPECT_FALSE(testing::FileExists(target));
  }
  if (fifo_reader >= 0) {
    char byte;
    EXPECT_LE(read(fifo_reader, &byte, 1), 0);
    close(fifo_reader);
  }
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}),
            kind == "missing" || kind == "raw" ? 0 : 1);

  FarEnd far_end;
  ExpectUsableOn(port, far_end);
}

INSTANTIATE_TEST_SUITE_P(
    Names, PortNameFaultTest,
    ::testing::Values(PortNameCase{"Empty", "raw", ""},
                      PortNameCase{"UpIntoTmp", "missing", nullptr},
                      PortNameCase{"RegularFile", "file", nullptr},
                      PortNameCase{"Fifo", "fifo", nullptr},
                      PortNameCase{"Folder", "folder", nullptr},
                      PortNameCase{"LineFeedInTheName", "raw", "tty\n"},
                      PortNameCase{"LineFeedBeforeAFolder", "raw", "pts\n/0"},
                      PortNameCase{"Blank", "raw", " "}),
    [](const auto& info) { return std::string(info.param.name); });

// The port field's text is the name under /dev, so a pseudo-terminal's name
// with a line feed appended is another, missing name.
TEST(LinkFaultTest, PortNameWithATrailingLineFeedIsNotTheDevice) {
  FarEnd far_end;
  ASSERT_TRUE(far_end.SlavePath().starts_with("/dev/"));
  SerialPort port;
  const PortResult result = port.Open(PortDevicePath(far_end.SlavePath().substr(5) + "\n"));
  EXPECT_FALSE(result.ok);
  EXPECT_EQ(result.error_number, ENOENT);
  ExpectUsableOn(port, far_end);
}

// Restores PATH when it goes out of scope.
class PathOverride {
 public:
  explicit PathOverride(const std::string& path) {
    if (const char* old = std::getenv("PATH")) old_ = old;
    setenv("PATH", path.c_str(), 1);
  }
  ~PathOverride() {
    if (old_) {
      setenv("PATH", old_->c_str(), 1);
    } else {
      unsetenv("PATH");
    }
  }

 private:
  std::optional<std::string> old_;
};

int OpenDescriptorCount() {
  return static_cast<int>(std::distance(std::filesystem::directory_iterator("/proc/self/fd"), {}));
}

TEST(PortListingFaultTest, WithoutLsOnThePathThereIsNoListing) {
  testing::TempDir empty;
  const std::string not_executable = empty.File("ls");
  {
    PathOverride path(empty.path());
    EXPECT_EQ(ListSerialPortNames(), std::nullopt);
    // A file named ls that cannot be run is no ls either.
    testing::WriteFileBytes(not_executable, "#!/bin/sh\necho ttyFAKE\n");
    chmod(not_executable.c_str(), 0644);
    EXPECT_EQ(ListSerialPortNames(), std::nullopt);
  }
  {
    PathOverride path("");
    EXPECT_EQ(ListSerialPortNames(), std::nullopt);
  }
  EXPECT_EQ(waitpid(-1, nullptr, WNOHANG), -1);
  EXPECT_EQ(errno, ECHILD);
}

TEST(PortListingFaultTest, TwentyListingsLeaveNoChildAndNoDescriptor) {
  const int descriptors_before = OpenDescriptorCount();
  for (int run = 0; run < 20; ++run) {
    ASSERT_TRUE(ListSerialPortNames().has_value()) << "run " << run;
  }
  EXPECT_EQ(waitpid(-1, nullptr, WNOHANG), -1) << "a finished ls was not reaped";
  EXPECT_EQ(errno, ECHILD);
  EXPECT_EQ(OpenDescriptorCount(), descriptors_before);
}

}  // namespace
}  // namespace zielwerk

// SPDX-License-Identifier: GPL-3.0-or-later
// Running "ls -1 /dev" on Linux: a program found along PATH, its output read
// through a pipe, no child left behind.
#include "core/link/port_listing.h"
#include "core/link/port_listing_posix.h"

#include <sys/stat.h>
#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <cerrno>
#include <cstdlib>
#include <string>
#include <vector>

#include "support/test_files.h"

namespace zielwerk {
namespace {

// No child of an earlier call may be left over as a zombie.
void ExpectNoChildLeft() {
  EXPECT_EQ(waitpid(-1, nullptr, WNOHANG), -1);
  EXPECT_EQ(errno, ECHILD);
}

TEST(CaptureProgramOutputTest, ProgramThatCannotStartGivesNothing) {
  EXPECT_EQ(CaptureProgramOutput({"zielwerk-no-such-program-anywhere"}), std::nullopt);
  EXPECT_EQ(CaptureProgramOutput({}), std::nullopt);
  ExpectNoChildLeft();
}

TEST(CaptureProgramOutputTest, ReadsOutputLargerThanThePipeToItsEndWithoutAShell) {
  const std::optional<std::string> output = CaptureProgramOutput({"seq", "1", "100000"});
  ASSERT_TRUE(output.has_value());
  EXPECT_EQ(output->size(), 588895u);
  EXPECT_TRUE(output->starts_with("1\n2\n3\n"));
  EXPECT_TRUE(output->ends_with("\n99999\n100000\n"));
  // Arguments reach the program as they are; no shell expands them.
  EXPECT_EQ(CaptureProgramOutput({"echo", "$HOME", "*"}), "$HOME *\n");
  ExpectNoChildLeft();
}

// A program that does not end in time holds up no one: it is killed and
// reaped, and there is no listing.
TEST(CaptureProgramOutputTest, ProgramThatDoesNotEndInTimeGivesNothing) {
  const auto started = std::chrono::steady_clock::now();
  EXPECT_EQ(CaptureProgramOutput({"sh", "-c", "echo ttyS0; exec sleep 10"},
                                 std::chrono::milliseconds(300)),
            std::nullopt);
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(2));
  ExpectNoChildLeft();
}

TEST(CaptureProgramOutputTest, ChildGetsCLocaleAndNoStandardInput) {
  setenv("LC_ALL", "de_DE.UTF-8", 1);
  const std::optional<std::string> environment = CaptureProgramOutput({"env"});
  unsetenv("LC_ALL");
  ASSERT_TRUE(environment.has_value());
  EXPECT_NE(environment->find("\nLC_ALL=C\n"), std::string::npos);
  EXPECT_EQ(environment->find("LC_ALL=de_DE"), std::string::npos);
  EXPECT_EQ(CaptureProgramOutput({"cat"}), "");
  // What the child writes to its standard error goes nowhere.
  EXPECT_EQ(CaptureProgramOutput({"ls", "/zielwerk-missing-folder"}), "");
  ExpectNoChildLeft();
}

// A sysfs tree as the kernel lays it out for a usb-serial adapter (ttyUSB0
// below its interface, the USB device above), a modem-class one (ttyACM0 is
// the interface) and an on-board port.
class UsbPortDescriptionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    namespace fs = std::filesystem;
    const fs::path root = sysfs_.path();
    const fs::path ftdi = root / "devices/usb1/1-1";
    const fs::path arduino = root / "devices/usb1/1-2";
    const fs::path ch340 = root / "devices/usb1/1-3";
    fs::create_directories(ftdi / "1-1:1.0/ttyUSB0");
    fs::create_directories(arduino / "1-2:1.0");
    fs::create_directories(ch340 / "1-3:1.0/ttyUSB1");
    fs::create_directories(root / "devices/platform/serial8250/ttyS0");
    Attributes(ftdi, "0403", "FTDI", "FT232R USB UART");
    Attributes(arduino, "2341", "Arduino LLC", "Arduino LLC Arduino Uno");
    Attributes(ch340, "1a86", "", "USB Serial");
    for (const auto& [name, device] :
         {std::pair{"ttyUSB0", ftdi / "1-1:1.0/ttyUSB0"}, std::pair{"ttyACM0", arduino / "1-2:1.0"},
          std::pair{"ttyUSB1", ch340 / "1-3:1.0/ttyUSB1"},
          std::pair{"ttyS0", root / "devices/platform/serial8250/ttyS0"}}) {
      fs::create_directories(root / "class/tty" / name);
      fs::create_directory_symlink(device, root / "class/tty" / name / "device");
    }
  }
  void Attributes(const std::filesystem::path& device, const std::string& vendor,
                  const std::string& manufacturer, const std::string& product) {
    testing::WriteFileBytes((device / "idVendor").string(), vendor + "\n");
    if (!manufacturer.empty()) {
      testing::WriteFileBytes((device / "manufacturer").string(), manufacturer + "\n");
    }
    testing::WriteFileBytes((device / "product").string(), product + "\n");
  }
  testing::TempDir sysfs_;
};

TEST_F(UsbPortDescriptionTest, NamesMakerAndProductOfUsbAdaptersOnly) {
  const std::string root = sysfs_.path();
  EXPECT_EQ(UsbPortDescription(root, "ttyUSB0"), "FTDI FT232R USB UART");
  EXPECT_EQ(UsbPortDescription(root, "ttyACM0"), "Arduino LLC Arduino Uno");
  EXPECT_EQ(UsbPortDescription(root, "ttyUSB1"), "USB Serial");
  EXPECT_EQ(UsbPortDescription(root, "ttyS0"), "");
  EXPECT_EQ(UsbPortDescription(root, "ttyUSB9"), "");
  EXPECT_EQ(UsbPortDescription(root, "ttyUSB0/../../ttyACM0"), "");
}

// A stand-in system names the ports of the list and says what they are, for
// the manual's picture of it.
TEST_F(UsbPortDescriptionTest, ListComesFromTheStandInSystemTheEnvironmentNames) {
  testing::TempDir system;
  std::filesystem::create_directory(system.path() + "/dev");
  for (const char* name : {"ttyUSB0", "ttyS0", "null"}) testing::WriteFileBytes(system.path() + "/dev/" + name, "");
  std::filesystem::create_directory_symlink(sysfs_.path(), system.path() + "/sys");
  setenv("ZIELWERK_SYSTEM_ROOT", system.path().c_str(), 1);
  const std::optional<std::vector<std::string>> started = ListSerialPortNames();
  const std::optional<std::vector<std::string>> opened = ReadSerialPortNames();
  const std::vector<PortEntry> ports = DescribeSerialPorts({"ttyS0", "ttyUSB0"});
  unsetenv("ZIELWERK_SYSTEM_ROOT");
  EXPECT_EQ(started, (std::vector<std::string>{"ttyS0", "ttyUSB0"}));
  EXPECT_EQ(opened, started);
  EXPECT_EQ(ports, (std::vector<PortEntry>{{"ttyS0", "", false}, {"ttyUSB0", "FTDI FT232R USB UART", true}}));
}

TEST(ListSerialPortNamesTest, ListsTheTerminalsOfThisMachine) {
  const std::optional<std::vector<std::string>> ports = ListSerialPortNames();
  ASSERT_TRUE(ports.has_value());
  // /dev/tty exists on every Linux system.
  EXPECT_NE(std::find(ports->begin(), ports->end(), "tty"), ports->end());
  for (const std::string& port : *ports) EXPECT_TRUE(port.starts_with("tty")) << port;
}

// The list that opens reads /dev itself and lists what ls lists.
TEST(ReadSerialPortNamesTest, ListsWhatLsLists) {
  const std::optional<std::vector<std::string>> read = ReadSerialPortNames();
  ASSERT_TRUE(read.has_value());
  EXPECT_EQ(read, ListSerialPortNames());
}

// A listing begun in advance is the one the next ListSerialPortNames()
// returns, with the environment of its start; the one after that lists anew.
TEST(ListSerialPortNamesTest, TakesTheListingBegunInAdvanceOnce) {
  testing::TempDir dir;
  testing::WriteFileBytes(dir.File("ls"), "#!/bin/sh\nprintf 'ttyEarly\\n'\n");
  chmod(dir.File("ls").c_str(), 0755);
  const std::string path = std::getenv("PATH");
  setenv("PATH", (dir.path() + ":" + path).c_str(), 1);
  StartListingSerialPorts();
  StartListingSerialPorts();  // the listing already begun stands
  setenv("PATH", path.c_str(), 1);
  EXPECT_EQ(ListSerialPortNames(), std::vector<std::string>{"ttyEarly"});
  const std::optional<std::vector<std::string>> anew = ListSerialPortNames();
  ASSERT_TRUE(anew.has_value());
  EXPECT_NE(std::find(anew->begin(), anew->end(), "tty"), anew->end());
  ExpectNoChildLeft();
}

}  // namespace
}  // namespace zielwerk

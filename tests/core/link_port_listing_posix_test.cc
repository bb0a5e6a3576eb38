// Running "ls -1 /dev" on Linux: a program found along PATH, its output read
// through a pipe, no child left behind.
#include "core/link/port_listing.h"

#include <sys/stat.h>
#include <sys/wait.h>

#include <algorithm>
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

TEST(ListSerialPortNamesTest, ListsTheTerminalsOfThisMachine) {
  const std::optional<std::vector<std::string>> ports = ListSerialPortNames();
  ASSERT_TRUE(ports.has_value());
  // /dev/tty exists on every Linux system.
  EXPECT_NE(std::find(ports->begin(), ports->end(), "tty"), ports->end());
  for (const std::string& port : *ports) EXPECT_TRUE(port.starts_with("tty")) << port;
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

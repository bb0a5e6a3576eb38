// Listing the serial devices: parsing the output of "ls -1 /dev", and running
// a program through PATH with its output read through a pipe.
#include "core/link/port_listing.h"

#include <sys/wait.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <string>
#include <vector>

#include "support/test_files.h"

namespace zielwerk {
namespace {

struct ListingCase {
  const char* name;
  std::string_view listing;
  std::vector<std::string> ports;
};

class ParsePortListingTest : public ::testing::TestWithParam<ListingCase> {};

TEST_P(ParsePortListingTest, KeepsNamesBeginningWithTtyInListingOrder) {
  EXPECT_EQ(ParsePortListing(GetParam().listing), GetParam().ports);
}

INSTANTIATE_TEST_SUITE_P(
    Listings, ParsePortListingTest,
    ::testing::Values(
        ListingCase{"Empty", "", {}},
        ListingCase{"NoTtyEntry", "null\nzero\nrandom\n", {}},
        ListingCase{"TypicalDev",
                    "console\nnull\npts\ntty\ntty0\ntty1\nttyACM0\nttyS0\nttyS1\nttyUSB0\nzero\n",
                    {"tty", "tty0", "tty1", "ttyACM0", "ttyS0", "ttyS1", "ttyUSB0"}},
        ListingCase{"KeepsOrderAsPrinted", "ttyUSB0\nttyS0\nttyACM0\n", {"ttyUSB0", "ttyS0", "ttyACM0"}},
        ListingCase{"LastLineWithoutLineFeed", "null\nttyUSB1", {"ttyUSB1"}},
        ListingCase{"OnlyTheFirstBlankSeparatedPart", "ttyS0 extra words\ntty1  x\n", {"ttyS0", "tty1"}},
        ListingCase{"TabDoesNotEndTheName", "ttyS2\tx y\n\tttyS3\n", {"ttyS2\tx"}},
        ListingCase{"LeadingBlankIsNoName", " ttyS0\n", {}},
        ListingCase{"CaseSensitivePrefix", "TTYS0\nTtyUSB0\nttY\n", {}},
        ListingCase{"TtyInsideANameDoesNotCount", "pttyS0\nusbtty\n", {}},
        ListingCase{"EmptyLinesAreSkipped", "\n\nttyS3\n\n", {"ttyS3"}},
        ListingCase{"NotASerialDeviceIsListedAllTheSame", "ttyprintk\n", {"ttyprintk"}},
        ListingCase{"NameNotInUtf8IsLeftOut", "ttyS\xFC\nttyUSB\xC3\xBC\nttyS1\n",
                    {"ttyUSB\xC3\xBC", "ttyS1"}}),
    [](const auto& info) { return std::string(info.param.name); });

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

}  // namespace
}  // namespace zielwerk

// SPDX-License-Identifier: GPL-3.0-or-later
// Listing the serial devices: which lines of "ls -1 /dev" (Linux) and of
// "chgport /query" (Windows) name a port.
#include "core/link/port_listing.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "support/test_files.h"

namespace zielwerk {
namespace {

struct ListingCase {
  const char* name;
  std::string_view listing;
  std::vector<std::string> ports;
  PortNameRule rule = kTtyDeviceNames;
};

class ParsePortListingTest : public ::testing::TestWithParam<ListingCase> {};

TEST_P(ParsePortListingTest, KeepsPortNamesInListingOrder) {
  EXPECT_EQ(ParsePortListing(GetParam().listing, GetParam().rule), GetParam().ports);
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
                    {"ttyUSB\xC3\xBC", "ttyS1"}},
        ListingCase{"ChgportComOneToNinetyNine",
                    "AUX = \\DosDevices\\COM1\r\nCOM1 = \\Device\\Serial0\r\n"
                    "COM10 = \\Device\\Serial9\r\nCOM100 = \\Device\\Serial99\r\n"
                    "COMX = \\Device\\X\r\n   COM4 = \\Device\\Serial3\r\ncom5 = x\r\nCOM7",
                    {"COM1", "COM10", "COMX", "COM7"}, kComPortNames},
        ListingCase{"ChgportNamesNoPort", "No serial ports found\r\n", {}, kComPortNames}),
    [](const auto& info) { return std::string(info.param.name); });

// The list on this start; an adapter added since the last one (ttyACM7)
// moved every later name one place on.
const std::vector<PortEntry> kPorts = {
    {"ttyACM7", "", true}, {"ttyS0", "", false}, {"ttyS1", "", false}, {"ttyUSB7", "", true}};
// A first start on Linux: "tty" heads the list, the adapter comes last.
const std::vector<PortEntry> kTerminalsFirst = {
    {"tty", "", false}, {"tty0", "", false}, {"ttyS0", "", false}, {"ttyUSB0", "FTDI", true}};

struct ChoiceCase {
  const char* name;
  std::optional<std::string> stored_name;
  std::optional<int64_t> stored_index;
  PortChoice choice;
  std::vector<PortEntry> ports = kPorts;
};

class ChoosePortTest : public ::testing::TestWithParam<ChoiceCase> {};

TEST_P(ChoosePortTest, FindsTheStoredNameOrShowsItAsTyped) {
  const ChoiceCase& c = GetParam();
  EXPECT_EQ(ChoosePort(c.ports, c.stored_name, c.stored_index), c.choice);
}

INSTANTIATE_TEST_SUITE_P(
    Choices, ChoosePortTest,
    ::testing::Values(
        ChoiceCase{"NameFoundAtItsNewPlace", "ttyUSB7", 2, {3, "ttyUSB7"}},
        ChoiceCase{"UnpluggedAdapterIsNoOtherDevice", "ttyUSB1", 3, {-1, "ttyUSB1"}},
        ChoiceCase{"TypedNameStaysTyped", "pts/3", -1, {-1, "pts/3"}},
        ChoiceCase{"EmptyFieldStaysEmpty", "", 0, {-1, ""}},
        ChoiceCase{"NameIsMatchedExactly", "TTYS0", 1, {-1, "TTYS0"}},
        ChoiceCase{"OlderFileByIndex", std::nullopt, 2, {2, "ttyS1"}},
        ChoiceCase{"OlderFileIndexBeyondTheList", std::nullopt, 4, {-1, ""}},
        ChoiceCase{"OlderFileWithoutSelection", std::nullopt, -1, {-1, ""}},
        ChoiceCase{"OlderFileIndexBeforeTheAdapter", std::nullopt, 0, {0, "tty"}, kTerminalsFirst},
        ChoiceCase{"FirstStartTakesTheAdapter", std::nullopt, std::nullopt, {3, "ttyUSB0"},
                   kTerminalsFirst},
        ChoiceCase{"FirstStartWithoutAdapterTakesTheFirst", std::nullopt, std::nullopt,
                   {0, "tty"}, {{"tty", "", false}, {"ttyS0", "", false}}},
        ChoiceCase{"FirstStartWithoutPorts", std::nullopt, std::nullopt, {-1, ""}, {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(IsUsbHardwareIdTest, UsbBusOrVendorId) {
  EXPECT_TRUE(IsUsbHardwareId("USB\\VID_1A86&PID_7523&REV_0264"));
  EXPECT_TRUE(IsUsbHardwareId("FTDIBUS\\COMPORT&VID_0403&PID_6001"));
  EXPECT_FALSE(IsUsbHardwareId("ACPI\\PNP0501"));
  EXPECT_FALSE(IsUsbHardwareId(""));
}

TEST(FriendlyNameDescriptionTest, DropsThePortsOwnSuffixOnly) {
  EXPECT_EQ(FriendlyNameDescription("USB Serial Port (COM3)", "COM3"), "USB Serial Port");
  EXPECT_EQ(FriendlyNameDescription("Prolific USB-to-Serial Comm Port (COM12)", "COM12"),
            "Prolific USB-to-Serial Comm Port");
  EXPECT_EQ(FriendlyNameDescription("USB Serial Port (COM3)", "COM30"), "USB Serial Port (COM3)");
  EXPECT_EQ(FriendlyNameDescription("Kommunikationsanschluss", "COM1"), "Kommunikationsanschluss");
}

}  // namespace
}  // namespace zielwerk

// SPDX-License-Identifier: GPL-3.0-or-later
// The serial line on Windows, run under Wine against the display simulator:
// scripts/windows/test-windows.sh maps a COM port to the simulator's
// pseudo-terminal and names it in ZIELWERK_WINE_COM_PORT, and the file the
// simulator records every received byte in, in ZIELWERK_WINE_FAR_END_RECORD.
// Without them the suite is skipped.
#include <windows.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>

#include "core/link/display_commands.h"
#include "core/link/serial_port.h"
#include "core/link/transfer_queue.h"
#include "core/picture/picture_bits.h"
#include "core/picture/picture_reader.h"
#include "sender/sender.h"
#include "support/test_files.h"

namespace zielwerk {
namespace {

class SerialLineWin32Test : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* port = std::getenv("ZIELWERK_WINE_COM_PORT");
    const char* record = std::getenv("ZIELWERK_WINE_FAR_END_RECORD");
    if (port == nullptr || record == nullptr) {
      GTEST_SKIP() << "no COM port mapped to the display simulator";
    }
    port_name_ = port;
    record_path_ = record;
    ASSERT_TRUE(port_.Open(PortDevicePath(port_name_)).ok);
    recorded_ = testing::ReadFileBytes(record_path_).size();
  }

  // The bytes the simulator has received since the last call.
  std::string Received() {
    const std::string all = testing::ReadFileBytes(record_path_);
    const std::string fresh = all.substr(recorded_);
    recorded_ = all.size();
    return fresh;
  }

  std::string port_name_;
  std::string record_path_;
  size_t recorded_ = 0;
  SerialPort port_;
};

// The script maps COM15: from COM10 on, Windows finds a port only through the
// device prefix.
TEST_F(SerialLineWin32Test, OnlyTheFourCharacterDevicePrefixOpensThePort) {
  port_.Close();
  EXPECT_EQ(kPortDevicePrefix, "\\\\.\\");
  ASSERT_TRUE(port_.Open(PortDevicePath(port_name_)).ok);
  port_.Close();
  // The prefix as its C string literal spells it, seven characters long.
  const PortResult literal = port_.Open("\\\\\\\\.\\\\" + port_name_);
  EXPECT_FALSE(literal.ok);
  EXPECT_EQ(literal.failed_call, "CreateFileW");
  if (port_name_.size() > 4) {
    EXPECT_FALSE(port_.Open(port_name_).ok) << "without any prefix";
  }
}

TEST_F(SerialLineWin32Test, SettingsRouteAndPictureGoOutByteForByte) {
  SettingsCommandFields fields;
  EXPECT_EQ(CommandExchange(port_, SettingsCommand(fields)), "Empfangen: OK");
  EXPECT_TRUE(testing::BytesEqual("!100010000100000040\n", Received()));

  const std::optional<LinkJob> route =
      ScrollTextJob("St. Moritz", "Pontresina-Alp Gr\xC3\xBCm", "Tirano");
  ASSERT_TRUE(route.has_value());
  EXPECT_EQ(RunLinkJob(port_, *route), "Empfangen: OK");
  EXPECT_TRUE(testing::BytesEqual("St. Moritz-Pontresina-Alp Gr%m-Tirano\n", Received()));

  // The seven rows through the queue, whose writes return while the bytes
  // go out; the file holds them as ImageMagick reads the same picture (its
  // first two lines are the settings and a route).
  const std::optional<TrainPicture> picture =
      ReadPictureFile(testing::TestDataPath("picture/train.bmp"));
  ASSERT_TRUE(picture.has_value());
  const std::string lines = testing::ReadFileBytes(testing::TestDataPath("e2e/transfer_lines.txt"));
  const std::string expected = lines.substr(lines.find('\n', lines.find('\n') + 1) + 1);
  EXPECT_EQ(RunLinkJob(port_, PictureJob(PictureRowCommands(*picture))), "Empfangen: OK");
  EXPECT_TRUE(testing::BytesEqual(expected, Received()));
}

// A pseudo-terminal has no modem lines: Wine refuses DTR with error 50
// (not supported), which a real port would not; the reset is reported all
// the same.
TEST_F(SerialLineWin32Test, ResetIsReportedWhateverTheModemLinesSay) {
  const PortResult dtr = port_.SetDtr(true);
  EXPECT_TRUE(dtr.ok || dtr.error_number == ERROR_NOT_SUPPORTED) << dtr.error_number;
  EXPECT_EQ(RunLinkJob(port_, ResetJob()), "Display geresettet");
  EXPECT_EQ(Received(), "");
  port_.Close();
  EXPECT_EQ(RunLinkJob(port_, ResetJob()), "Fehler: Serielle Schnittstelle ist geschlossen");
}

// zielwerk-senden on the same line: a file written by Notepad (a byte-order
// mark and CR LF), the reset, the settings and the route.
TEST_F(SerialLineWin32Test, SenderSendsTheFileOnTheNamedComPort) {
  port_.Close();
  testing::TempDir folder;
  testing::WriteFileBytes(folder.File("Wagen 2.ini"), "\xEF\xBB\xBFWagennummer = 2\r\nAnfangsstation = Chur\r\n");
  const auto previous = std::filesystem::current_path();
  std::filesystem::current_path(testing::FsPath(folder.path()));
  std::ostringstream out, err;
  const int status =
      SenderMain({"-p", port_name_, "--nur", "reset,einstellungen,lauftext", "Wagen 2.ini"}, out, err);
  std::filesystem::current_path(previous);

  EXPECT_EQ(status, 0) << err.str();
  EXPECT_EQ(out.str(),
            "Serielle Schnittstelle geöffnet\nDisplay geresettet\nEinstellungen werden gesendet\n"
            "Empfangen: OK\nLauftext wird gesendet\nEmpfangen: OK\nSerielle Schnittstelle geschlossen\n");
  EXPECT_TRUE(testing::BytesEqual(
      "!200010000100000040\nChur-Pontresina-Morteratsch-Ospizio Bernina-Alp Gr%m-Poschiavo-Brusio-Tirano\n",
      Received()));
}

}  // namespace
}  // namespace zielwerk

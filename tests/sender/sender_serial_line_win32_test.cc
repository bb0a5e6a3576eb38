// SPDX-License-Identifier: GPL-3.0-or-later
// zielwerk-senden on Windows, under Wine against the display simulator on
// the COM port scripts/windows/test-windows.sh maps (ZIELWERK_WINE_COM_PORT,
// every received byte recorded in ZIELWERK_WINE_FAR_END_RECORD); skipped
// without them.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>

#include "sender/sender.h"
#include "support/test_files.h"

namespace zielwerk {
namespace {

TEST(SenderWin32Test, SendsTheFileOnTheNamedComPort) {
  const char* port = std::getenv("ZIELWERK_WINE_COM_PORT");
  const char* record = std::getenv("ZIELWERK_WINE_FAR_END_RECORD");
  if (port == nullptr || record == nullptr) GTEST_SKIP() << "no COM port mapped to the display simulator";
  testing::TempDir folder;
  // Written by Notepad: a byte-order mark and CR LF.
  testing::WriteFileBytes(folder.File("Wagen 2.ini"), "\xEF\xBB\xBFWagennummer = 2\r\nAnfangsstation = Chur\r\n");
  const size_t recorded = testing::ReadFileBytes(record).size();
  const auto previous = std::filesystem::current_path();
  std::filesystem::current_path(testing::FsPath(folder.path()));
  std::ostringstream out, err;
  const int status = SenderMain({"-p", port, "--nur", "reset,einstellungen,lauftext", "Wagen 2.ini"}, out, err);
  std::filesystem::current_path(previous);

  EXPECT_EQ(status, 0) << err.str();
  EXPECT_EQ(out.str(),
            "Serielle Schnittstelle geöffnet\nDisplay geresettet\nEinstellungen werden gesendet\n"
            "Empfangen: OK\nLauftext wird gesendet\nEmpfangen: OK\nSerielle Schnittstelle geschlossen\n");
  EXPECT_TRUE(testing::BytesEqual(
      "!200010000100000040\nChur-Pontresina-Morteratsch-Ospizio Bernina-Alp Gr%m-Poschiavo-Brusio-Tirano\n",
      testing::ReadFileBytes(record).substr(recorded)));
}

}  // namespace
}  // namespace zielwerk

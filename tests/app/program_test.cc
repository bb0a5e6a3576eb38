// SPDX-License-Identifier: GPL-3.0-or-later
// The whole program as a user runs it, under Xvfb: first start, the
// application config file it leaves, hand-edited config files, settings and
// a file name not in UTF-8, a close request during start-up, "Beenden".
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "app/support/form_lines.h"
#include "app/support/program_process.h"
#include "app/support/window_fixture.h"
#include "core/settings/version.h"
#include "support/test_files.h"

namespace zielwerk {
namespace {

using testing::BytesEqual;
using testing::FormLines;
using testing::MakeStandInLs;
using testing::ProgramProcess;
using testing::ReadFileBytes;
using testing::TempDir;
using testing::WriteFileBytes;

const std::string kMark = "\xEF\xBB\xBF";

class ProgramTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::copy(ZIELWERK_PROJECT_DATA_DIR, dir_.path(),
                          std::filesystem::copy_options::recursive);
  }
  TempDir dir_;
};

TEST_F(ProgramTest, FirstStartOpensAt20_20AndLeavesAppConfig) {
  // No serial port: "ls" lists nothing, the warning box is answered.
  ProgramProcess program(dir_.path(), {"PATH=" + MakeStandInLs(dir_.path(), "") + ":" + std::getenv("PATH")});
  ASSERT_TRUE(program.WaitForWindow());
  EXPECT_EQ(program.Title(), std::string(kAppNameAndVersion) + " - [Default.ini]");
  int x = 0, y = 0, width = 0, height = 0;
  ASSERT_TRUE(program.Position(x, y));
  EXPECT_EQ(x, 20);
  EXPECT_EQ(y, 20);
  ASSERT_TRUE(program.Size(width, height));
  EXPECT_EQ(width, 530);
  EXPECT_EQ(height, 600);

  EXPECT_EQ(program.XDoTool("search --sync --onlyvisible --name 'W A R N U N G' windowfocus --sync %1 key Return"), 0);
  program.SendCloseRequest();
  EXPECT_EQ(program.WaitForExit(), 0);
  EXPECT_EQ(program.Stderr(), "");
  EXPECT_TRUE(BytesEqual(kMark + "\nFensterposition X = 20\nFensterposition Y = 20\n"
                                 "Einstellungen = Default.ini\nCOM = -1\nCOM-Name = \n",
                         ReadFileBytes(dir_.File("Zielstell.ini"))));
}

TEST_F(ProgramTest, HandEditedAppConfigIsReadAndRewrittenInPlace) {
  WriteFileBytes(dir_.File("Zielstell.ini"),
                 "; meine Einstellungen\r\nfensterposition y=77\r\nUnbekannt=ja\r\n"
                 "FENSTERPOSITION X=55\r\neinstellungen=\"/tmp/bahn/glacier.ini\"\r\n"
                 "[Gruppe]\r\nCOM=3\r\n");
  ProgramProcess program(dir_.path(), {"PATH=" + MakeStandInLs(dir_.path(), "ttyS0\\nttyS1\\n") + ":" + std::getenv("PATH")});
  ASSERT_TRUE(program.WaitForWindow());
  EXPECT_EQ(program.Title(), std::string(kAppNameAndVersion) + " - [glacier.ini]");
  int x = 0, y = 0;
  ASSERT_TRUE(program.Position(x, y));
  EXPECT_EQ(x, 55);
  EXPECT_EQ(y, 77);
  program.SendCloseRequest();
  EXPECT_EQ(program.WaitForExit(), 0);
  EXPECT_TRUE(BytesEqual(kMark + "\n; meine Einstellungen\nFensterposition Y = 77\nUnbekannt = ja\n"
                                 "Fensterposition X = 55\n"
                                 "Einstellungen = \"/tmp/bahn/glacier.ini\"\nCOM = 0\nCOM-Name = ttyS0\n"
                                 "[Gruppe]\nCOM = 3\n",
                         ReadFileBytes(dir_.File("Zielstell.ini"))));
}

// An editor saved the settings in ISO 8859-1 and kept the mark; the file's
// name is not UTF-8 either. Text that is not UTF-8 must never reach GTK: a
// screen reader reading it through the accessibility bridge would abort the
// program at every start.
TEST_F(ProgramTest, TextsNotInUtf8ReachTheWindowAsUtf8) {
  const std::string name = "Z\xFCrich.ini";
  WriteFileBytes(dir_.File("Zielstell.ini"), kMark + "\nEinstellungen = " + name + "\n");
  WriteFileBytes(dir_.File(name), kMark + "\nAnfangsstation = Z\xFCrich HB\nEndstation = Tirano\n");
  ProgramProcess program(dir_.path(), {"PATH=" + MakeStandInLs(dir_.path(), "ttyS0\\n") + ":" +
                                           std::getenv("PATH"),
                                       "G_FILENAME_ENCODING=UTF-8"});
  ASSERT_TRUE(program.WaitForWindow());
  EXPECT_EQ(program.Title(), std::string(kAppNameAndVersion) + " - [Z\xEF\xBF\xBDrich.ini]");
  const std::vector<std::string> texts = program.AccessibleFieldTexts();
  EXPECT_NE(std::find(texts.begin(), texts.end(), "Z\xC3\xBCrich HB"), texts.end())
      << ::testing::PrintToString(texts);
  program.SendCloseRequest();
  EXPECT_EQ(program.WaitForExit(), 0);
  EXPECT_EQ(program.Stderr(), "");
  const std::string saved = ReadFileBytes(dir_.File(name));
  EXPECT_TRUE(saved.starts_with(kMark + "\nAnfangsstation = Z\xC3\xBCrich HB\nEndstation = Tirano\n"))
      << saved;
  EXPECT_NE(ReadFileBytes(dir_.File("Zielstell.ini")).find("\nEinstellungen = " + name + "\n"),
            std::string::npos);
}

// What the program loads for its window stays small: no OpenGL driver (GDK
// would load one to choose visuals) and no SVG renderer (the theme's combo
// arrow is an SVG). The environment set for GTK's start is the user's again
// for programs started from the window: "ls" sees the user's GDK_BACKEND and
// no GDK_GL.
TEST_F(ProgramTest, StartsWithoutGlDriverOrSvgRendererAndLeavesChildrenTheUsersEnvironment) {
  const std::string bin = MakeStandInLs(dir_.path(), "ttyS0\\n");
  const std::string seen = dir_.File("ls-environment.txt");
  WriteFileBytes(bin + "/ls", "#!/bin/sh\nenv > '" + seen + "'\nprintf 'ttyS0\\n'\n");
  ASSERT_EQ(std::getenv("GDK_GL"), nullptr);
  ProgramProcess program(dir_.path(),
                         {"PATH=" + bin + ":" + std::getenv("PATH"), "GDK_BACKEND=x11,wayland"});
  ASSERT_TRUE(program.WaitForWindow());
  const std::string maps = ReadFileBytes("/proc/" + std::to_string(program.pid()) + "/maps");
  EXPECT_NE(maps.find("libgtk-3"), std::string::npos);
  EXPECT_EQ(maps.find("_dri.so"), std::string::npos);
  EXPECT_EQ(maps.find("librsvg"), std::string::npos);
  const std::string environment = ReadFileBytes(seen);
  EXPECT_NE(environment.find("\nPATH="), std::string::npos);
  EXPECT_EQ(environment.find("GDK_GL="), std::string::npos);
  EXPECT_NE(environment.find("\nGDK_BACKEND=x11,wayland\n"), std::string::npos);
  program.SendCloseRequest();
  EXPECT_EQ(program.WaitForExit(), 0);
  EXPECT_EQ(program.Stderr(), "");
}

// A close request made while the start-up warning box waits is kept: once
// the box is answered the program ends by itself, with the usual shut-down.
TEST_F(ProgramTest, CloseRequestDuringStartUpBoxEndsTheProgram) {
  const std::string warning_box = "search --sync --onlyvisible --name 'W A R N U N G'";
  ProgramProcess program(dir_.path(),
                         {"PATH=" + MakeStandInLs(dir_.path(), "") + ":" + std::getenv("PATH")});
  ASSERT_TRUE(program.WaitForWindow());
  ASSERT_EQ(program.XDoTool(warning_box), 0);
  program.SendCloseRequest();
  ASSERT_EQ(program.XDoTool(warning_box + " windowfocus --sync %1 key Return"), 0);
  EXPECT_EQ(program.WaitForExit(), 0);
  EXPECT_EQ(program.Stderr(), "");
  EXPECT_TRUE(BytesEqual(kMark + "\n" + FormLines(), ReadFileBytes(dir_.File("Default.ini"))));
  EXPECT_TRUE(BytesEqual(kMark + "\nFensterposition X = 20\nFensterposition Y = 20\n"
                                 "Einstellungen = Default.ini\nCOM = -1\nCOM-Name = \n",
                         ReadFileBytes(dir_.File("Zielstell.ini"))));
}

// "Beenden" from the "Datei" menu ends the program like a close request: the
// settings and the application config are saved and the status is 0.
TEST_F(ProgramTest, ExitFromMenuSavesLikeClosing) {
  WriteFileBytes(dir_.File("Default.ini"), "dcc-adresse=12\r\n");
  ProgramProcess program(dir_.path(), {"PATH=" + MakeStandInLs(dir_.path(), "ttyS0\\n") + ":" +
                                       std::getenv("PATH")});
  ASSERT_TRUE(program.WaitForWindow());
  // F10 opens the first menu, "Datei"; Up wraps round to its last item, "Beenden".
  const std::string window = std::to_string(program.window());
  ASSERT_EQ(program.XDoTool("windowfocus --sync " + window + " key F10"), 0);
  ASSERT_TRUE(program.WaitForMenu());
  ASSERT_EQ(program.XDoTool("key Up Return"), 0);
  EXPECT_EQ(program.WaitForExit(), 0);
  EXPECT_EQ(program.Stderr(), "");
  EXPECT_TRUE(BytesEqual(kMark + "\n" + FormLines({{"DCC-Adresse", "12"}}),
                         ReadFileBytes(dir_.File("Default.ini"))));
  EXPECT_TRUE(BytesEqual(kMark + "\nFensterposition X = 20\nFensterposition Y = 20\n"
                                 "Einstellungen = Default.ini\nCOM = 0\nCOM-Name = ttyS0\n",
                         ReadFileBytes(dir_.File("Zielstell.ini"))));
}

}  // namespace
}  // namespace zielwerk

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}

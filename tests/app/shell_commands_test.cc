// SPDX-License-Identifier: GPL-3.0-or-later
// The shell's own commands in the running window: help, about.
#include <sys/stat.h>
#include <sys/wait.h>

#include <cerrno>

#include <cstdlib>
#include <filesystem>

#include "app/command_table.h"
#include "app/shell_commands.h"
#include "app/support/message_boxes.h"
#include "app/support/window_fixture.h"
#include "core/settings/version.h"
#include "app/ui/control_events.h"
#include "app/ui/main_window.h"

namespace zielwerk {
namespace {

using testing::PumpEventsUntil;
using testing::WindowTest;

using ShellCommands = WindowTest;

// Help starts "xdg-open" found along PATH with the help page as its only argument.
TEST_F(ShellCommands, HelpStartsXdgOpenWithTheHelpPage) {
  const std::string bin = folder().File("bin");
  std::filesystem::create_directory(bin);
  const std::string record = folder().File("opened.txt");
  testing::WriteFileBytes(bin + "/xdg-open", "#!/bin/sh\nprintf '%s|%s' \"$#\" \"$1\" > " + record + "\n");
  chmod((bin + "/xdg-open").c_str(), 0755);
  const std::string old_path = std::getenv("PATH");
  setenv("PATH", (bin + ":" + old_path).c_str(), 1);
  RunProgramCode([] { RunCommand(Command::kHelp); });
  setenv("PATH", old_path.c_str(), 1);
  ASSERT_TRUE(PumpEventsUntil([&] { return testing::FileExists(record); }, 5000));
  PumpEventsUntil([&] { return testing::ReadFileBytes(record).size() > 2; }, 1000);
  const std::string opened = testing::ReadFileBytes(record);
  EXPECT_EQ(opened.substr(0, 2), "1|");
  EXPECT_EQ(opened.rfind("http://", 2), 2u);
  EXPECT_NE(opened.find("/laufschild/laufschild.html"), std::string::npos);
}

// Twenty help commands leave no child behind, finished or not.
TEST_F(ShellCommands, HelpLeavesNoZombie) {
  const std::string bin = folder().File("bin");
  std::filesystem::create_directory(bin);
  testing::WriteFileBytes(bin + "/xdg-open", "#!/bin/sh\nexit 0\n");
  chmod((bin + "/xdg-open").c_str(), 0755);
  const std::string old_path = std::getenv("PATH");
  setenv("PATH", (bin + ":" + old_path).c_str(), 1);
  for (int i = 0; i < 20; ++i) RunProgramCode([] { RunCommand(Command::kHelp); });
  setenv("PATH", old_path.c_str(), 1);
  testing::PumpEvents(300);
  int status = 0;
  EXPECT_EQ(waitpid(-1, &status, WNOHANG), -1) << "no child of ours is left to reap";
  EXPECT_EQ(errno, ECHILD);
}

// Without "xdg-open" along PATH help says so in the status bar, naming the
// page to open by hand: no box, no child left behind, nothing on stderr.
TEST_F(ShellCommands, HelpWithoutXdgOpenSaysWhereTheManualIs) {
  testing::MessageBoxAnswerer boxes;
  RunProgramCode([] { Form().SetStatusText("vor der Hilfe"); });
  const std::string old_path = std::getenv("PATH");
  setenv("PATH", folder().dir().path().c_str(), 1);
  ::testing::internal::CaptureStderr();
  RunProgramCode([] { RunCommand(Command::kHelp); });
  testing::PumpEvents(100);
  const std::string stderr_text = ::testing::internal::GetCapturedStderr();
  setenv("PATH", old_path.c_str(), 1);
  EXPECT_EQ(stderr_text, "");
  EXPECT_EQ(boxes.count(), 0);
  EXPECT_TRUE(Form().StatusText().starts_with("Die Bedienungsanleitung lässt sich nicht öffnen: "))
      << Form().StatusText();
  EXPECT_TRUE(Form().StatusText().ends_with("laufschild.html")) << Form().StatusText();
  EXPECT_EQ(waitpid(-1, nullptr, WNOHANG), -1) << "no child of ours is left";
  EXPECT_EQ(errno, ECHILD);
}

// The about box is modal, titled "Über...", with the version, and shows the
// information icon: a picture beside its text is drawn on the screen (the
// message type alone draws none in GTK 3). It is answered from a timeout as
// a user would click OK.
TEST_F(ShellCommands, AboutShowsVersionAndInformationIconInModalBox) {
  testing::MessageBoxAnswerer answerer(testing::BoxPictures::kRead);
  RunProgramCode([] { RunCommand(Command::kAbout); });
  ASSERT_EQ(answerer.count(), 1);
  const testing::ShownBox& box = answerer.boxes().front();
  EXPECT_EQ(box.title, "Über...");
  EXPECT_EQ(box.text.rfind(kAppNameAndVersion, 0), 0u);
  EXPECT_GT(box.picture_pixels, 100) << "no icon drawn";
  EXPECT_TRUE(box.modal);
}

}  // namespace
}  // namespace zielwerk

int main(int argc, char** argv) { return zielwerk::testing::RunWindowTests(argc, argv); }

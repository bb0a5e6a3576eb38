// SPDX-License-Identifier: GPL-3.0-or-later
// Where "Hilfe" finds the manual, and the URL it hands the browser on Linux.
#include "core/file/help_page.h"

#include <filesystem>
#include <string>

#include "support/test_files.h"

namespace zielwerk {
namespace {

// A build folder or zip (the page in hilfe/ beside the program) is tried
// before a Linux installation (libexec/zielwerk/ beside share/help/de/).
TEST(FindHelpPageTest, TakesThePageBesideTheProgramFirstThenTheInstalledOne) {
  testing::TempDir prefix;
  const std::string program = prefix.File("libexec/zielwerk");
  const std::string installed = prefix.File("share/help/de/zielwerk/laufschild/laufschild.html");
  const std::string beside = program + "/hilfe/laufschild/laufschild.html";
  std::filesystem::create_directories(program);
  EXPECT_EQ(FindHelpPage(program), std::nullopt);

  std::filesystem::create_directories(std::filesystem::path(installed).parent_path());
  testing::WriteFileBytes(installed, "<!DOCTYPE html>");
  ASSERT_TRUE(FindHelpPage(program).has_value());
  EXPECT_TRUE(std::filesystem::equivalent(*FindHelpPage(program), installed));

  std::filesystem::create_directories(std::filesystem::path(beside).parent_path());
  testing::WriteFileBytes(beside, "<!DOCTYPE html>");
  ASSERT_TRUE(FindHelpPage(program).has_value());
  EXPECT_TRUE(std::filesystem::equivalent(*FindHelpPage(program), beside));

  // A folder of that name is no page.
  EXPECT_EQ(FindHelpPage(prefix.File("share/help/de/zielwerk")), std::nullopt);
  EXPECT_EQ(FindHelpPage(""), std::nullopt);
}

TEST(FileUrlTest, EncodesEveryByteAPathMayHoldButTheSafeOnes) {
  EXPECT_EQ(FileUrl("/usr/share/help/de/zielwerk/laufschild/laufschild.html"),
            "file:///usr/share/help/de/zielwerk/laufschild/laufschild.html");
  EXPECT_EQ(FileUrl("/home/J\xC3\xBCrgen/Bahn & Co/#1 100%~_.html"),
            "file:///home/J%C3%BCrgen/Bahn%20%26%20Co/%231%20100%25~_.html");
}

}  // namespace
}  // namespace zielwerk

// The window title names the settings file by the last part of its path, cut
// at the platform's separators.
#include "core/settings/settings_path.h"

#include <gtest/gtest.h>

namespace zielwerk {
namespace {

struct TitleCase {
  const char* name;
  std::string_view path;
  std::string_view separators;
  std::string_view file_part;
};

class WindowTitleTest : public ::testing::TestWithParam<TitleCase> {};

TEST_P(WindowTitleTest, ShowsTheFilePart) {
  EXPECT_EQ(WindowTitle(GetParam().path, GetParam().separators),
            "Zielwerk V0.95 - [" + std::string(GetParam().file_part) + "]");
}

INSTANTIATE_TEST_SUITE_P(
    Paths, WindowTitleTest,
    ::testing::Values(TitleCase{"Plain", "Default.ini", "/", "Default.ini"},
                      TitleCase{"LinuxPath", "/home/anna/Z\xC3\xBCge/Bernina.ini", "/", "Bernina.ini"},
                      TitleCase{"LinuxKeepsBackslashes", "/home/anna/a\\b.ini", "/", "a\\b.ini"},
                      TitleCase{"WindowsPath", "C:\\Users\\Anna\\Z\xC3\xBCge\\Bernina.ini", "/\\",
                                "Bernina.ini"},
                      TitleCase{"WindowsMixed", "C:/Users\\Anna/Glacier.INI", "/\\", "Glacier.INI"},
                      TitleCase{"QuotesDropped", "/tmp/\"Regio.ini\"", "/", "Regio.ini"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(WindowTitleTest, UsesThisPlatformsSeparators) {
  EXPECT_EQ(WindowTitle("x/y/Zug.ini"), "Zielwerk V0.95 - [Zug.ini]");
}

}  // namespace
}  // namespace zielwerk

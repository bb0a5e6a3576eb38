// SPDX-License-Identifier: GPL-3.0-or-later
// The window title names the settings file by the last part of its path, cut
// at the platform's separators; a saved file gets its extension; the file
// chooser's filter text becomes named pattern lists.
#include "core/settings/settings_path.h"
#include "core/settings/version.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <utility>
#include <vector>

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
            std::string(kAppNameAndVersion) + " - [" + std::string(GetParam().file_part) + "]");
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
  EXPECT_EQ(WindowTitle("x/y/Zug.ini"), std::string(kAppNameAndVersion) + " - [Zug.ini]");
}

TEST(WithSettingsExtensionTest, AddsIniUnlessTheNameEndsInIt) {
  const std::pair<std::string_view, std::string_view> cases[] = {
      {"Zug", "Zug.ini"},         {"Zug.Ini", "Zug.Ini"},   {"Zug.INI", "Zug.INI"},
      {"Zug.txt", "Zug.txt.ini"}, {"ini", "ini.ini"},       {".ini", ".ini"},
      {"", ".ini"},               {"a/b.ini", "a/b.ini"},   {"Zug.ini ", "Zug.ini .ini"},
  };
  for (const auto& [path, saved] : cases) EXPECT_EQ(WithSettingsExtension(path), saved) << path;
}

TEST(ParseFilterTextTest, NamesAndPatternListsAlternate) {
  const std::vector<FileFilter> filters =
      ParseFilterText(" Einstellungen | *.ini ; *.txt;; | Alle Dateien | *.* | Rest");
  ASSERT_EQ(filters.size(), 2u);
  EXPECT_EQ(filters[0].name, "Einstellungen");
  EXPECT_EQ(filters[0].patterns, (std::vector<std::string>{"*.ini", "*.txt"}));
  EXPECT_EQ(filters[1].name, "Alle Dateien");
  EXPECT_EQ(filters[1].patterns, std::vector<std::string>{"*"});
  EXPECT_TRUE(ParseFilterText("Bild").empty());
  EXPECT_EQ(CaseBlindPattern("*.ini"), "*.[iI][nN][iI]");
  EXPECT_EQ(CaseBlindPattern("Zug_1?.b\xC3\xBC"), "[zZ][uU][gG]_1?.[bB]\xC3\xBC");
}

}  // namespace
}  // namespace zielwerk

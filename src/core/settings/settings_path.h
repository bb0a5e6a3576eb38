// SPDX-License-Identifier: GPL-3.0-or-later
// Rules about the settings file's path: the window title that names it, the
// extension a saved file gets, and the file chooser's filters.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "file/file_access.h"
#include "settings/version.h"

namespace zielwerk {

// The settings file in use when the application config names none.
inline constexpr std::string_view kDefaultSettingsPath = "Default.ini";

// kAppNameAndVersion + " - [" + file part of `settings_path` + "]": the file part is
// the text after the last of the `separators` (all of it without one),
// surrounding double quotes dropped, extension kept. The separators are the
// platform's: "/" on Linux, where a backslash may be part of a name, and both
// "/" and "\\" on Windows, whose file chooser returns backslashed paths.
std::string WindowTitle(std::string_view settings_path,
                        std::string_view separators = kPathSeparators);

// `path` unless its last four characters read ".INI" in any letter case, else
// `path` + ".ini": Zug gives Zug.ini, Zug.Ini stays, Zug.txt gives Zug.txt.ini.
std::string WithSettingsExtension(std::string_view path);

struct FileFilter {
  std::string name;
  std::vector<std::string> patterns;  // glob patterns; "*" matches every file
};

// Parses "Name | pattern;pattern | Name2 | pattern": names and pattern lists
// alternate between bars, blanks around bars and semicolons belong to
// neither, and "*.*" stands for every file. Empty patterns are dropped.
std::vector<FileFilter> ParseFilterText(std::string_view text);

// A glob pattern that matches regardless of the letters' case
// ("*.ini" gives "*.[iI][nN][iI]").
std::string CaseBlindPattern(std::string_view pattern);

}  // namespace zielwerk

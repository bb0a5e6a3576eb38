// SPDX-License-Identifier: GPL-3.0-or-later
// Where the German manual lies that "Hilfe" opens: beside the program in a
// build folder, the Windows zip and the Windows installation
// (hilfe/laufschild/laufschild.html), and under share/help/de/zielwerk/ of a
// Linux installation, whose program lies in libexec/zielwerk/.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zielwerk {

// The page on the web, for an installation that lost its own copy.
inline constexpr std::string_view kHelpPageWebAddress =
    "http://www.zielwerk-modellbahn.de/laufschild/laufschild.html";

// The places the manual's page may lie for a program in `program_folder`, in
// the order they are tried.
std::vector<std::string> HelpPageCandidates(const std::string& program_folder);

// The first of HelpPageCandidates that is a file; nullopt when there is none.
std::optional<std::string> FindHelpPage(const std::string& program_folder);

// The folder the running program's file lies in (UTF-8); empty when the
// system does not say.
std::string ProgramFolder();

// A file: URL for the absolute path `path`: every byte but letters, digits,
// "-", ".", "_", "~" and "/" percent-encoded, so blanks, umlauts, "#" and "%"
// in a folder's name reach the browser as they are.
std::string FileUrl(std::string_view path);

}  // namespace zielwerk
